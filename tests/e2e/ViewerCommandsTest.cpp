// The multiviewer senders against a simulated device: the frames on the wire, what the mirror
// keeps, and when the preview is asked to follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>

#include "core/Controller.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/Bytes.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using test::Bytes;

class ViewerSenders : public ::testing::Test {
 protected:
  ViewerSenders() : controller(lan.link, test::ShortSearchTiming(), clock, prompter, observer) {}

  void SelectMultiviewer() {
    ASSERT_TRUE(test::SearchAndSelect(controller, test::SimulatedLan::kMultiviewer));
    attached = observer.AttachTo(controller);
    commands.emplace(controller.Session());
    observer.calls.clear();
  }

  // The frames with this code the multiviewer received, once count of them have arrived.
  std::vector<std::vector<std::uint8_t>> Received(std::uint8_t code, std::size_t count) {
    EXPECT_TRUE(lan.multiviewer->WaitForFrames(code, count, test::kPatience));
    return lan.multiviewer->ReceivedFrames(code);
  }

  std::size_t Repaints() const {
    return static_cast<std::size_t>(std::ranges::count(observer.calls, "RepaintPreview"));
  }

  test::SimulatedLan lan;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);
  // For the selected device once one is, else for none.
  std::optional<ViewerCommands> commands{std::in_place, controller.Session()};
};

TEST_F(ViewerSenders, LayoutGoesOutByteExactAndTheWindowsFollow) {
  SelectMultiviewer();
  ViewerState& viewer = controller.Session().Viewer();
  ASSERT_EQ(commands->SetLayout(40), CommandResult::Sent);
  EXPECT_EQ(Received(ViewerCode::SetLayout, 1)[0],
            Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 33 28 24 02 AE"));
  EXPECT_EQ(viewer.WindowRects[3], (LayoutRect{360, 240, 360, 240, 4}));
  EXPECT_EQ(viewer.WindowRects[4], LayoutRect{});
  EXPECT_EQ(Repaints(), 1u);

  ASSERT_EQ(commands->SetUmdText(3, u"Cam"), CommandResult::Sent);
  EXPECT_EQ(Received(ViewerCode::SetUmdText, 1)[0],
            Bytes("A5 6C 22 00 A1 01 01 00 00 00 00 00 00 00 00 00 1E 03 01 00 01 00 01 00 01 "
                  "43 00 61 00 6D 00 0C 03 AE"));
}

TEST_F(ViewerSenders, ItemsAndIndicesFollowEachCommandsNumbering) {
  SelectMultiviewer();
  ViewerState& viewer = controller.Session().Viewer();
  viewer.WindowSource[0] = 5;
  ASSERT_EQ(commands->SetUmdTextColour(0, 2), CommandResult::Sent);
  ASSERT_EQ(commands->SetTimecodeTextColour(0, 2), CommandResult::Sent);
  EXPECT_TRUE(std::ranges::all_of(viewer.UmdTextColour, [](ColourIndex c) { return c == 2; }));
  EXPECT_EQ(viewer.TimecodeTextColour[0], 2);
  EXPECT_EQ(viewer.TimecodeTextColour[1], 0);
  EXPECT_EQ(Received(ViewerCode::SetUmdTextColour, 1)[0][17], 0);
  EXPECT_EQ(viewer.UmdTextRgb[0], (Rgb{255, 0, 0}));  // window 1 shows input 5, now red text
  ASSERT_EQ(commands->SetMeterOn(3, 1), CommandResult::Sent);
  ASSERT_EQ(commands->SetMeterOn(kAllMetersIndex, 1), CommandResult::Sent);
  EXPECT_EQ(Received(ViewerCode::SetMeterOn, 1)[0][17], 4);
  EXPECT_EQ(Received(ViewerCode::SetAllMeters, 1)[0][17], 1);
  EXPECT_EQ(viewer.MeterOn[3], 1);
  EXPECT_EQ(viewer.AllMetersOn, 1);

  ASSERT_EQ(commands->SetSwitcherRoute(2, 9), CommandResult::Sent);
  const auto route = Received(ViewerCode::SetWindowSource, 1)[0];
  EXPECT_EQ(Bytes("34 09 02"), std::vector<std::uint8_t>(route.begin() + 16, route.begin() + 19));
  EXPECT_EQ(viewer.SwitcherSource[1], 9);
  EXPECT_EQ(viewer.SwitcherRects[1].number, 9);
  EXPECT_EQ(commands->SetUmdTextColour(17, 1),
            CommandResult::NotSent);  // no such item: nothing leaves
}

TEST_F(ViewerSenders, EverySenderPutsItsCodeAndPayloadOnTheWireAndTheDeviceFollows) {
  SelectMultiviewer();
  ViewerState& viewer = controller.Session().Viewer();
  struct Case {
    std::function<CommandResult()> send;
    std::string codeAndPayload;  // bytes 16 on, up to the sum
  };
  const std::vector<Case> cases{
      {[&] { return commands->SetOutputFormat(11); }, "19 00 0B"},
      {[&] { return commands->SetWindowSource(5, 7); }, "34 07 05"},
      {[&] { return commands->SetUmdOn(4, 1); }, "36 04 01"},
      {[&] { return commands->SetUmdOn(0, 0); }, "5C 00"},
      {[&] { return commands->SetMeterChannels(15, 3); }, "52 10 03"},
      {[&] { return commands->SetAudioSource(9); }, "39 09"},
      {[&] { return commands->SetUmdBackColour(16, 14); }, "3C 10 0E"},
      {[&] { return commands->SetFormatTextColour(1, 7); }, "3D 01 07"},
      {[&] { return commands->SetFormatBackColour(0, 15); }, "3E 00 0F"},
      {[&] { return commands->SetTimecodeBackColour(2, 4); }, "55 02 04"},
      {[&] { return commands->SetBorder(0); }, "3F 00"},
      {[&] { return commands->SetFormatStatus(1); }, "5D 01"},
      {[&] { return commands->SetAudioAlarm(1); }, "56 01"},
      {[&] { return commands->SetTimecode(1); }, "5E 01"},
      {[&] { return commands->SetSwitcherMode(1); }, "62 01"},
      {[&] { return commands->SetOneToOne(); }, "5A"},
      {[&] { return commands->SendCustomMemory(ViewerCode::SaveCustom, 2); }, "58 02"},
      {[&] { return commands->LoadDefaults(); }, "0B 00"},
      {[&] { return commands->SendCustomMemory(ViewerCode::LoadCustom, 2); }, "59 02"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.send(), CommandResult::Sent) << c.codeAndPayload;
  }
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> expected = Bytes(c.codeAndPayload);
    const auto frame = Received(expected[0], 1).back();
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 16, frame.end() - 3), expected);
    EXPECT_EQ(frame.size(), expected.size() + 19);
  }
  EXPECT_EQ(viewer.SwitcherSource[6], 7);  // one to one
  const sim::MultiviewerState device = lan.multiviewer->State();
  EXPECT_EQ(device.TimecodeOn, 1);
  EXPECT_EQ(device.SwitcherMode, 1);
}

