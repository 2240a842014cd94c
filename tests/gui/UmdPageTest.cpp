// The UMD page in the main window against the simulated multiviewer: labels confirmed by Enter,
// by leaving the field and by a click on the page; the fields' limit; the switches; what the
// device's own changes show; and the lock.
#include <gtest/gtest.h>

#include <QTest>
#include <array>
#include <chrono>

#include "core/viewer/protocol/ViewerCommands.h"
#include "gui/PanelFixture.h"
#include "support/Bytes.h"
#include "ui/skin/Skin.h"
#include "ui/viewer/pages/UmdPage.h"

namespace quintara::ui {
namespace {

using test::Bytes;

class UmdPageTest : public test::PanelFixture {
 protected:
  UmdPage* OpenUmdPage() {
    lan.multiviewer->SetSwitcherMode(0);
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), test::kPatienceMs));
    EXPECT_NE(OpenPanel(), nullptr);
    ClickTab(MultiviewerPanelId::UmdTab);
    AwaitReRead();  // the mode sent with the tab comes back as a device-wide change
    return Page<UmdPage>();
  }
  // Waits until the device was read once more than so far and the window is idle again.
  void AwaitReRead() {
    const std::size_t reads = lan.multiviewer->ReceivedFrames(ViewerCode::ReadState).size();
    EXPECT_TRUE(Await([&] {
      return lan.multiviewer->ReceivedFrames(ViewerCode::ReadState).size() > reads &&
             !window->Busy();
    }));
    // The page's refresh is handed over after the exchange and a pause.
    EXPECT_TRUE(AwaitMultiviewerSettled());
  }
  UmdPage* Umd() const { return Page<UmdPage>(); }
  // Replaces a field's text as an operator would: focus, select all, type.
  void Type(int input, const char* text) {
    LimitedEdit* field = Umd()->LabelField(input);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
  }
  void ClickBackground() { QTest::mouseClick(Umd(), Qt::LeftButton, {}, QPoint(470, 20)); }
  static bool Shows(ShadeButton* button, int id) {
    return button->Bitmap().toImage() == Skin::Bitmap(id).toImage();
  }
  // What reached the device of all the window sent so far.
  std::size_t ArrivedAfterAWhile(std::uint8_t code) {
    EXPECT_TRUE(AwaitEverythingSent(*lan.multiviewer));
    return lan.multiviewer->ReceivedFrames(code).size();
  }
};

TEST_F(UmdPageTest, OpensWithTheDevicesLabelsAndSwitches) {
  lan.multiviewer->SetUmdOn(4, false);
  ASSERT_NE(OpenUmdPage(), nullptr);
  EXPECT_EQ(panel().CurrentPage, ViewerPage::Umd);
  EXPECT_EQ(Umd()->LabelField(16)->text(), "Umd_16");
  EXPECT_TRUE(Shows(Umd()->AllUmdSwitch(), SkinId::AllUmdSwitchOn));
  EXPECT_TRUE(Shows(Umd()->UmdSwitch(3), SkinId::UmdSwitchOn(3)));
  EXPECT_TRUE(Shows(Umd()->UmdSwitch(4), SkinId::UmdSwitch(4)));
  const QPalette palette = Umd()->LabelField(1)->palette();
  EXPECT_EQ(palette.color(QPalette::Active, QPalette::Text), QColor(Qt::white));
  EXPECT_EQ(palette.color(QPalette::Active, QPalette::Base), QColor(58, 58, 58));
}

