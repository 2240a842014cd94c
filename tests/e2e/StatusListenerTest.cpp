// Reports written byte by byte, sent to a listening status socket, applied on the owner thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/Controller.h"
#include "core/TaskQueue.h"
#include "core/viewer/protocol/StatusListener.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/Patience.h"
#include "support/StartedExchange.h"
#include "support/TaskLoop.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using namespace std::chrono_literals;

const std::array<std::uint8_t, 4> kIdentity{0x51, 0x54, 0x00, 0x01};

class StatusReports : public ::testing::Test {
 protected:
  StatusReports() : controller(LinkConfig{}, QuickReRead(), clock, prompter, observer) {
    Listen(controller.Session());
    sender = UdpSocket::Create();
  }

  // A listener of the session's reports on a port of its own.
  void Listen(DeviceSession& session) {
    std::optional<UdpSocket> socket = UdpSocket::Create();
    EXPECT_TRUE(socket->Bind({Ipv4Address::Loopback(), 0}));
    socket->SetNonBlocking();
    address = *socket->LocalEndpoint();
    listener.emplace(session, std::move(*socket), tasks);
    listener->Start();
  }

  // Sends the reports, then a marker report, and applies everything up to the marker.
  void Deliver(const std::vector<std::vector<std::uint8_t>>& reports) {
    for (const auto& report : reports) {
      sender->SendTo(report, address);
    }
    sender->SendTo(Report(ViewerCode::SetAudioAlarm, {1}), address);
    const auto deadline = std::chrono::steady_clock::now() + test::kPatience;
    while (viewer().AudioAlarmOn != 1 && std::chrono::steady_clock::now() < deadline) {
      tasks.RunUntil(std::chrono::steady_clock::now() + 10ms);
    }
    ASSERT_EQ(viewer().AudioAlarmOn, 1);
    viewer().AudioAlarmOn = 0;
  }

  static std::vector<std::uint8_t> Report(std::uint8_t code, std::vector<std::uint8_t> values,
                                          std::array<std::uint8_t, 4> identity = kIdentity) {
    std::vector<std::uint8_t> payload{0x00};
    payload.insert(payload.end(), values.begin(), values.end());
    Frame frame = BuildFrame(0xA1, 0x01, LinkKind::Lan, code, payload);
    std::ranges::copy(identity, frame.begin() + frame::kIdentityOffset);
    SealFrame(frame);
    return frame;
  }

  ViewerState& viewer() { return controller.Session().Viewer(); }
  // The selections of a panel open on the current session.
  PanelSelections& panel() { return test::LendPanel(controller.Session(), selections); }

  // The listener follows the selected multiviewer, the one of kIdentity.
  static bool ChooseMultiviewer(Controller& controller) {
    DeviceEntry entry;
    entry.DeviceType = kMultiviewerType;
    entry.DeviceAddress = 0x01;
    entry.DeviceIdentity = kIdentity;
    const bool recorded = controller.Devices().Record({entry, "MV_test"});
    controller.Devices().SetSelectedIndex(0);
    return recorded;
  }

  static LinkTiming QuickReRead() {
    LinkTiming timing;
    timing.reReadPauseMs = 50;
    return timing;
  }

  // Waits until the listener has handed over this many tasks.
  bool AwaitPending(std::size_t count) {
    return test::AwaitCondition([this, count] { return tasks.Pending() >= count; });
  }

  PanelSelections selections;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
  bool chosen = ChooseMultiviewer(controller);
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);
  TaskQueue tasks;
  UdpEndpoint address;
  std::optional<StatusListener> listener;
  std::optional<UdpSocket> sender;
};

TEST_F(StatusReports, LayoutFollowsOnTheModePageButNotUnderTheSwitcherGrid) {
  panel().CurrentPage = ViewerPage::Switcher;
  Deliver({Report(ViewerCode::SetLayout, {40})});
  EXPECT_EQ(viewer().LayoutCode, 40);
  EXPECT_EQ(viewer().WindowRects[0], LayoutRect{});

  panel().CurrentPage = ViewerPage::Mode;
  Deliver({Report(ViewerCode::SetLayout, {40})});
  EXPECT_EQ(viewer().WindowRects[3], (LayoutRect{360, 240, 360, 240, 4}));
  EXPECT_EQ(observer.calls, (std::vector<std::string>{"RepaintPreview", "RefreshPage 1"}));
}

