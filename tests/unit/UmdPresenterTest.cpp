// The UMD page's rules, without widgets: the label fields' limit, what the switches and a
// confirmed label send, and what the page shows while the device is locked.
#include <gtest/gtest.h>

#include "core/Controller.h"
#include "core/viewer/panel/UmdPresenter.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLinkFixture.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

class UmdRules : public test::FakeLinkFixture {
 protected:
  UmdRules() { controller.Session().Viewer().SetLabelDefaults(); }
};

TEST(UmdLabelLimit, InsertionsAreCutToTheRoomLeftAndDeletionsPass) {
  // A twelfth character typed at the end is refused; the cursor stays after the eleventh.
  LimitedLabel kept = LimitLabelEdit(u"ABCDEFGHIJK", u"ABCDEFGHIJKL");
  EXPECT_TRUE(kept.cut);
  EXPECT_EQ(kept.text, u"ABCDEFGHIJK");
  EXPECT_EQ(kept.cursor, 11u);

  // A long paste into an empty field keeps its first eleven characters.
  kept = LimitLabelEdit(u"", u"Camera one, studio B");
  EXPECT_EQ(kept.text, u"Camera one,");
  EXPECT_EQ(kept.cursor, 11u);

  // Pasted in the middle: the text around it stays, the paste gets the room that is left.
  kept = LimitLabelEdit(u"Cam_1234", u"CamXYZW_1234");
  EXPECT_EQ(kept.text, u"CamXYZ_1234");
  EXPECT_EQ(kept.cursor, 6u);

  // Within the limit nothing is touched.
  kept = LimitLabelEdit(u"Umd_05", u"Umd_05b");
  EXPECT_FALSE(kept.cut);
  EXPECT_EQ(kept.text, u"Umd_05b");

  // A device label longer than the limit stays whole; it can shrink but not grow.
  const std::u16string seventeen = u"Seventeen_letters";
  EXPECT_EQ(LimitLabelEdit(seventeen, u"Seventeen_letter").text, u"Seventeen_letter");
  EXPECT_EQ(LimitLabelEdit(seventeen, u"Seventeen_lettersX").text, seventeen);
  // Typing over a selection of it takes the selection out and adds nothing.
  EXPECT_EQ(LimitLabelEdit(seventeen, u"SevenXteen_letters").text, seventeen);
  EXPECT_EQ(LimitLabelEdit(seventeen, u"SeXYZteen_letters").text, u"Seteen_letters");
}

TEST(UmdLabelLimit, NeverKeepsHalfACharacter) {
  const std::u16string grin = u"\U0001F600";  // two UTF-16 units
  const LimitedLabel kept = LimitLabelEdit(u"ABCDEFGHIJ", u"ABCDEFGHIJ" + grin);
  EXPECT_EQ(kept.text, u"ABCDEFGHIJ");
  EXPECT_EQ(kept.cursor, 10u);
  // Two characters that share their first unit: the insertion is the whole second one.
  const std::u16string other = u"\U0001F601";
  const LimitedLabel swapped = LimitLabelEdit(u"ABCDEFGHI" + grin, u"ABCDEFGHI" + other);
  EXPECT_EQ(swapped.text, u"ABCDEFGHI" + other);
}

TEST_F(UmdRules, SwitchesToggleSendAndStoreAndStayPutWhileLocked) {
  viewer().AllUmdOn = 1;
  viewer().UmdOn[2] = 0;
  UmdPresenter umd(controller.Session());
  EXPECT_EQ(umd.ClickAllUmd(), false);
  EXPECT_EQ(viewer().AllUmdOn, 0);
  EXPECT_EQ(umd.ClickUmdOn(3), true);
  EXPECT_EQ(viewer().UmdOn[2], 1);
  EXPECT_EQ(umd.ClickAllUmd(), true);
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{ViewerCode::SetAllUmd, 0},
                                                   {ViewerCode::SetUmdOn, 3, 1},
                                                   {ViewerCode::SetAllUmd, 1}}));

  controller.Session().SetLockState(1);
  EXPECT_FALSE(umd.ClickAllUmd());
  EXPECT_FALSE(umd.ClickUmdOn(3));
  EXPECT_EQ(viewer().AllUmdOn, 1);
  EXPECT_EQ(viewer().UmdOn[2], 1);
  EXPECT_EQ(link.sent.size(), 3u);
}

TEST_F(UmdRules, AConfirmedLabelIsStoredAndSentEachTimeButNeverWhileTyping) {
  UmdPresenter umd(controller.Session());
  EXPECT_EQ(umd.ShownText(5), u"Umd_05");
  umd.EditLabel(5, u"Cam");
  umd.EditLabel(5, u"Cam 5 and more");
  EXPECT_TRUE(link.sent.empty()) << "typing sends nothing";
  EXPECT_EQ(viewer().UmdText[4], u"Umd_05") << "nor stores anything";
  EXPECT_EQ(umd.ShownText(5), u"Cam 5 and m");

  EXPECT_FALSE(umd.ConfirmLabel(5));
  EXPECT_EQ(viewer().UmdText[4], u"Cam 5 and m");
  EXPECT_FALSE(umd.ConfirmLabel(5));  // Enter, then leaving the field: twice
  const std::vector<int> label{ViewerCode::SetUmdText,
                               5,
                               1,
                               0,
                               1,
                               0,
                               1,
                               0,
                               1,
                               'C',
                               0,
                               'a',
                               0,
                               'm',
                               0,
                               ' ',
                               0,
                               '5',
                               0,
                               ' ',
                               0,
                               'a',
                               0,
                               'n',
                               0,
                               'd',
                               0,
                               ' ',
                               0,
                               'm',
                               0};
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{label, label}));

  // An emptied field sends a label with no text: 28 bytes in all.
  umd.EditLabel(9, u"");
  EXPECT_FALSE(umd.ConfirmLabel(9));
  EXPECT_EQ(link.sent.back().size(), 28u);
  EXPECT_EQ(viewer().UmdText[8], u"");

  EXPECT_FALSE(umd.ConfirmLabel(0));
  EXPECT_FALSE(umd.ConfirmLabel(17));
  EXPECT_EQ(link.sent.size(), 3u);
}

TEST_F(UmdRules, WhileLockedAConfirmedLabelGoesBackToTheStoredOne) {
  UmdPresenter umd(controller.Session());
  controller.Session().SetLockState(1);
  umd.EditLabel(2, u"Studio");
  const auto shown = umd.ConfirmLabel(2);
  ASSERT_TRUE(shown);
  EXPECT_EQ(*shown, u"Umd_02");
  EXPECT_EQ(umd.ShownText(2), u"Umd_02");
  EXPECT_EQ(viewer().UmdText[1], u"Umd_02");
  EXPECT_TRUE(link.sent.empty());
}

TEST_F(UmdRules, FieldsFollowTheMirrorOnRefreshAndAPageClickEndsOnlyARealEdit) {
  UmdPresenter umd(controller.Session());
  umd.EditLabel(1, u"typed");
  viewer().UmdText[0] = u"From device 17chr";
  umd.TakeLabelTexts();
  EXPECT_EQ(umd.ShownText(1), u"From device 17chr") << "shown whole, over the limit";

  EXPECT_FALSE(umd.ClickPage()) << "no field had the focus";
  umd.FocusLabel(7);
  EXPECT_EQ(umd.FocusedLabel(), 7);
  EXPECT_TRUE(umd.ClickPage());
  EXPECT_EQ(umd.FocusedLabel(), 0);
  EXPECT_FALSE(umd.ClickPage());
}

}  // namespace
}  // namespace quintara