TEST_F(UmdPageTest, ALabelGoesOutOnEnterByteExactAndAgainOnlyWhenTheEditEndsAgain) {
  ASSERT_NE(OpenUmdPage(), nullptr);
  Type(5, "Cam 5");
  EXPECT_EQ(ArrivedAfterAWhile(ViewerCode::SetUmdText), 0u) << "typing sends nothing";
  EXPECT_EQ(viewer().UmdText[4], u"Umd_05");

  QTest::keyClick(Umd()->LabelField(5), Qt::Key_Return);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetUmdText, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetUmdText)[0],
            Bytes("A5 6C 26 00 A1 01 01 00 00 00 00 00 00 00 00 00 1E 05 01 00 01 00 01 00 01 "
                  "43 00 61 00 6D 00 20 00 35 00 67 03 AE"));
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().UmdText[4] == u"Cam 5"; }));
  EXPECT_TRUE(Umd()->LabelField(5)->hasFocus()) << "Enter leaves the focus in the field";
  QTest::keyClick(Umd()->LabelField(5), Qt::Key_Escape);
  EXPECT_TRUE(Umd()->isVisible());

  ClickBackground();  // ends the edit: the same label once more
  ClickBackground();  // no edit to end
  EXPECT_FALSE(Umd()->LabelField(5)->hasFocus());
  EXPECT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetUmdText, 2, test::kPatience));
  EXPECT_EQ(ArrivedAfterAWhile(ViewerCode::SetUmdText), 2u);

  // Moving to another field confirms the one left.
  Type(6, "");
  QTest::keyClick(Umd()->LabelField(6), Qt::Key_Backspace);
  Umd()->LabelField(7)->setFocus();
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetUmdText, 3, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetUmdText)[2].size(), 28u);
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().UmdText[5].empty(); }));
}

TEST_F(UmdPageTest, AFieldTakesElevenCharactersAndShowsALongerDeviceLabelWhole) {
  ASSERT_NE(OpenUmdPage(), nullptr);
  Type(3, "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(Umd()->LabelField(3)->text(), "ABCDEFGHIJK");
  Type(3, "ABCDEFG\\HIJ");  // the backslash is refused
  QTest::sendKeyEvent(QTest::Click, Umd()->LabelField(3), Qt::Key_unknown,
                      QString::fromUtf8("\xC3\xA9"), {});  // so is a letter above code 128
  QTest::keyClicks(Umd()->LabelField(3), "KL");
  EXPECT_EQ(Umd()->LabelField(3)->text(), "ABCDEFGHIJK");
  QTest::keyClick(Umd()->LabelField(3), Qt::Key_Return);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetUmdText, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetUmdText)[0],
            Bytes("A5 6C 32 00 A1 01 01 00 00 00 00 00 00 00 00 00 1E 03 01 00 01 00 01 00 01 "
                  "41 00 42 00 43 00 44 00 45 00 46 00 47 00 48 00 49 00 4A 00 4B 00 0D 05 AE"));

  // A label set on the device itself, longer than a field takes, arrives with a re-read.
  std::vector<std::uint8_t> label{8, 1, 0, 1, 0, 1, 0, 1};
  for (const char c : std::string("Seventeen_letters")) {
    label.insert(label.end(), {static_cast<std::uint8_t>(c), 0});
  }
  ASSERT_TRUE(lan.multiviewer->FrontPanel(ViewerCode::SetUmdText, label));
  Type(9, "half typ");  // leaving field 3 sends its label once more
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetUmdText, 2, test::kPatience));
  lan.multiviewer->SetSwitcherMode(0);  // reported as a device-wide change
  AwaitReRead();
  EXPECT_EQ(Umd()->LabelField(8)->text(), "Seventeen_letters");
  EXPECT_EQ(Umd()->LabelField(9)->text(), "Umd_09") << "the re-read overwrites an edit";
  EXPECT_EQ(ArrivedAfterAWhile(ViewerCode::SetUmdText), 2u)
      << "the window turning busy is no confirmation of a half-typed label";
  Umd()->LabelField(8)->setFocus();
  QTest::keyClick(Umd()->LabelField(8), Qt::Key_End);
  QTest::keyClicks(Umd()->LabelField(8), "X");
  EXPECT_EQ(Umd()->LabelField(8)->text(), "Seventeen_letters") << "cannot grow past the limit";
  QTest::keyClick(Umd()->LabelField(8), Qt::Key_Backspace);
  EXPECT_EQ(Umd()->LabelField(8)->text(), "Seventeen_letter");
}

