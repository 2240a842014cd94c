// The System page against the simulated multiviewer: the format list and the switches change the
// device, the device's reports show on the page, the lock holds everything back, and a recall
// keeps the window painting and then shows what the device recalled.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <array>
#include <chrono>

#include "core/viewer/protocol/ViewerCommands.h"
#include "gui/PanelFixture.h"
#include "support/Bytes.h"
#include "ui/controls/ShadeButton.h"
#include "ui/skin/Skin.h"
#include "ui/viewer/PreviewPainter.h"
#include "ui/viewer/pages/SystemPage.h"

namespace quintara::ui {
namespace {

using test::Bytes;

class SystemPageTest : public test::PanelFixture {
 protected:
  // Opens the panel on the Mode page and goes to the Controls tab.
  SystemPage* OpenSystemPage() {
    lan.multiviewer->SetSwitcherMode(0);
    if (OpenPanel() == nullptr) {
      return nullptr;
    }
    ClickTab(MultiviewerPanelId::SystemTab);
    return Page<SystemPage>();
  }
  SystemPage* System() const { return Page<SystemPage>(); }
  QComboBox* Formats() const { return System()->FormatList(); }
  void Click(int id) { QTest::mouseClick(System()->Controls().Find(id), Qt::LeftButton); }
  // A recall button, and the wait for the device to settle and be read.
  void Recall(int id) {
    Click(id);
    ASSERT_TRUE(AwaitIdle());
  }
  // The switch's button shows this skin bitmap.
  bool Shows(int id, int bitmap) const {
    return System()->Controls().Get<ShadeButton>(id)->Bitmap().toImage() ==
           Skin::Bitmap(bitmap).toImage();
  }
  std::size_t Received(std::uint8_t code) const {
    return lan.multiviewer->ReceivedFrames(code).size();
  }
  // Waits until the re-reads that the page switch set off are over: a round of settling that
  // saw no read-back.
  void Settle() {
    std::size_t reads = 0;
    do {
      reads = Received(ViewerCode::ReadState);
      ASSERT_TRUE(AwaitMultiviewerSettled());
    } while (Received(ViewerCode::ReadState) != reads);
  }
  bool PreviewShowsTheMirror() {
    return Panel()->Preview().grab().toImage().convertToFormat(QImage::Format_RGB32) ==
           RenderPreview(viewer(), window->Scale());
  }
};

TEST_F(SystemPageTest, TheListAndTheSwitchesChangeTheDevice) {
  ASSERT_NE(OpenSystemPage(), nullptr);
  EXPECT_TRUE(prompter.confirmations.empty());
  ASSERT_EQ(Formats()->count(), 9);
  EXPECT_EQ(Formats()->currentText(), "1080p60") << "the device's format";
  EXPECT_TRUE(Shows(SystemPageId::FormatStatus, SkinId::FormatStatusOn));
  EXPECT_TRUE(Shows(SystemPageId::AudioAlarm, SkinId::AudioAlarmOff));
  EXPECT_TRUE(Shows(SystemPageId::Timecode, SkinId::TimecodeOff));

  test::Pick(Formats(), 7);  // 720p60
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetOutputFormat, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetOutputFormat)[0],
            Bytes("A5 6C 16 00 A1 01 01 00 00 00 00 00 00 00 00 00 19 00 0E F1 01 AE"));
  EXPECT_EQ(viewer().OutputFormat, 14);
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().OutputFormat == 14; }));

  Click(SystemPageId::FormatStatus);
  EXPECT_TRUE(Shows(SystemPageId::FormatStatus, SkinId::FormatStatusOff));
  Click(SystemPageId::AudioAlarm);
  EXPECT_TRUE(Shows(SystemPageId::AudioAlarm, SkinId::AudioAlarmOn));
  Click(SystemPageId::Timecode);
  EXPECT_TRUE(Shows(SystemPageId::Timecode, SkinId::TimecodeOn));
  EXPECT_TRUE(Await([this] {
    const sim::MultiviewerState s = lan.multiviewer->State();
    return s.FormatStatusOn == 0 && s.AudioAlarmOn == 1 && s.TimecodeOn == 1;
  }));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetFormatStatus)[0].at(17), 0);

  QTest::keyClick(System(), Qt::Key_Escape);
  QTest::keyClick(Formats(), Qt::Key_Return);
  EXPECT_NE(System(), nullptr);
  EXPECT_TRUE(System()->isVisible()) << "neither key closes the page";
}

