// The multiviewer panel's page choice: warnings into and out of the Switcher page, the lock, and
// the mode sent with every completed switch.
#include <gtest/gtest.h>

#include "core/Controller.h"
#include "core/viewer/panel/PageSwitch.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLinkFixture.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

class PageSwitching : public test::FakeLinkFixture {
 protected:
  PageSwitching() {
    panel().PageSwitchPass = 1;  // as a read-back leaves it
    controller.Session().Viewer().SwitcherMode = 0;
  }

  // The SwitcherMode values sent, in order.
  std::vector<int> ModesSent() const {
    std::vector<int> modes;
    for (const auto& frame : link.sent) {
      if (frame.at(frame::kCommandCodeOffset) == ViewerCode::SetSwitcherMode) {
        modes.push_back(frame.at(frame::kPayloadOffset));
      }
    }
    return modes;
  }

  PageSwitch pages{controller.Session(), panel()};
};

TEST_F(PageSwitching, WarnsIntoAndOutOfTheSwitcherPageAndSendsTheModeOnEverySwitch) {
  ASSERT_EQ(PageSwitch::FirstPage(controller.Session().Viewer()), ViewerPage::Mode);
  ASSERT_TRUE(pages.SwitchPage(ViewerPage::Mode));
  EXPECT_TRUE(prompter.confirmations.empty()) << "the first page comes without a warning";

  EXPECT_FALSE(pages.SwitchPage(ViewerPage::Mode)) << "the page shown already";
  const auto toUmd = pages.SwitchPage(ViewerPage::Umd);
  ASSERT_TRUE(toUmd);
  EXPECT_EQ(toUmd->from, ViewerPage::Mode);
  EXPECT_TRUE(prompter.confirmations.empty());

  ASSERT_TRUE(pages.SwitchPage(ViewerPage::Switcher));
  EXPECT_EQ(prompter.confirmations.back(), kLeaveMultiviewerModeWarning);
  EXPECT_EQ(controller.Session().Viewer().SwitcherMode, 1);

  prompter.confirmAnswer = false;
  EXPECT_FALSE(pages.SwitchPage(ViewerPage::Audio));
  EXPECT_EQ(prompter.confirmations.back(), kLeaveSwitcherModeWarning);
  EXPECT_EQ(panel().CurrentPage, ViewerPage::Switcher) << "cancelled: nothing changes";

  prompter.confirmAnswer = true;
  ASSERT_TRUE(pages.SwitchPage(ViewerPage::Audio));
  EXPECT_EQ(ModesSent(), (std::vector<int>{0, 0, 1, 0}));
  EXPECT_EQ(prompter.confirmations.size(), 3u);
}

TEST_F(PageSwitching, ALockedDeviceShowsItsFirstPageAndThenStaysAfterTheWarning) {
  controller.Session().SetLockState(1);
  controller.Session().Viewer().SwitcherMode = 1;
  const auto first = pages.SwitchPage(PageSwitch::FirstPage(controller.Session().Viewer()));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->to, ViewerPage::Switcher);

  EXPECT_FALSE(pages.SwitchPage(ViewerPage::Mode));
  EXPECT_EQ(prompter.confirmations,
            std::vector<std::string>{std::string(kLeaveSwitcherModeWarning)});
  EXPECT_EQ(panel().CurrentPage, ViewerPage::Switcher);
  EXPECT_TRUE(ModesSent().empty()) << "a locked device is sent nothing";
}

}  // namespace
}  // namespace quintara
