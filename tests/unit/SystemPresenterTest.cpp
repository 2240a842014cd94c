// The System page's rules, without widgets: what the format list and the switches send, what the
// list shows again while locked, and the order and timing of the recalls.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/Controller.h"
#include "core/viewer/panel/SystemPresenter.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLink.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A clock that never waits: it notes each pause with the number of frames sent before it.
class PauseClock final : public Clock {
 public:
  explicit PauseClock(const test::FakeLink& link) : link_(link) {}
  std::int64_t NowMs() const override { return now_; }
  void SleepMs(int milliseconds) override {
    now_ += milliseconds;
    pauses.push_back({milliseconds, link_.sent.size()});
  }
  LocalDateTime LocalNow() const override { return {}; }

  struct Pause {
    int ms;
    std::size_t afterFrames;
    friend bool operator==(const Pause&, const Pause&) = default;
  };
  std::vector<Pause> pauses;

 private:
  const test::FakeLink& link_;
  std::int64_t now_ = 0;
};

// Runs each exchange at once and notes what it said it was doing and what was sent by its end.
class NotingRunner final : public ExchangeRunner {
 public:
  explicit NotingRunner(const test::FakeLink& link) : link_(link) {}
  void Start(std::string_view what, WireWork work) override {
    texts.emplace_back(what);
    work()();
    framesAtEnd.push_back(link_.sent.size());
  }
  std::vector<std::string> texts;
  std::vector<std::size_t> framesAtEnd;

 private:
  const test::FakeLink& link_;
};

Bytes StateReply(std::uint8_t layout, std::uint8_t flags) {
  Bytes reply(kStateReplySize, 0);
  reply[0] = frame::kStart;
  reply[frame::kDeviceTypeOffset] = kMultiviewerType;
  reply[frame::kCommandCodeOffset] = ViewerCode::ReadState;
  reply[kStateImageOffset] = layout;
  reply[kStateImageOffset + 3] = flags;
  return reply;
}

class SystemRules : public ::testing::Test {
 protected:
  SystemRules() : controller(LinkConfig{}, LinkTiming{}, clock, prompter, observer) {
    controller.UseLink(&link);
    controller.SetRunner(runner);
  }

  // The presenter works for the device at entry 0 of the table.
  static DeviceSession& FirstDevice(Controller& controller) {
    controller.Devices().SetSelectedIndex(0);
    return controller.Session();
  }

  ViewerState& viewer() { return controller.Session().Viewer(); }
  // The selections of a panel open on the current session.
  PanelSelections& panel() { return test::LendPanel(controller.Session(), selections); }

  std::vector<std::vector<int>> Sent() const { return link.CodesAndPayloads(); }
  int Repaints() const {
    return static_cast<int>(std::ranges::count(observer.calls, std::string("RepaintPreview")));
  }

  test::FakeLink link;
  PanelSelections selections;
  PauseClock clock{link};
  NotingRunner runner{link};
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
  DeviceSession& device = FirstDevice(controller);
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);
  SystemPresenter system{device};
};

TEST_F(SystemRules, TheFormatListSendsTheCodeOfItsItemAndShowsOnlyCodesItHas) {
  viewer().OutputFormat = 14;
  EXPECT_EQ(system.OutputFormatItem(), 7);
  viewer().OutputFormat = 2;
  EXPECT_EQ(system.OutputFormatItem(), std::nullopt) << "no item has code 2";

  EXPECT_EQ(system.ChooseOutputFormat(7), std::nullopt);
  EXPECT_EQ(viewer().OutputFormat, 14);
  EXPECT_EQ(system.ChooseOutputFormat(3), std::nullopt);
  EXPECT_EQ(system.ChooseOutputFormat(-1), std::nullopt) << "no selection: nothing sent";
  EXPECT_EQ(system.ChooseOutputFormat(9), std::nullopt);
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetOutputFormat, 0, 14},
                                                   {ViewerCode::SetOutputFormat, 0, 1}}));
  EXPECT_EQ(link.sent[0].size(), 22u);
  EXPECT_EQ(viewer().OutputFormat, 1);
}

TEST_F(SystemRules, LockedTheFormatListGoesBackAndNothingIsSent) {
  controller.Session().SetLockState(1);
  viewer().OutputFormat = 9;
  EXPECT_EQ(system.ChooseOutputFormat(0), 2) << "back to 1080i60";
  EXPECT_EQ(viewer().OutputFormat, 9);

  // A stored code no item has: back to what the list showed, not left on the refused pick.
  viewer().OutputFormat = 2;
  system.NoteShownFormat(5);
  EXPECT_EQ(system.ChooseOutputFormat(0), 5);
  EXPECT_EQ(system.ChooseOutputFormat(8), 5);
  EXPECT_EQ(viewer().OutputFormat, 2);
  EXPECT_TRUE(link.sent.empty());
}

