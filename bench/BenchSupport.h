#pragma once

#include <sys/resource.h>

#include <optional>
#include <stdexcept>
#include <string_view>

#include "core/link/LinkConfig.h"
#include "core/platform/Prompter.h"
#include "core/platform/UdpSocket.h"

namespace quintara::bench {

// CPU time of the calling thread, user and system, in milliseconds.
inline double ThreadCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

inline std::uint16_t FreePort() {
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket || !socket->Bind({Ipv4Address::Loopback(), 0})) {
    throw std::runtime_error("no free UDP port");
  }
  return socket->LocalEndpoint()->port;
}

// A link on loopback that searches one device and binds free ports of its own.
inline LinkConfig LoopbackLinkTo(const Ipv4Address& device) {
  LinkConfig link;
  link.bindAddress = Ipv4Address::Loopback();
  link.searchTargets = {device};
  link.devicePort = FreePort();
  link.localPort = FreePort();
  link.statusPort = FreePort();
  return link;
}

class QuietPrompter final : public Prompter {
 public:
  void ShowError(std::string_view) override {}
  bool Confirm(std::string_view) override { return false; }
  void ShowInfo(std::string_view) override {}
};

}  // namespace quintara::bench
