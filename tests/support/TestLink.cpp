#include "support/TestLink.h"

#include <stdexcept>

#include "core/platform/UdpSocket.h"

namespace quintara::test {

std::uint16_t FreeUdpPort(const Ipv4Address& address) {
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket || !socket->Bind({address, 0})) {
    throw std::runtime_error("no free UDP port on " + address.ToText());
  }
  return socket->LocalEndpoint()->port;
}

LinkConfig LoopbackLink(std::vector<Ipv4Address> targets, std::uint16_t devicePort) {
  LinkConfig link;
  link.bindAddress = Ipv4Address::Loopback();
  link.searchTargets = std::move(targets);
  link.devicePort = devicePort;
  link.localPort = FreeUdpPort();
  link.statusPort = FreeUdpPort();
  return link;
}

std::vector<std::string> LinkArguments(const LinkConfig& link) {
  std::vector<std::string> args{"--bind",        link.bindAddress.ToText(),
                                "--device-port", std::to_string(link.devicePort),
                                "--local-port",  std::to_string(link.localPort),
                                "--status-port", std::to_string(link.statusPort)};
  for (const Ipv4Address& target : link.searchTargets) {
    args.insert(args.end(), {"--target", target.ToText()});
  }
  return args;
}

LinkTiming ShortSearchTiming() {
  LinkTiming timing;
  timing.searchWindowMs = 400;
  return timing;
}

}  // namespace quintara::test