TEST_F(UmdPageTest, SwitchesChangeTheDeviceAndFollowItsFrontPanelAndItsReRead) {
  ASSERT_NE(OpenUmdPage(), nullptr);
  QTest::mouseClick(Umd()->UmdSwitch(3), Qt::LeftButton);
  EXPECT_TRUE(Shows(Umd()->UmdSwitch(3), SkinId::UmdSwitch(3)));
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().UmdOn[2] == 0; }));
  QTest::mouseClick(Umd()->AllUmdSwitch(), Qt::LeftButton);
  EXPECT_TRUE(Shows(Umd()->AllUmdSwitch(), SkinId::AllUmdSwitch));
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().AllUmdOn == 0; }));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetUmdOn)[0],
            Bytes("A5 6C 16 00 A1 01 01 00 00 00 00 00 00 00 00 00 36 03 00 03 02 AE"));

  lan.multiviewer->SetUmdOn(3, true);
  EXPECT_TRUE(Await([this] { return Shows(Umd()->UmdSwitch(3), SkinId::UmdSwitchOn(3)); }));
  lan.multiviewer->SetUmdOn(12, false);
  EXPECT_TRUE(Await([this] { return Shows(Umd()->UmdSwitch(12), SkinId::UmdSwitch(12)); }));
  lan.multiviewer->SetAllUmd(true);
  EXPECT_TRUE(Await([this] { return Shows(Umd()->AllUmdSwitch(), SkinId::AllUmdSwitchOn); }));

  // Defaults loaded on the device: the switches as well as the labels show the state read.
  lan.multiviewer->SetAllUmd(false);
  EXPECT_TRUE(Await([this] { return Shows(Umd()->AllUmdSwitch(), SkinId::AllUmdSwitch); }));
  ASSERT_TRUE(lan.multiviewer->FrontPanel(ViewerCode::LoadDefaults, std::array<std::uint8_t, 1>{}));
  EXPECT_TRUE(Await([this] {
    return Shows(Umd()->AllUmdSwitch(), SkinId::AllUmdSwitchOn) &&
           Shows(Umd()->UmdSwitch(12), SkinId::UmdSwitchOn(12));
  }));
}

TEST_F(UmdPageTest, WhileLockedNothingIsSentTheSwitchesStayAndTheLabelGoesBack) {
  ASSERT_NE(OpenUmdPage(), nullptr);
  window->GetController().Session().SetLockState(1);
  QTest::mouseClick(Umd()->UmdSwitch(3), Qt::LeftButton);
  QTest::mouseClick(Umd()->AllUmdSwitch(), Qt::LeftButton);
  EXPECT_TRUE(Shows(Umd()->UmdSwitch(3), SkinId::UmdSwitchOn(3)));
  EXPECT_TRUE(Shows(Umd()->AllUmdSwitch(), SkinId::AllUmdSwitchOn));
  EXPECT_EQ(viewer().UmdOn[2], 1);

  Type(2, "Studio");
  QTest::keyClick(Umd()->LabelField(2), Qt::Key_Return);
  EXPECT_EQ(Umd()->LabelField(2)->text(), "Umd_02") << "the device still has its own label";
  Type(2, "Studio");
  ClickBackground();
  EXPECT_EQ(Umd()->LabelField(2)->text(), "Umd_02");
  EXPECT_EQ(viewer().UmdText[1], u"Umd_02");

  EXPECT_EQ(ArrivedAfterAWhile(ViewerCode::SetUmdText), 0u);
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(ViewerCode::SetUmdOn).empty());
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(ViewerCode::SetAllUmd).empty());
}

}  // namespace
}  // namespace quintara::ui
