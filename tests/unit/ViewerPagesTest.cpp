// The Mode and Switcher pages' rules, without widgets: what a click sends and what the page
// shows afterwards.
#include <gtest/gtest.h>

#include "core/Controller.h"
#include "core/viewer/panel/ModePresenter.h"
#include "core/viewer/panel/SwitcherPresenter.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLinkFixture.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using ViewerPages = test::FakeLinkFixture;

TEST_F(ViewerPages, ALayoutButtonSendsItsCodeOnceAndMovesTheLight) {
  viewer().LayoutCode = 40;
  ModePresenter mode(controller.Session());
  EXPECT_EQ(mode.AppliedLayoutCode(), 0);
  EXPECT_EQ(mode.RefreshLayoutControls().highlighted, 40);

  EXPECT_FALSE(mode.ClickLayout(40)) << "the layout the device shows already";
  const auto click = mode.ClickLayout(60);
  ASSERT_TRUE(click);
  EXPECT_EQ(click->lit, 60);
  EXPECT_EQ(click->unlit, 40);
  EXPECT_FALSE(mode.ClickLayout(60));
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetLayout, 60}}));
  EXPECT_EQ(viewer().WindowRects[5], (LayoutRect{480, 320, 240, 160, 6}));

  controller.Session().SetLockState(1);
  EXPECT_FALSE(mode.ClickLayout(90));
  EXPECT_EQ(link.sent.size(), 1u);
}

TEST_F(ViewerPages, AReportedVariantLightsItsGroupsOnlyButtonWhichSendsTheButtonsCode) {
  viewer().LayoutCode = 110;
  ModePresenter mode(controller.Session());
  const ModeLayoutView shown = mode.RefreshLayoutControls();
  EXPECT_EQ(shown.windowCountItem, 6);
  EXPECT_EQ(shown.highlighted, 111);
  EXPECT_EQ(shown.enabledSourceLists, 11);
  const auto click = mode.ClickLayout(111);
  ASSERT_TRUE(click);
  EXPECT_EQ(click->unlit, 111) << "the lit button goes out even for a code no button has";
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetLayout, 111}}));

  viewer().LayoutCode = 43;
  EXPECT_FALSE(mode.RefreshLayoutControls().highlighted);
}

TEST_F(ViewerPages, TheWindowCountListShowsAGroupAndSendsNothing) {
  const auto nine = ModePresenter::ChooseWindowCount(4);
  EXPECT_EQ(nine.visibleGroup, 9);
  EXPECT_EQ(nine.enabledSourceLists, 9);
  const auto single = ModePresenter::ChooseWindowCount(0);
  EXPECT_EQ(single.visibleGroup, 1);
  EXPECT_EQ(single.enabledSourceLists, 0);
  EXPECT_FALSE(ModePresenter::ChooseWindowCount(-1).visibleGroup);
  EXPECT_TRUE(link.sent.empty());
}

TEST_F(ViewerPages, ASourceListSendsOnlyAChangeAndSnapsBackWhileLocked) {
  viewer().WindowSource[2] = 3;
  ModePresenter mode(controller.Session());
  mode.TakeShownSources();
  EXPECT_FALSE(mode.ChooseSource(3, 2)) << "SDI_03 is shown already";
  EXPECT_FALSE(mode.ChooseSource(3, 4));
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetWindowSource, 5, 3}}));
  EXPECT_EQ(viewer().WindowSource[2], 5);
  EXPECT_EQ(mode.ShownSources()[2], 5);

  controller.Session().SetLockState(1);
  EXPECT_EQ(mode.ChooseSource(3, 9), 4) << "back to SDI_05";
  EXPECT_EQ(mode.ChooseSource(7, 9), -1) << "a window whose source is 0 shows none";
  EXPECT_EQ(link.sent.size(), 1u);
}

TEST_F(ViewerPages, SwitcherRoutesAreSentAsPickedAndOneToOneRestoresTheGrid) {
  panel().CurrentPage = ViewerPage::Switcher;
  viewer().SwitcherSource.fill(3);
  viewer().SwitcherSource[15] = 0;
  SwitcherPresenter switcher(controller.Session());
  switcher.Initialise();
  EXPECT_EQ(viewer().SwitcherRects[4].number, 3);
  EXPECT_EQ(switcher.RouteItems()[15], -1);

  EXPECT_TRUE(switcher.ChooseRoute(12, 4));
  EXPECT_TRUE(switcher.ChooseRoute(12, 4)) << "every pick is sent";
  EXPECT_EQ(viewer().SwitcherRects[11].number, 5);

  controller.Session().SetLockState(1);
  EXPECT_FALSE(switcher.ChooseRoute(1, 0));
  switcher.OneToOne();
  EXPECT_EQ(switcher.RouteItems()[0], 2) << "locked: the lists go back to the stored routes";
  controller.Session().SetLockState(0);
  switcher.OneToOne();
  for (std::size_t output = 0; output < 16; ++output) {
    EXPECT_EQ(switcher.RouteItems()[output], static_cast<int>(output));
    EXPECT_EQ(viewer().SwitcherRects[output].number, static_cast<int>(output + 1));
  }
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetWindowSource, 5, 12},
                                                   {ViewerCode::SetWindowSource, 5, 12},
                                                   {ViewerCode::SetOneToOne}}));
  EXPECT_EQ(link.sent.back().size(), 20u);
}

}  // namespace
}  // namespace quintara
