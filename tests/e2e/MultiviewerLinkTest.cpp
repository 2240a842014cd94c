// The controller and a simulated multiviewer over real sockets and a real pseudo-terminal: the
// whole state read back, and the device's own reports followed live.
#include <gtest/gtest.h>

#include <chrono>

#include "core/Controller.h"
#include "core/TaskQueue.h"
#include "core/viewer/ReadBack.h"
#include "core/viewer/StatusListener.h"
#include "sim/SimSerialServer.h"
#include "support/CraftedDevice.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using namespace std::chrono_literals;

LinkTiming QuickTiming() {
  LinkTiming timing = test::ShortSearchTiming();
  timing.readBackWindowMs = 300;
  timing.reReadPauseMs = 100;
  return timing;
}

class MultiviewerLink : public ::testing::Test {
 protected:
  MultiviewerLink() : controller(lan.link, QuickTiming(), clock, prompter, observer) {}

  // Runs what the listener handed over until the condition holds or a second has passed.
  template <typename Condition>
  bool RunUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 1s;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
      tasks.RunUntil(std::chrono::steady_clock::now() + 10ms);
    }
    return condition();
  }

  test::SimulatedLan lan;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);
  TaskQueue tasks;
};

TEST_F(MultiviewerLink, ReadBackMirrorsTheDevice) {
  lan.multiviewer->SetLayout(60);
  ASSERT_TRUE(test::SearchAndSelect(controller, test::SimulatedLan::kMultiviewer));
  ASSERT_EQ(ReadBack(controller), ExchangeOutcome::Answered);
  const ViewerState& viewer = controller.Viewer();
  EXPECT_EQ(viewer.StateImage, lan.multiviewer->StateImage());
  EXPECT_EQ(viewer.LayoutCode, 60);
  EXPECT_EQ(viewer.WindowSource[15], 16);
  EXPECT_EQ(viewer.UmdText[0], u"Umd_01");
  EXPECT_EQ(viewer.SwitcherMode, 0);
  EXPECT_EQ(viewer.PageSwitchPass, 1u);
  EXPECT_EQ(controller.NameText(), u"KVT2208Z");
  EXPECT_EQ(observer.nameField, u"KVT2208Z");
}

TEST_F(MultiviewerLink, ReadBackOverTheSerialLine) {
  sim::SimSerialServer serial;
  std::string error;
  const std::string path =
      serial.Add(std::make_shared<sim::SimMultiviewer>(
                     sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, {})),
                 error);
  serial.Start();
  controller.SetLinkKind(LinkKind::Serial);
  ASSERT_TRUE(controller.OpenSelectedPort(path, "115200"));
  controller.Search();
  ASSERT_EQ(ReadBack(controller), ExchangeOutcome::Answered);
  EXPECT_EQ(controller.Viewer().LayoutCode, 40);
  EXPECT_EQ(controller.NameText(), u"KVT2208Z");
}

TEST_F(MultiviewerLink, ReadBackKeepsTheOldImageWithoutAnAcceptableReply) {
  EXPECT_EQ(ReadBack(controller),
            ExchangeOutcome::NotSent);  // nothing selected: nothing is decoded
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please choose a device"});
  EXPECT_EQ(controller.Viewer().PageSwitchPass, 0u);
  EXPECT_EQ(controller.Viewer().SwitcherMode, 1);  // the panel would open on the switcher page

  // A full-length reply from another device type is not the state.
  std::vector<std::uint8_t> payload(kStateReplySize - 20, 0x07);
  const Frame wrongType = BuildFrame(0xA2, 0x01, LinkKind::Lan, 0x0A, payload);
  ASSERT_EQ(wrongType.size(), kStateReplySize);
  const Ipv4Address peer{{127, 0, 0, 34}};
  const LinkConfig link = test::LoopbackLink({peer}, test::FreeUdpPort());
  test::CraftedPeer impostor(
      {peer, link.devicePort},
      {test::DiscoverAnswer(0xA1, 0x01, test::NameAndIdentity("MV", {1, 2, 3, 4}))}, {},
      {wrongType});
  Controller other(link, QuickTiming(), clock, prompter, observer);
  ASSERT_TRUE(test::SearchAndSelect(other, peer));
  EXPECT_EQ(ReadBack(other),
            ExchangeOutcome::Unanswered);  // sent; nothing taken, so the all-zero image is decoded
  EXPECT_EQ(other.Viewer().StateImage, StateImageBytes{});
  EXPECT_EQ(other.Viewer().SwitcherMode, 0);
  EXPECT_EQ(other.Viewer().PageSwitchPass, 1u);
  EXPECT_EQ(impostor.device->ReceivedFrames(0x0A).size(), 1u);
}

TEST_F(MultiviewerLink, ListenerFollowsFrontPanelChangesAndReReads) {
  ASSERT_TRUE(test::SearchAndSelect(controller, test::SimulatedLan::kMultiviewer));
  ASSERT_EQ(ReadBack(controller), ExchangeOutcome::Answered);
  ViewerState& viewer = controller.Viewer();
  viewer.CurrentPage = ViewerPage::Mode;
  std::optional<UdpSocket> socket = controller.Network().OpenStatusSocket();
  ASSERT_TRUE(socket);
  StatusListener listener(controller, std::move(*socket),
                          controller.SelectedOrEmptyEntry().DeviceIdentity, tasks);
  listener.Start();

  lan.multiviewer->SetWindowSource(3, 12);
  EXPECT_TRUE(RunUntil([&] { return viewer.WindowSource[2] == 12; }));
  EXPECT_EQ(observer.selections.back(),
            (test::RecordingObserver::Selection{ViewerSelection::ModeSource, 3, 11}));
  lan.multiviewer->SetSignal(2, false, 31);
  EXPECT_TRUE(RunUntil([&] { return viewer.WindowFormatText[1] == u"No Signal"; }));

  lan.multiviewer->SetSwitcherMode(1);  // a device-wide change: read everything again
  EXPECT_TRUE(RunUntil([&] { return viewer.SwitcherMode == 1; }));
  EXPECT_TRUE(RunUntil([&] { return observer.calls.back() == "RefreshPage 1"; }));
  listener.Stop();
  EXPECT_FALSE(listener.Running());
}

}  // namespace
}  // namespace quintara
