#include "support/SimulatedLan.h"

#include <stdexcept>

#include "support/TestLink.h"

namespace quintara::test {
namespace {

sim::SimDeviceConfig Config(sim::DeviceKind kind, const Ipv4Address& address,
                            const LinkConfig& link, std::uint8_t identity,
                            std::string_view name = {}) {
  sim::SimDeviceConfig config = sim::SimDeviceConfig::Of(kind, {address, link.devicePort});
  config.DeviceIdentity = {0x51, 0x54, 0x00, identity};
  config.statusPort = link.statusPort;
  if (!name.empty()) {
    config.name = name;
  }
  return config;
}

}  // namespace

SimulatedLan::SimulatedLan(std::string_view matrix16Name)
    : link(LoopbackLink({kMultiviewer, kMatrix8, kMatrix16}, FreeUdpPort())),
      multiviewer(std::make_shared<sim::SimMultiviewer>(
          Config(sim::DeviceKind::Multiviewer, kMultiviewer, link, 1))),
      matrix8(
          std::make_shared<sim::SimMatrix>(Config(sim::DeviceKind::Matrix8, kMatrix8, link, 2))),
      matrix16(
          std::make_shared<sim::SimMatrix>(
              Config(sim::DeviceKind::Matrix16, kMatrix16, link, 3, matrix16Name))) {
  const std::shared_ptr<sim::SimDevice> devices[] = {multiviewer, matrix8, matrix16};
  for (const std::shared_ptr<sim::SimDevice>& device : devices) {
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

namespace quintara::test {

bool SearchAndSelect(Controller& controller, const Ipv4Address& address) {
  controller.SearchNetwork({address});
  const DeviceTable& table = controller.Devices().Table();
  for (std::size_t i = 0; i < table.Count(); ++i) {
    if (table.Entry(i).AddressText() == address.ToText()) {
      controller.Devices().SetSelectedIndex(static_cast<int>(i));
      return true;
    }
  }
  return false;
}

}  // namespace quintara::test
