// The controller and a simulated multiviewer over real sockets and a real pseudo-terminal: the
// whole state read back, and the device's own reports followed live, through a flood of junk.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <thread>

#include "core/Controller.h"
#include "core/TaskQueue.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusListener.h"
#include "core/viewer/protocol/StatusReports.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "sim/SimSerialServer.h"
#include "support/CraftedDevice.h"
#include "support/JunkDatagrams.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TaskLoop.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using namespace std::chrono_literals;
using test::Junk;
using test::JunkSender;
using test::ResidentKiB;

LinkTiming QuickTiming() {
  LinkTiming timing = test::ShortSearchTiming();
  timing.readBackWindowMs = 300;
  timing.reReadPauseMs = 100;
  return timing;
}

class MultiviewerLink : public ::testing::Test {
 protected:
  MultiviewerLink() : controller(lan.link, QuickTiming(), clock, prompter, observer) {}

  test::SimulatedLan lan;
  PanelSelections selections;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);

  // The selections of a panel open on the current session.
  PanelSelections& panel() { return test::LendPanel(controller.Session(), selections); }

  // Searches and selects the device at this address; the recording panel follows it.
  bool Select(const Ipv4Address& address) {
    const bool found = test::SearchAndSelect(controller, address);
    attached = observer.AttachTo(controller);
    return found;
  }
  TaskQueue tasks;
};

TEST_F(MultiviewerLink, ReadBackMirrorsTheDevice) {
  lan.multiviewer->SetLayout(60);
  ASSERT_TRUE(Select(test::SimulatedLan::kMultiviewer));
  panel();
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  const ViewerState& viewer = controller.Session().Viewer();
  EXPECT_EQ(viewer.StateImage, lan.multiviewer->StateImage());
  EXPECT_EQ(viewer.LayoutCode, 60);
  EXPECT_EQ(viewer.WindowSource[15], 16);
  EXPECT_EQ(viewer.UmdText[0], u"Umd_01");
  EXPECT_EQ(viewer.SwitcherMode, 0);
  EXPECT_EQ(selections.PageSwitchPass, 1u) << "the panel's next page switch passes";
  EXPECT_EQ(controller.Session().NameText(), u"KVT2208Z");
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
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  EXPECT_EQ(controller.Session().Viewer().LayoutCode, 40);
  EXPECT_EQ(controller.Session().NameText(), u"KVT2208Z");
}

TEST_F(MultiviewerLink, ReadBackKeepsTheOldImageWithoutAnAcceptableReply) {
  panel();
  EXPECT_EQ(ReadBack(controller.Session()),
            ExchangeOutcome::NotSent);  // nothing selected: nothing is decoded
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please choose a device"});
  EXPECT_EQ(panel().PageSwitchPass, 0u);
  EXPECT_EQ(controller.Session().Viewer().SwitcherMode,
            1);  // the panel would open on the switcher page

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
  test::LendPanel(other.Session(), selections);
  EXPECT_EQ(ReadBack(other.Session()),
            ExchangeOutcome::Unanswered);  // sent; nothing taken or decoded
  EXPECT_EQ(other.Session().Viewer().StateImage, StateImageBytes{});
  EXPECT_EQ(other.Session().Viewer().SwitcherMode, 1) << "the mirror keeps what it knew";
  EXPECT_EQ(selections.PageSwitchPass, 0u);
  EXPECT_EQ(observer.statusText, "No answer from MV_127.0.0.34");
  EXPECT_EQ(impostor.device->ReceivedFrames(0x0A).size(), 1u);
}

