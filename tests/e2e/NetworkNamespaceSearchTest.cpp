// A search with the protocol's real defaults (255.255.255.255, ports 7000/7001, every
// interface), run on a LAN of network namespaces this test builds and removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "core/Controller.h"
#include "sim/SimUdpServer.h"
#include "support/NetworkNamespace.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

const Ipv4Address kController{{10, 77, 0, 1}};
const Ipv4Address kMultiviewerHost{{10, 77, 0, 11}};
const Ipv4Address kMatrixHost{{10, 77, 0, 12}};

std::unique_ptr<sim::SimUdpServer> DeviceOnHost(const std::string& host, sim::DeviceKind kind,
                                                std::uint8_t identity) {
  const test::InNamespace inside(host);
  sim::SimDeviceConfig config =
      sim::SimDeviceConfig::Of(kind, {Ipv4Address::Any(), LinkConfig::kDevicePort});
  config.DeviceIdentity = {0x51, 0x54, 0x00, identity};
  auto server = std::make_unique<sim::SimUdpServer>();
  const std::string error = server->Add(std::make_shared<sim::SimDevice>(config));
  if (!error.empty()) {
    ADD_FAILURE() << error;
  }
  server->Start();
  return server;
}

TEST(NetworkNamespaceSearch, BroadcastSearchFindsDevicesAcrossTheLan) {
  test::NamespaceLan lan({kController, kMultiviewerHost, kMatrixHost});
  if (!lan.Ready()) {
    GTEST_SKIP() << "network namespace test skipped: " << lan.Problem();
  }
  const auto multiviewer = DeviceOnHost(lan.HostNamespace(1), sim::DeviceKind::Multiviewer, 1);
  const auto matrix = DeviceOnHost(lan.HostNamespace(2), sim::DeviceKind::Matrix16, 2);

  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  std::vector<std::string> lines;
  std::string status;
  {
    const test::InNamespace inside(lan.HostNamespace(0));
    Controller controller(LinkConfig{}, LinkTiming{}, clock, prompter, observer);
    controller.SearchNetwork();
    lines = controller.Devices().Lines();
    status = controller.Devices().StatusText();
  }
  std::ranges::sort(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"KVT2208Z_10.77.0.11", "MATRIX16_10.77.0.12"}));
  EXPECT_EQ(status, "Connected - 2");
  EXPECT_TRUE(prompter.errors.empty());
}

}  // namespace
}  // namespace quintara