TEST_F(SystemRules, EachSwitchSendsTheOppositeOfTheMirrorUnlessLocked) {
  viewer().FormatStatusOn = 1;
  viewer().AudioAlarmOn = 0;
  viewer().TimecodeOn = 7;  // any non-zero value is on
  EXPECT_EQ(system.Switches(), (SystemSwitches{true, false, true}));

  EXPECT_EQ(system.Toggle(ViewerSwitch::FormatStatus), false);
  EXPECT_EQ(system.Toggle(ViewerSwitch::AudioAlarm), true);
  EXPECT_EQ(system.Toggle(ViewerSwitch::Timecode), false);
  EXPECT_EQ(system.Toggle(ViewerSwitch::Timecode), true);
  EXPECT_EQ(system.Toggle(ViewerSwitch::AllUmd), std::nullopt) << "not a switch of this page";
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetFormatStatus, 0},
                                                   {ViewerCode::SetAudioAlarm, 1},
                                                   {ViewerCode::SetTimecode, 0},
                                                   {ViewerCode::SetTimecode, 1}}));
  EXPECT_EQ(system.Switches(), (SystemSwitches{false, true, true}));

  controller.Session().SetLockState(1);
  EXPECT_EQ(system.Toggle(ViewerSwitch::FormatStatus), std::nullopt);
  system.SaveCustom(1);
  EXPECT_EQ(link.sent.size(), 4u);
  controller.Session().SetLockState(0);
  system.SaveCustom(2);
  EXPECT_EQ(Sent().back(), (std::vector<int>{ViewerCode::SaveCustom, 2}));
  EXPECT_TRUE(runner.texts.empty()) << "saving does not wait";
}

TEST_F(SystemRules, LoadCustomSendsWaitsThreeSecondsReadsBackThenRefreshes) {
  panel().AudioWindowItem = 4;
  panel().ColourWindowItem = 5;
  link.arrivals = {StateReply(60, 0x0A)};  // format status and audio alarm on
  std::optional<SystemSwitches> shown;
  system.LoadCustom(2, [&] { shown = system.Switches(); });

  EXPECT_EQ(runner.texts, std::vector<std::string>{std::string(kLoadingCustomText)});
  EXPECT_EQ(runner.framesAtEnd, std::vector<std::size_t>{2}) << "send and read-back in the run";
  EXPECT_EQ(Sent(),
            (std::vector<std::vector<int>>{{ViewerCode::LoadCustom, 2}, {ViewerCode::ReadState}}));
  EXPECT_EQ(clock.pauses.front(), (PauseClock::Pause{3000, 1})) << "between send and read-back";
  EXPECT_EQ(viewer().LayoutCode, 60);
  EXPECT_EQ(viewer().WindowRects[5], (LayoutRect{480, 320, 240, 160, 6})) << "refreshed";
  EXPECT_EQ(shown, (SystemSwitches{true, true, false})) << "the page shows what was recalled";
  EXPECT_EQ(Repaints(), 1);
  EXPECT_EQ(panel().AudioWindowItem, 4) << "a memory keeps the pages' selections";
  EXPECT_EQ(panel().ColourWindowItem, 5);
}

TEST_F(SystemRules, LockedLoadCustomSendsNothingButStillWaitsAndReadsBack) {
  controller.Session().SetLockState(1);
  system.LoadCustom(1, {});
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::ReadState}}));
  EXPECT_EQ(clock.pauses.front(), (PauseClock::Pause{3000, 0}));
  EXPECT_EQ(Repaints(), 1);
}

TEST_F(SystemRules, LoadDefaultRecallsAndPutsThePagesSelectionsBackUnlessLocked) {
  panel().AudioWindowItem = 4;
  panel().ColourWindowItem = 5;
  panel().ColourSourceItem = 6;
  controller.Session().SetLockState(1);
  EXPECT_FALSE(system.LoadDefaults([] { ADD_FAILURE() << "nothing recalled"; }));
  EXPECT_TRUE(link.sent.empty());
  EXPECT_TRUE(clock.pauses.empty()) << "locked: no wait either";
  EXPECT_EQ(panel().AudioWindowItem, 4);

  controller.Session().SetLockState(0);
  link.arrivals = {StateReply(40, 0x02)};
  int shownItem = -1;
  EXPECT_TRUE(system.LoadDefaults([&] { shownItem = panel().AudioWindowItem; }));
  EXPECT_EQ(shownItem, 0) << "the page shows the recall once the selections went back";
  EXPECT_EQ(runner.texts, std::vector<std::string>{std::string(kLoadingDefaultsText)});
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::LoadDefaults, 0},
                                                   {ViewerCode::ReadState}}));
  EXPECT_EQ(link.sent[0].size(), 21u);
  EXPECT_EQ(clock.pauses.front(), (PauseClock::Pause{3000, 1}));
  EXPECT_EQ(system.Switches(), (SystemSwitches{true, false, false}));
  EXPECT_EQ(panel().AudioWindowItem, 0);
  EXPECT_EQ(panel().ColourWindowItem, 0);
  EXPECT_EQ(panel().ColourSourceItem, 0);
  EXPECT_EQ(Repaints(), 1);
}

TEST_F(SystemRules, TheRecallPauseFollowsTheTiming) {
  LinkTiming timing;
  timing.recallPauseMs = 300;
  Controller shortened(LinkConfig{}, timing, clock, prompter, observer);
  shortened.UseLink(&link);
  shortened.SetRunner(runner);
  SystemPresenter(shortened.Session()).LoadCustom(1, {});
  EXPECT_EQ(clock.pauses.front().ms, 300);
}

}  // namespace
}  // namespace quintara