TEST_F(MultiviewerLink, ListenerFollowsFrontPanelChangesAndReReads) {
  ASSERT_TRUE(Select(test::SimulatedLan::kMultiviewer));
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  ViewerState& viewer = controller.Session().Viewer();
  panel().CurrentPage = ViewerPage::Mode;
  std::optional<UdpSocket> socket = controller.Network().OpenStatusSocket();
  ASSERT_TRUE(socket);
  StatusListener listener(controller.Session(), std::move(*socket), tasks);
  listener.Start();

  lan.multiviewer->SetWindowSource(3, 12);
  EXPECT_TRUE(test::RunTasksUntil(tasks, [&] { return viewer.WindowSource[2] == 12; }));
  EXPECT_EQ(observer.selections.back(),
            (test::RecordingObserver::Selection{ViewerSelection::ModeSource, 3, 11}));
  lan.multiviewer->SetSignal(2, false, 31);
  EXPECT_TRUE(
      test::RunTasksUntil(tasks, [&] { return viewer.WindowFormatText[1] == u"No Signal"; }));

  lan.multiviewer->SetSwitcherMode(1);  // a device-wide change: read everything again
  EXPECT_TRUE(test::RunTasksUntil(tasks, [&] { return viewer.SwitcherMode == 1; }));
  EXPECT_TRUE(test::RunTasksUntil(tasks, [&] { return observer.calls.back() == "RefreshPage 1"; }));
  listener.Stop();
  EXPECT_FALSE(listener.Running());
}

// 100 000 junk datagrams, half to the status port, half to the command port while read-backs
// use it, and between them the device's reports: every report reaches the mirror, nothing of
// the junk does, and memory stays flat.
TEST_F(MultiviewerLink, AFloodOfJunkOnBothPortsLeavesTheMirrorRightAndMemoryFlat) {
  ASSERT_TRUE(Select(test::SimulatedLan::kMultiviewer));
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  ViewerState& viewer = controller.Session().Viewer();
  panel().CurrentPage = ViewerPage::Mode;
  std::optional<UdpSocket> socket = controller.Network().OpenStatusSocket();
  ASSERT_TRUE(socket);
  const std::array<std::uint8_t, 4> identity = controller.Session().Entry().DeviceIdentity;
  StatusListener listener(controller.Session(), std::move(*socket), tasks);
  listener.Start();

  constexpr int kBursts = 1000;
  constexpr int kPerBurst = 50;  // to the status port; a burst never overruns its socket
  const auto start = std::chrono::steady_clock::now();
  JunkSender commandFlood(identity, {Ipv4Address::Loopback(), lan.link.localPort},
                          kBursts * kPerBurst);
  Junk junk(identity, 1);
  std::optional<UdpSocket> sender = UdpSocket::Create();
  const UdpEndpoint statusPort{Ipv4Address::Loopback(), lan.link.statusPort};
  std::size_t residentBefore = 0;
  int answered = 0;
  for (int burst = 0; burst < kBursts; ++burst) {
    for (int i = 0; i < kPerBurst; ++i) {
      sender->SendTo(junk.Next(), statusPort);
    }
    commandFlood.Allow((burst + 1) * kPerBurst);  // it follows, and catches up during read-backs
    const auto window = static_cast<std::uint8_t>(1 + burst % 4);
    const auto input = static_cast<std::uint8_t>(1 + (burst / 4 + window) % 16);  // a change
    ASSERT_TRUE(lan.multiviewer->SetWindowSource(window, input));
    ASSERT_TRUE(
        test::RunTasksUntil(tasks, [&] { return viewer.WindowSource[window - 1] == input; }))
        << "the report after burst " << burst;
    if (burst % 100 == 50) {
      answered += ReadBack(controller.Session()) == ExchangeOutcome::Answered ? 1 : 0;
    }
    if (burst == 100) {
      residentBefore = ResidentKiB();
    }
  }
  const int commandJunk = commandFlood.Finish();
  const auto took = std::chrono::steady_clock::now() - start;
  const std::size_t residentAfter = ResidentKiB();
  std::cout << kBursts * kPerBurst + commandJunk << " junk datagrams in "
            << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms; VmRSS "
            << residentBefore << " kB before, " << residentAfter << " kB after\n";

  EXPECT_EQ(viewer.WindowSource, lan.multiviewer->State().WindowSource);
  EXPECT_GT(answered, 0) << "no read-back found its reply among the junk";
  const StatusListener::HandOver& counts = *listener.Counts();
  EXPECT_EQ(counts.accepted.load(), std::uint64_t{kBursts});
  EXPECT_EQ(counts.rejected.load(), junk.Refused());
  EXPECT_EQ(counts.applied.load(), counts.accepted.load());
  EXPECT_EQ(counts.dropped.load(), 0u);
  EXPECT_LT(residentAfter, residentBefore + 8 * 1024);
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  EXPECT_EQ(viewer.StateImage, lan.multiviewer->StateImage());
}

}  // namespace
}  // namespace quintara
