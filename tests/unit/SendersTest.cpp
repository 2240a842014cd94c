// The senders take what they send as arguments: a locked device gets nothing and the mirror keeps
// nothing; a route goes to the switcher's table whatever page is shown.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/matrix/MatrixCommands.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLinkFixture.h"

namespace quintara {
namespace {

using Senders = test::FakeLinkFixture;

struct ViewerCase {
  std::string name;
  std::function<CommandResult(ViewerCommands&)> send;
  std::function<bool(const ViewerState&)> stored;
};

TEST_F(Senders, ALockedMultiviewerGetsNothingAndTheMirrorKeepsNothing) {
  const std::vector<ViewerCase> cases{
      {"SetLayout", [](ViewerCommands& c) { return c.SetLayout(60); },
       [](const ViewerState& v) { return v.LayoutCode == 60; }},
      {"SetWindowSource", [](ViewerCommands& c) { return c.SetWindowSource(3, 7); },
       [](const ViewerState& v) { return v.WindowSource[2] == 7; }},
      {"SetSwitcherRoute", [](ViewerCommands& c) { return c.SetSwitcherRoute(2, 9); },
       [](const ViewerState& v) { return v.SwitcherSource[1] == 9; }},
      {"SetUmdText", [](ViewerCommands& c) { return c.SetUmdText(4, u"Cam 4"); },
       [](const ViewerState& v) { return v.UmdText[3] == u"Cam 4"; }},
      {"SetAudioSource", [](ViewerCommands& c) { return c.SetAudioSource(5); },
       [](const ViewerState& v) { return v.AudioSource == 5; }},
      {"SetSwitcherMode", [](ViewerCommands& c) { return c.SetSwitcherMode(0); },
       [](const ViewerState& v) { return v.SwitcherMode == 0; }},
      {"SetOutputFormat", [](ViewerCommands& c) { return c.SetOutputFormat(11); },
       [](const ViewerState& v) { return v.OutputFormat == 11; }},
  };
  ViewerCommands commands(controller.Session());
  for (const ViewerCase& c : cases) {
    controller.Session().SetLockState(1);
    const ViewerState before = viewer();
    EXPECT_EQ(c.send(commands), CommandResult::RefusedLocked) << c.name;
    EXPECT_EQ(viewer(), before) << c.name;
    EXPECT_TRUE(link.sent.empty()) << c.name;
    EXPECT_EQ(observer.statusText, kLockedRefusalText) << c.name;

    controller.Session().SetLockState(0);
    EXPECT_EQ(c.send(commands), CommandResult::Sent) << c.name;
    EXPECT_TRUE(c.stored(viewer())) << c.name;
    EXPECT_EQ(link.sent.size(), 1u) << c.name;
    link.sent.clear();
  }
}

TEST_F(Senders, ARouteAndAWindowSourceKeepTheirOwnTablesOnEveryPage) {
  ViewerCommands commands(controller.Session());
  for (const std::uint8_t page : {std::uint8_t{0}, ViewerPage::Mode, ViewerPage::Umd,
                                  ViewerPage::Switcher}) {  // none shown yet, then three
    viewer() = ViewerState{};
    panel().CurrentPage = page;
    link.sent.clear();
    ASSERT_EQ(commands.SetSwitcherRoute(2, 9), CommandResult::Sent);
    ASSERT_EQ(commands.SetWindowSource(2, 5), CommandResult::Sent);
    EXPECT_EQ(viewer().SwitcherSource[1], 9) << int{page};
    EXPECT_EQ(viewer().SwitcherRects[1].number, 9) << int{page};
    EXPECT_EQ(viewer().WindowSource[1], 5) << int{page};
    EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetWindowSource, 9, 2},
                                                     {ViewerCode::SetWindowSource, 5, 2}}));
  }
  EXPECT_EQ(commands.SetSwitcherRoute(17, 1), CommandResult::NotSent);
  link.reachable = false;
  EXPECT_EQ(commands.SetSwitcherRoute(3, 4), CommandResult::NotSent);
  EXPECT_EQ(viewer().SwitcherSource[2], 4) << "stored before the send, as every sender does";
}

TEST_F(Senders, ALockedMatrixSwitcherGetsNothingAndItsStateKeepsNothing) {
  MatrixCommands commands(controller.Session(), kSixteenChannelType);
  const std::vector<std::function<CommandResult()>> sends{
      [&] { return commands.RouteToOutputs(3, MatrixOutputs{0b101}); },
      [&] { return commands.RouteToAll(4); },
      [&] { return commands.RouteOneToOne(); },
      [&] { return commands.SetBacklightTime(2); },
      [&] { return commands.SetBacklightBrightness(40); },
      [&] { return commands.SetMatrixOutputFormat(5); },
  };
  controller.Session().SetLockState(1);
  for (const auto& send : sends) {
    EXPECT_EQ(send(), CommandResult::RefusedLocked);
  }
  EXPECT_EQ(controller.Session().Matrix(), MatrixState{});
  EXPECT_TRUE(link.sent.empty());

  controller.Session().SetLockState(0);
  for (const auto& send : sends) {
    EXPECT_EQ(send(), CommandResult::Sent);
  }
  const MatrixState& matrix = controller.Session().Matrix();
  EXPECT_EQ(matrix.backlightTime, 2);
  EXPECT_EQ(matrix.backlightBrightness, 40);
  EXPECT_EQ(matrix.outputFormatIndex, 5);
  EXPECT_EQ(matrix.selectedInput, 0) << "a route takes its input, not the panel's selection";
  EXPECT_EQ(link.sent.size(), sends.size());
}

}  // namespace
}  // namespace quintara