TEST_F(StatusReports, OutOfRangeShortAndForeignReportsAreDropped) {
  panel().CurrentPage = ViewerPage::Umd;
  // Cut after v: the window (u) never arrived.
  std::vector<std::uint8_t> shortSource = Report(ViewerCode::SetWindowSource, {7, 3});
  shortSource.resize(19);
  Deliver({Report(ViewerCode::SetWindowSource, {7, 3}),  // not shown: nothing stored
           Report(ViewerCode::SetUmdOn, {0, 1}),
           Report(ViewerCode::SetLayout, {60}, {0x51, 0x54, 0x00, 0x02}), shortSource,
           Report(0x99, {1, 2, 3})});
  EXPECT_EQ(viewer().WindowSource[2], 0);
  EXPECT_EQ(viewer().UmdOn, PerInput<std::uint8_t>{});
  EXPECT_EQ(viewer().LayoutCode, 0);
  EXPECT_EQ(observer.calls, std::vector<std::string>{"RepaintPreview"});
}

TEST_F(StatusReports, ColourItemZeroStoresIntoTheFirstEntryOnly) {
  panel().CurrentPage = ViewerPage::Colour;
  viewer().UmdBackColour[0] = 5;
  Deliver({Report(ViewerCode::SetUmdTextColour, {0, 2})});
  EXPECT_EQ(panel().ColourSourceItem, 0);
  EXPECT_EQ(viewer().UmdTextColour[0], 2);
  EXPECT_EQ(viewer().UmdTextColour[1], 0);
  using Update = test::RecordingObserver::Selection;
  EXPECT_EQ(observer.selections, (std::vector<Update>{{ViewerSelection::ColourSource, 0, 0},
                                                      {ViewerSelection::UmdTextColour, 0, 2},
                                                      {ViewerSelection::UmdBackColour, 0, 5}}));
}

// With no panel open the mirror still follows, a source report as the device's own mode says;
// the items a report names become the selection of the panel only while one is open.
TEST_F(StatusReports, WithoutAPanelTheMirrorFollowsTheDevicesModeAndNothingIsSelected) {
  ASSERT_EQ(controller.Session().Panel(), nullptr);
  Deliver({Report(ViewerCode::SetMeterOn, {4, 1}), Report(ViewerCode::SetUmdTextColour, {3, 2})});
  EXPECT_EQ(viewer().MeterOn[3], 1);
  EXPECT_EQ(viewer().UmdTextColour[2], 2);
  EXPECT_TRUE(observer.selections.empty());
  viewer().SwitcherMode = 0;
  Deliver({Report(ViewerCode::SetWindowSource, {7, 3})});
  EXPECT_EQ(viewer().WindowSource[2], 7);
  viewer().SwitcherMode = 1;
  Deliver({Report(ViewerCode::SetWindowSource, {9, 4})});
  EXPECT_EQ(viewer().SwitcherSource[3], 9) << "a route while the device runs as a switcher";
  EXPECT_EQ(viewer().WindowSource[3], 0);

  observer.selections.clear();
  panel().CurrentPage = ViewerPage::Mode;  // items follow whatever page is shown
  Deliver({Report(ViewerCode::SetMeterOn, {6, 0}), Report(ViewerCode::SetUmdBackColour, {5, 1})});
  EXPECT_EQ(selections.AudioWindowItem, 5);
  EXPECT_EQ(selections.ColourSourceItem, 5);
  EXPECT_TRUE(observer.selections.empty()) << "neither the Audio nor the Colour page is shown";
}

// A device a search lost and found again has a new session: following it takes the place of the
// one followed before, which would otherwise keep every report of that identity for itself.
TEST_F(StatusReports, FollowingANewSessionOfTheSameDeviceTakesTheOldOnesPlace) {
  const auto again = std::make_shared<DeviceSession>(controller.Session().Entry(),
                                                     controller.Session().ListLine(), controller);
  const std::shared_ptr<const StatusListener::HandOver> counts = listener->Follow(*again);
  sender->SendTo(Report(ViewerCode::SetAllMeters, {1}), address);
  ASSERT_TRUE(test::RunTasksUntil(tasks, [&] { return again->Viewer().AllMetersOn == 1; }));
  EXPECT_EQ(counts->applied, 1u);
  EXPECT_EQ(viewer().AllMetersOn, 0);
  EXPECT_EQ(listener->Counts()->accepted, 0u);
}

