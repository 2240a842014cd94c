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

namespace {

std::vector<Ipv4Address> LanAddresses(std::size_t spareMultiviewers) {
  std::vector<Ipv4Address> addresses{SimulatedLan::kMultiviewer, SimulatedLan::kMatrix8,
                                     SimulatedLan::kMatrix16};
  for (std::size_t k = 0; k < spareMultiviewers; ++k) {
    addresses.push_back(SimulatedLan::SpareAddress(k));
  }
  return addresses;
}

}  // namespace

Ipv4Address SimulatedLan::SpareAddress(std::size_t index) {
  return {{127, 0, 0, static_cast<std::uint8_t>(34 + index)}};
}

SimulatedLan::SimulatedLan(std::string_view matrix16Name, std::size_t spareMultiviewers)
    : link(LoopbackLink(LanAddresses(spareMultiviewers), FreeUdpPort())),
      multiviewer(std::make_shared<sim::SimMultiviewer>(
          Config(sim::DeviceKind::Multiviewer, kMultiviewer, link, 1))),
      matrix8(
          std::make_shared<sim::SimMatrix>(Config(sim::DeviceKind::Matrix8, kMatrix8, link, 2))),
      matrix16(std::make_shared<sim::SimMatrix>(
          Config(sim::DeviceKind::Matrix16, kMatrix16, link, 3, matrix16Name))) {
  std::vector<std::shared_ptr<sim::SimDevice>> devices{multiviewer, matrix8, matrix16};
  for (std::size_t k = 0; k < spareMultiviewers; ++k) {
    spares.push_back(std::make_shared<sim::SimMultiviewer>(Config(
        sim::DeviceKind::Multiviewer, SpareAddress(k), link, static_cast<std::uint8_t>(4 + k))));
    devices.push_back(spares.back());
  }
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
