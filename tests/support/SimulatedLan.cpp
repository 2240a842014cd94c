#include "support/SimulatedLan.h"

#include <stdexcept>

#include "support/TestLink.h"

namespace quintara::test {
namespace {

std::shared_ptr<sim::SimDevice> Device(sim::DeviceKind kind, const Ipv4Address& address,
                                       std::uint16_t port, std::uint8_t identity) {
  sim::SimDeviceConfig config = sim::SimDeviceConfig::Of(kind, {address, port});
  config.DeviceIdentity = {0x51, 0x54, 0x00, identity};
  return std::make_shared<sim::SimDevice>(config);
}

}  // namespace

SimulatedLan::SimulatedLan()
    : link(LoopbackLink({kMultiviewer, kMatrix8, kMatrix16}, FreeUdpPort())),
      multiviewer(Device(sim::DeviceKind::Multiviewer, kMultiviewer, link.devicePort, 1)),
      matrix8(Device(sim::DeviceKind::Matrix8, kMatrix8, link.devicePort, 2)),
      matrix16(Device(sim::DeviceKind::Matrix16, kMatrix16, link.devicePort, 3)) {
  for (const auto& device : {multiviewer, matrix8, matrix16}) {
    const std::string error = server.Add(device);
    if (!error.empty()) {
      throw std::runtime_error(error);
    }
  }
  server.Start();
}

SimulatedLan::~SimulatedLan() {
  server.Stop();
}

}  // namespace quintara::test