TEST_F(StatusReports, WhatWasHandedOverForAPanelThatIsGoneIsDropped) {
  panel().CurrentPage = ViewerPage::Mode;
  sender->SendTo(Report(ViewerCode::SetLayout, {40}), address);
  ASSERT_TRUE(AwaitPending(1));
  listener->Stop();
  controller.Session().NextPanelGeneration();  // the panel closed; a new one may open
  tasks.RunPending();
  EXPECT_EQ(viewer().LayoutCode, 0);
  EXPECT_TRUE(observer.calls.empty());
  const StatusListener::HandOver& counts = *listener->Counts();
  EXPECT_EQ(counts.accepted.load(), 1u);
  EXPECT_EQ(counts.dropped.load(), 1u);
  EXPECT_EQ(counts.applied.load(), 0u);
}

TEST_F(StatusReports, DeviceWideChangeReadsBackFirstAndThenLetsTheDeviceSettle) {
  panel().CurrentPage = ViewerPage::Mode;
  sender->SendTo(Report(ViewerCode::DeviceWideChange, {}), address);
  ASSERT_TRUE(AwaitPending(1));
  // The read-back waits its turn on the controller's thread; the pause has not begun, so
  // nothing follows it yet, however long the read-back takes.
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(tasks.Pending(), 1u);
  tasks.RunPending();  // the read-back (the device here has no address: it sends nothing)
  EXPECT_TRUE(prompter.errors.empty());
  ASSERT_TRUE(AwaitPending(1));
  tasks.RunPending();
  EXPECT_EQ(observer.calls, (std::vector<std::string>{"RepaintPreview", "RefreshPage 1"}));
}

// Reports that carry the device's identity but are not whole frames of a multiviewer, or whose
// values no setting holds, change nothing and are counted; the sum and the trailer are where the
// frame's own Length puts them.
TEST_F(StatusReports, CorruptAndOutOfRangeReportsAreRejected) {
  panel().CurrentPage = ViewerPage::Mode;
  const auto changed = [](std::vector<std::uint8_t> frame, std::size_t at, std::uint8_t value,
                          bool sealed) {
    frame.at(at) = value;
    if (sealed) {
      SealFrame(frame);
    }
    return frame;
  };
  const std::vector<std::uint8_t> layout = Report(ViewerCode::SetLayout, {60});
  const std::size_t sum = layout.size() - 3;
  const std::vector<std::vector<std::uint8_t>> rejected{
      changed(layout, 0, 0xA4, true),                         // start byte
      changed(layout, sum, layout[sum] ^ 0x01, false),        // sum
      changed(layout, sum + 2, 0xAF, true),                   // trailer
      changed(layout, frame::kDeviceTypeOffset, 0x83, true),  // a matrix switcher's
      changed(layout, frame::kLengthOffset, 0x17, true),      // Length beyond the datagram
      Report(ViewerCode::SetWindowSource, {0, 3}),            // input 0
      Report(ViewerCode::SetWindowSource, {200, 3}),          // input 200
      Report(ViewerCode::SetUmdTextColour, {1, 250}),         // colour 250
      Report(ViewerCode::SetLayout, {0}),                     // layout 0
      Report(ViewerCode::SetLayout, {255}),                   // layout 255
      Report(ViewerCode::WindowSignalReport, {16, 1, 7}),     // window index 16
  };
  Deliver(rejected);
  EXPECT_EQ(viewer().LayoutCode, 0);
  EXPECT_EQ(viewer().WindowSource, PerWindow<std::uint8_t>{});
  EXPECT_EQ(viewer().UmdTextColour, PerInput<ColourIndex>{});
  EXPECT_TRUE(observer.calls.empty());
  const StatusListener::HandOver& counts = *listener->Counts();
  EXPECT_EQ(counts.rejected.load(), rejected.size());
  EXPECT_EQ(counts.accepted.load(), 1u) << "the marker only";

  // Bytes past the frame's Length are not part of it.
  std::vector<std::uint8_t> padded = layout;
  padded.insert(padded.end(), {0x00, 0x00, 0x00});
  Deliver({padded});
  EXPECT_EQ(viewer().LayoutCode, 60);
}