TEST_F(SystemPageTest, TheDevicesReportsShowOnThePage) {
  ASSERT_NE(OpenSystemPage(), nullptr);
  lan.multiviewer->SetOutputFormat(13);
  EXPECT_TRUE(Await([this] { return Formats()->currentText() == "1080p25"; }));
  lan.multiviewer->SetOutputFormat(2);  // a code no item has
  ASSERT_TRUE(Await([this] { return viewer().OutputFormat == 2; }));
  EXPECT_EQ(Formats()->currentText(), "1080p25") << "the list stays as it was";

  lan.multiviewer->FrontPanel(ViewerCode::SetAudioAlarm, std::array<std::uint8_t, 1>{1});
  lan.multiviewer->FrontPanel(ViewerCode::SetTimecode, std::array<std::uint8_t, 1>{1});
  lan.multiviewer->FrontPanel(ViewerCode::SetFormatStatus, std::array<std::uint8_t, 1>{0});
  EXPECT_TRUE(Await([this] {
    return Shows(SystemPageId::AudioAlarm, SkinId::AudioAlarmOn) &&
           Shows(SystemPageId::Timecode, SkinId::TimecodeOn) &&
           Shows(SystemPageId::FormatStatus, SkinId::FormatStatusOff);
  }));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetAudioAlarm).size(), 0u)
      << "a shown report sends nothing";
}

TEST_F(SystemPageTest, LockedNothingIsSentButTheLoadsStillWaitAndReadBack) {
  ASSERT_NE(OpenSystemPage(), nullptr);
  Settle();
  window->GetController().Session().SetLockState(1);
  test::Pick(Formats(), 3);
  EXPECT_EQ(Formats()->currentText(), "1080p60") << "snapped back to the stored format";
  Click(SystemPageId::FormatStatus);
  Click(SystemPageId::AudioAlarm);
  EXPECT_TRUE(Shows(SystemPageId::FormatStatus, SkinId::FormatStatusOn));
  EXPECT_TRUE(Shows(SystemPageId::AudioAlarm, SkinId::AudioAlarmOff));

  const std::size_t reads = Received(ViewerCode::ReadState);
  Click(SystemPageId::LoadDefault);
  Click(SystemPageId::SaveCustom1);
  EXPECT_EQ(Received(ViewerCode::ReadState), reads) << "Load Default does nothing";
  Click(SystemPageId::LoadCustom1);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::ReadState, reads + 1, test::kPatience));
  for (const std::uint8_t code :
       {ViewerCode::SetOutputFormat, ViewerCode::SetFormatStatus, ViewerCode::SetAudioAlarm,
        ViewerCode::LoadDefaults, ViewerCode::SaveCustom, ViewerCode::LoadCustom}) {
    EXPECT_EQ(Received(code), 0u) << int{code};
  }
}

TEST_F(SystemPageTest, AnUnansweredRecallSaysSoAndKeepsWhatThePanelKnew) {
  ASSERT_NE(OpenSystemPage(), nullptr);
  Settle();
  // A change the device took after its state was read: the image read then does not hold it.
  const bool timecode = viewer().TimecodeOn == 0;
  Click(SystemPageId::Timecode);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetTimecode, 1, test::kPatience));
  ASSERT_TRUE(Await([&] { return (viewer().TimecodeOn != 0) == timecode; }));
  lan.server.Stop();
  Recall(SystemPageId::LoadCustom1);
  EXPECT_EQ(StatusLine(), "No answer from KVT2208Z_127.0.0.31");
  EXPECT_EQ(viewer().TimecodeOn != 0, timecode) << "the panel keeps what it last knew";
  EXPECT_TRUE(Shows(SystemPageId::Timecode, timecode ? SkinId::TimecodeOn : SkinId::TimecodeOff));
}

