#pragma once

#include <string>
#include <vector>

#include "core/platform/Ipv4Address.h"

namespace quintara::test {

// Hosts in network namespaces of their own, joined by a bridge in a hub namespace: a small
// LAN on which a real 255.255.255.255 broadcast can be sent without leaving the machine's
// own namespace. Everything is removed again on destruction.
class NamespaceLan {
 public:
  // Creates the hub and one host per address (10.77.0.0/24), each with a default route onto the
  // LAN. Check Ready() before use; Problem() says why not.
  explicit NamespaceLan(const std::vector<Ipv4Address>& hosts);
  ~NamespaceLan();
  NamespaceLan(const NamespaceLan&) = delete;
  NamespaceLan& operator=(const NamespaceLan&) = delete;

  bool Ready() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }
  const std::string& HostNamespace(std::size_t index) const { return hostNames_[index]; }

 private:
  bool Run(const std::string& command);

  std::string hub_;
  std::vector<std::string> hostNames_;
  std::vector<std::string> created_;
  std::string problem_;
};

// Moves the calling thread into a network namespace until destroyed. Sockets created meanwhile
// stay in that namespace for good.
class InNamespace {
 public:
  explicit InNamespace(const std::string& name);
  ~InNamespace();
  InNamespace(const InNamespace&) = delete;
  InNamespace& operator=(const InNamespace&) = delete;

 private:
  int original_ = -1;
};

}  // namespace quintara::test