// A reader that falls behind holds a bounded hand-over: one task waits, the oldest reports go,
// and the newest reaches the mirror last.
TEST_F(StatusReports, AReaderThatFallsBehindKeepsTheNewestInABoundedHandOver) {
  panel().CurrentPage = ViewerPage::Switcher;  // a layout report stores the layout, no more
  const StatusListener::HandOver& counts = *listener->Counts();
  for (int n = 1; counts.overflowed == 0 && n < 200'000; ++n) {
    const std::uint8_t layout = n % 2 == 0 ? 40 : 60;
    sender->SendTo(Report(ViewerCode::SetLayout, {layout}), address);
    if (n % 1000 == 0) {
      std::this_thread::sleep_for(1ms);  // lets the listener keep up with the kernel
    }
  }
  EXPECT_EQ(tasks.Pending(), 1u);
  const auto deadline = std::chrono::steady_clock::now() + test::kPatience;
  while (viewer().LayoutCode != 90 && std::chrono::steady_clock::now() < deadline) {
    sender->SendTo(Report(ViewerCode::SetLayout, {90}), address);  // again, should it be lost
    tasks.RunUntil(std::chrono::steady_clock::now() + 20ms);
  }
  EXPECT_EQ(viewer().LayoutCode, 90);
  EXPECT_GT(counts.overflowed.load(), 0u);
}

// After an overflow the state is read again, off the owner's thread. A change the device
// reports while that read is on the wire waits, and is applied after the image: before it, the
// older image would take it back.
TEST_F(StatusReports, AChangeReportedWhileTheStateIsReadAgainOutlivesTheImage) {
  test::GatedLink link;
  link.script.arrivals = {test::MultiviewerStateReply(160, 0)};
  test::StartingRunner runner(tasks);
  controller.UseLink(&link);
  controller.SetRunner(runner);
  test::SelectMultiviewer(controller);
  listener.reset();
  Listen(controller.Session());
  panel().CurrentPage = ViewerPage::Switcher;  // a layout report stores the layout, no more

  const StatusListener::HandOver& counts = *listener->Counts();
  for (int n = 1; counts.overflowed == 0 && n < 200'000; ++n) {
    sender->SendTo(
        Report(ViewerCode::SetLayout, {n % 2 == 0 ? std::uint8_t{40} : std::uint8_t{60}}), address);
    if (n % 1000 == 0) {
      std::this_thread::sleep_for(1ms);  // lets the listener keep up with the kernel
    }
  }
  ASSERT_GT(counts.overflowed.load(), 0u);
  ASSERT_TRUE(test::AwaitCondition([&] {
    tasks.RunPending();
    return runner.Busy();
  })) << "the state is read again once the rest are applied";
  ASSERT_TRUE(link.AwaitOnTheWire());

  // The change, then a report that is no frame: once that one is counted, the change waits.
  sender->SendTo(Report(ViewerCode::SetLayout, {90}), address);
  std::vector<std::uint8_t> corrupt = Report(ViewerCode::SetLayout, {90});
  corrupt[0] = 0xA4;
  sender->SendTo(corrupt, address);
  ASSERT_TRUE(test::AwaitCondition([&] { return counts.rejected == 1; }));
  tasks.RunPending();
  EXPECT_NE(viewer().LayoutCode, 90) << "applied while the image was on its way";

  link.Open();
  ASSERT_TRUE(test::AwaitCondition([&] {
    tasks.RunPending();
    return !runner.Busy() && counts.accepted == counts.applied + counts.overflowed;
  }));
  EXPECT_EQ(viewer().LayoutCode, 90);
  controller.UseLink(nullptr);
}

TEST_F(StatusReports, StoppingEndsTheWorkerAndClosesTheSocket) {
  listener->Stop();
  EXPECT_FALSE(listener->Running());
  // The port is free again once the socket is closed.
  std::optional<UdpSocket> again = UdpSocket::Create();
  EXPECT_TRUE(again->Bind(address));
}

}  // namespace
}  // namespace quintara