TEST_F(SystemPageTest, LoadCustomTwoPaintsWhileItWaitsThenShowsTheRecalledSettings) {
  ASSERT_NE(OpenSystemPage(), nullptr);
  // Memory 2 gets nine windows with coloured labels; then the device moves on.
  lan.multiviewer->SetLayout(90);
  lan.multiviewer->SetColour(ViewerCode::SetUmdBackColour, 0, 3);
  lan.multiviewer->SetColour(ViewerCode::SetFormatBackColour, 0, 5);
  Click(SystemPageId::SaveCustom2);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SaveCustom, 1, test::kPatience));
  lan.multiviewer->SetLayout(40);
  lan.multiviewer->SetColour(ViewerCode::SetUmdBackColour, 0, 1);
  ASSERT_TRUE(
      Await([this] { return viewer().LayoutCode == 40 && viewer().UmdBackColour[0] == 1; }));

  int ticks = 0;
  int busyTicks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ++ticks;
    busyTicks += window->Runner().Running() ? 1 : 0;
  });
  ticker.start(20);
  const int dropped = window->Runner().DroppedInput();
  QTimer::singleShot(100, [this] { Click(SystemPageId::LoadDefault); });
  Recall(SystemPageId::LoadCustom2);
  ticker.stop();

  EXPECT_GE(busyTicks, 5) << "the window's thread went on while the recall waited";
  EXPECT_GT(window->Runner().DroppedInput(), dropped);
  EXPECT_EQ(Received(ViewerCode::LoadDefaults), 0u) << "the click meanwhile was dropped";
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::LoadCustom).at(0),
            Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 59 02 24 02 AE"));
  EXPECT_EQ(viewer().LayoutCode, 90);
  EXPECT_EQ(viewer().UmdBackColour[0], 3);
  EXPECT_EQ(viewer().FormatBackColour[8], 5);
  EXPECT_EQ(viewer().WindowRects[8].width, 240) << "nine windows laid out";
  EXPECT_TRUE(Await([this] { return PreviewShowsTheMirror(); }));
}

TEST_F(SystemPageTest, LoadDefaultShowsTheDefaultsAndPutsTheOtherPagesBackOnTheirFirstItems) {
  ASSERT_NE(OpenSystemPage(), nullptr);
  lan.multiviewer->FrontPanel(ViewerCode::SetAudioAlarm, std::array<std::uint8_t, 1>{1});
  lan.multiviewer->FrontPanel(ViewerCode::SetFormatStatus, std::array<std::uint8_t, 1>{0});
  lan.multiviewer->SetLayout(160);
  ASSERT_TRUE(Await([this] { return viewer().LayoutCode == 160 && viewer().AudioAlarmOn == 1; }));
  panel().AudioWindowItem = 5;
  panel().ColourWindowItem = 6;
  panel().ColourSourceItem = 7;

  Recall(SystemPageId::LoadDefault);
  EXPECT_EQ(Received(ViewerCode::LoadDefaults), 1u);
  EXPECT_EQ(viewer().LayoutCode, 40);
  EXPECT_TRUE(Shows(SystemPageId::AudioAlarm, SkinId::AudioAlarmOff));
  EXPECT_TRUE(Shows(SystemPageId::FormatStatus, SkinId::FormatStatusOn));
  EXPECT_EQ(panel().AudioWindowItem, 0);
  EXPECT_EQ(panel().ColourWindowItem, 0);
  EXPECT_EQ(panel().ColourSourceItem, 0);
  EXPECT_TRUE(Await([this] { return PreviewShowsTheMirror(); }));
}

}  // namespace
}  // namespace quintara::ui