TEST_F(ViewerSenders, LockedDeviceRefusesEverySender) {
  SelectMultiviewer();
  controller.Session().SetLock(1);
  observer.calls.clear();
  const ViewerState before = controller.Session().Viewer();
  EXPECT_EQ(commands->SetBorder(1), CommandResult::RefusedLocked);
  EXPECT_EQ(commands->SetOneToOne(), CommandResult::RefusedLocked);
  EXPECT_EQ(commands->SetUmdOn(0, 1), CommandResult::RefusedLocked);
  EXPECT_EQ(controller.Session().Viewer().BorderOn, before.BorderOn);
  EXPECT_EQ(controller.Session().Viewer().SwitcherSource, before.SwitcherSource);
  // Nothing is repainted or refreshed: the status line only says why.
  EXPECT_EQ(std::ranges::count(observer.calls, "StatusTextChanged"), 3);
  EXPECT_EQ(observer.calls.size(), 3u);
  EXPECT_EQ(observer.statusText, kLockedRefusalText);
}

TEST_F(ViewerSenders, WithoutASelectedDeviceTheStoredValueStaysButNothingRepaints) {
  EXPECT_EQ(commands->SetBorder(1), CommandResult::NotSent);
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please choose a device"});
  EXPECT_EQ(controller.Session().Viewer().BorderOn, 1);
  EXPECT_EQ(Repaints(), 0u);
}

}  // namespace
}  // namespace quintara
