// One process holding sessions to two multiviewers and a matrix switcher at once: what is sent
// to a session reaches only its device, and each mirror holds only its own device's state.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "core/Controller.h"
#include "core/TaskQueue.h"
#include "core/matrix/MatrixCommands.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusListener.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "sim/SimUdpServer.h"
#include "support/SimulatedLan.h"
#include "support/TaskLoop.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using test::SimulatedLan;

constexpr Ipv4Address kSecondMultiviewer{{127, 0, 0, 34}};

class DeviceSessions : public ::testing::Test {
 protected:
  DeviceSessions()
      : second(std::make_shared<sim::SimMultiviewer>(SecondConfig(lan.link))),
        controller(LinkWithSecond(lan.link), test::ShortSearchTiming(), clock, prompter, observer) {
    if (const std::string error = secondServer.Add(second); !error.empty()) {
      throw std::runtime_error(error);
    }
    secondServer.Start();
    controller.SetDiagnostics(diagnostics);
  }
  ~DeviceSessions() override { secondServer.Stop(); }

  static sim::SimDeviceConfig SecondConfig(const LinkConfig& link) {
    sim::SimDeviceConfig config = sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer,
                                                           {kSecondMultiviewer, link.devicePort});
    config.DeviceIdentity = {0x51, 0x54, 0x00, 4};
    config.statusPort = link.statusPort;
    config.name = "SECOND";
    return config;
  }
  static LinkConfig LinkWithSecond(LinkConfig link) {
    link.searchTargets.push_back(kSecondMultiviewer);
    return link;
  }

  // The session of the device at this address, from a search that found all four.
  std::shared_ptr<DeviceSession> SessionAt(const Ipv4Address& address) {
    const DeviceTable& table = controller.Devices().Table();
    for (std::size_t i = 0; i < table.Count(); ++i) {
      if (table.Entry(i).AddressText() == address.ToText()) {
        return controller.SessionFor(static_cast<int>(i));
      }
    }
    return nullptr;
  }

  SimulatedLan lan;
  std::shared_ptr<sim::SimMultiviewer> second;
  sim::SimUdpServer secondServer;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  std::ostringstream diagnostics;
  Controller controller;
  TaskQueue tasks;
};

TEST_F(DeviceSessions, CommandsReachOnlyTheirOwnDeviceAndEachMirrorIsItsOwn) {
  controller.SearchNetwork();
  ASSERT_EQ(controller.Devices().FoundCount(), 4u);
  const std::shared_ptr<DeviceSession> first = SessionAt(SimulatedLan::kMultiviewer);
  const std::shared_ptr<DeviceSession> other = SessionAt(kSecondMultiviewer);
  const std::shared_ptr<DeviceSession> matrix = SessionAt(SimulatedLan::kMatrix16);
  ASSERT_TRUE(first && other && matrix);
  EXPECT_EQ(SessionAt(kSecondMultiviewer), other) << "one session per device";

  ASSERT_EQ(ViewerCommands(*first).SetLayout(60), CommandResult::Sent);
  ASSERT_EQ(ViewerCommands(*other).SetWindowSource(2, 9), CommandResult::Sent);
  MatrixCommands routes(*matrix, kSixteenChannelType);
  ASSERT_EQ(routes.RouteToOutputs(5, MatrixOutputs{0b11}), CommandResult::Sent);

  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetLayout, 1, test::kPatience));
  ASSERT_TRUE(second->WaitForFrames(ViewerCode::SetWindowSource, 1, test::kPatience));
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(ViewerCode::SetWindowSource).empty());
  EXPECT_TRUE(second->ReceivedFrames(ViewerCode::SetLayout).empty());
  EXPECT_EQ(lan.multiviewer->State().LayoutCode, 60);
  EXPECT_EQ(second->State().WindowSource[1], 9);

  // Each read-back fills its own mirror only.
  ASSERT_EQ(ReadBack(*first), ExchangeOutcome::Answered);
  ASSERT_EQ(ReadBack(*other), ExchangeOutcome::Answered);
  EXPECT_EQ(first->Viewer().StateImage, lan.multiviewer->StateImage());
  EXPECT_EQ(other->Viewer().StateImage, second->StateImage());
  EXPECT_NE(first->Viewer().StateImage, other->Viewer().StateImage);
  ASSERT_TRUE(routes.ReadMatrixStatus());
  EXPECT_EQ(matrix->Matrix().statusTable[0], 5);
  EXPECT_EQ(first->Matrix().statusTable[0], 0);
}

// One status socket, one listener: each report goes to the session of the identity it carries.
TEST_F(DeviceSessions, OneStatusSocketHandsEachReportToItsOwnDevicesMirror) {
  controller.SearchNetwork();
  const std::shared_ptr<DeviceSession> first = SessionAt(SimulatedLan::kMultiviewer);
  const std::shared_ptr<DeviceSession> other = SessionAt(kSecondMultiviewer);
  ASSERT_TRUE(first && other);
  std::array<PanelSelections, 2> panels;
  for (std::size_t n : {0u, 1u}) {
    DeviceSession& session = n == 0 ? *first : *other;
    ASSERT_EQ(ReadBack(session), ExchangeOutcome::Answered);
    test::LendPanel(session, panels[n]).CurrentPage = ViewerPage::Mode;
  }
  std::optional<UdpSocket> socket = controller.Network().OpenStatusSocket();
  ASSERT_TRUE(socket);
  StatusListener listener(*first, std::move(*socket), tasks);
  const std::shared_ptr<const StatusListener::HandOver> otherCounts = listener.Follow(*other);
  listener.Start();

  lan.multiviewer->SetWindowSource(3, 12);
  second->SetWindowSource(5, 7);
  EXPECT_TRUE(test::RunTasksUntil(tasks, [&] {
    return first->Viewer().WindowSource[2] == 12 && other->Viewer().WindowSource[4] == 7;
  }));
  EXPECT_EQ(first->Viewer().WindowSource[4], 5) << "the second device's report stayed its own";
  EXPECT_EQ(other->Viewer().WindowSource[2], 3) << "the first device's report stayed its own";
  EXPECT_EQ(listener.Counts()->applied, 1u);
  EXPECT_EQ(otherCounts->applied, 1u);
}

// A device a later search no longer finds lets its session go; reports of it still on their way
// are dropped, not applied to a session that is gone.
TEST_F(DeviceSessions, ReportsOfADeviceTheSearchLostAreDropped) {
  controller.SearchNetwork();
  std::shared_ptr<DeviceSession> other = SessionAt(kSecondMultiviewer);
  ASSERT_TRUE(other);
  PanelSelections panel;
  test::LendPanel(*other, panel).CurrentPage = ViewerPage::Mode;
  std::optional<UdpSocket> socket = controller.Network().OpenStatusSocket();
  ASSERT_TRUE(socket);
  StatusListener listener(*other, std::move(*socket), tasks);
  listener.Start();
  second->SetWindowSource(5, 7);
  ASSERT_TRUE(test::AwaitCondition([&] { return tasks.Pending() >= 1; }));

  secondServer.Stop();
  controller.SearchNetwork();
  ASSERT_EQ(controller.Devices().FoundCount(), 3u);
  const std::weak_ptr<DeviceSession> gone = other;
  other.reset();
  static_cast<void>(controller.SessionFor(0));  // the controller lets go of the lost devices
  ASSERT_TRUE(gone.expired());
  tasks.RunPending();
  EXPECT_EQ(listener.Counts()->applied, 0u);
  EXPECT_EQ(listener.Counts()->dropped, 1u);
}

}  // namespace
}  // namespace quintara
