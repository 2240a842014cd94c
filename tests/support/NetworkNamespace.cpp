#include "support/NetworkNamespace.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace quintara::test {

NamespaceLan::NamespaceLan(const std::vector<Ipv4Address>& hosts) {
  const std::string prefix = "qnt" + std::to_string(getpid());
  hub_ = prefix + "hub";
  if (!Run("ip netns add " + hub_)) {
    problem_ = "cannot create network namespaces here (needs root and iproute2)";
    return;
  }
  created_.push_back(hub_);
  const bool hubUp = Run("ip -n " + hub_ + " link add br0 type bridge") &&
                     Run("ip -n " + hub_ + " link set br0 up");
  for (std::size_t i = 0; hubUp && i < hosts.size(); ++i) {
    const std::string host = prefix + "h" + std::to_string(i);
    const std::string port = "p" + std::to_string(i);
    hostNames_.push_back(host);
    if (!Run("ip netns add " + host)) {
      break;
    }
    created_.push_back(host);
    const bool up =
        Run("ip -n " + hub_ + " link add " + port + " type veth peer name eth0 netns " + host) &&
        Run("ip -n " + hub_ + " link set " + port + " master br0 up") &&
        Run("ip -n " + host + " addr add " + hosts[i].ToText() + "/24 dev eth0") &&
        Run("ip -n " + host + " link set eth0 up") && Run("ip -n " + host + " link set lo up") &&
        Run("ip -n " + host + " route add default dev eth0");
    if (!up) {
      break;
    }
  }
  if (!hubUp || created_.size() != hosts.size() + 1) {
    problem_ = "cannot build the namespace LAN with ip link";
  }
}

NamespaceLan::~NamespaceLan() {
  for (const std::string& name : created_) {
    Run("ip netns del " + name);
  }
}

bool NamespaceLan::Run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

InNamespace::InNamespace(const std::string& name) {
  original_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  const int target = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
  const bool entered = original_ >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
  if (target >= 0) {
    close(target);
  }
  if (!entered) {
    if (original_ >= 0) {
      close(original_);
    }
    throw std::runtime_error("cannot enter network namespace " + name);
  }
}

InNamespace::~InNamespace() {
  setns(original_, CLONE_NEWNET);
  close(original_);
}

}  // namespace quintara::test
