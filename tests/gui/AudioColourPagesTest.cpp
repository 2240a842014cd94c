// The Audio and Colour pages in the panel against the simulated multiviewer: what they send and
// what it does to the device, what the device's own changes show on the open page, and the
// snap-backs of a locked device.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>
#include <algorithm>
#include <array>
#include <chrono>
#include <functional>

#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/state/ViewerTables.h"
#include "gui/PanelFixture.h"
#include "support/Bytes.h"
#include "ui/controls/ShadeButton.h"
#include "ui/skin/Skin.h"
#include "ui/viewer/MultiviewerPanelControls.h"
#include "ui/viewer/pages/AudioPage.h"
#include "ui/viewer/pages/ColourPage.h"
#include "ui/viewer/pages/SystemPage.h"

namespace quintara::ui {
namespace {

using test::Bytes;

class AudioColourPagesTest : public test::PanelFixture {
 protected:
  void SetUp() override {
    lan.multiviewer->SetSwitcherMode(0);
    ASSERT_NE(OpenPanel(), nullptr);
  }
  AudioPage* OpenAudio() {
    ClickTab(MultiviewerPanelId::AudioTab);
    return Page<AudioPage>();
  }
  ColourPage* OpenColour() {
    ClickTab(MultiviewerPanelId::ColourTab);
    return Page<ColourPage>();
  }
  // The button shows the look of this skin id.
  static bool Shows(ShadeButton* button, int id) {
    return button->Bitmap().toImage() == Skin::Bitmap(id).toImage();
  }
  bool MeterMarked(bool on) const {
    AudioPage* audio = Page<AudioPage>();
    return Shows(audio->Button(AudioPageId::MeterOn),
                 on ? SkinId::MeterOnMarked : SkinId::MeterOnMark) &&
           Shows(audio->Button(AudioPageId::MeterOff),
                 on ? SkinId::MeterOffMark : SkinId::MeterOffMarked);
  }
  std::size_t FramesOf(std::initializer_list<std::uint8_t> codes) const {
    std::size_t count = 0;
    for (const std::uint8_t code : codes) {
      count += lan.multiviewer->ReceivedFrames(code).size();
    }
    return count;
  }
};

// Every pick goes out, also of the item the list shows already: the operator may mean to put
// the device right.
TEST_F(AudioColourPagesTest, APickOfTheItemShownIsSentAsWell) {
  struct Case {
    int tab;
    std::function<QComboBox*()> list;
    std::uint8_t code;
  };
  const std::vector<Case> cases{
      {MultiviewerPanelId::AudioTab,
       [this] { return Page<AudioPage>()->List(AudioPageId::Source); }, ViewerCode::SetAudioSource},
      {MultiviewerPanelId::AudioTab,
       [this] { return Page<AudioPage>()->List(AudioPageId::Channels); },
       ViewerCode::SetMeterChannels},
      {MultiviewerPanelId::ColourTab,
       [this] { return Page<ColourPage>()->List(ColourList::UmdText); },
       ViewerCode::SetUmdTextColour},
      {MultiviewerPanelId::ColourTab,
       [this] { return Page<ColourPage>()->List(ColourPageId::Border); }, ViewerCode::SetBorder},
      {MultiviewerPanelId::SystemTab, [this] { return Page<SystemPage>()->FormatList(); },
       ViewerCode::SetOutputFormat},
  };
  for (const Case& pick : cases) {
    ClickTab(pick.tab);
    QComboBox* list = pick.list();
    ASSERT_NE(list, nullptr);
    const std::size_t before = FramesOf({pick.code});
    test::Pick(list, list->currentIndex());
    EXPECT_TRUE(Await([&] { return FramesOf({pick.code}) == before + 1; })) << int{pick.code};
  }
}

TEST_F(AudioColourPagesTest, AudioPageSendsEachChangeAndTheDeviceFollows) {
  lan.multiviewer->FrontPanel(ViewerCode::SetMeterOn, std::array<std::uint8_t, 2>{7, 0});
  ASSERT_TRUE(Await([this] { return viewer().MeterOn[6] == 0; }));
  AudioPage* audio = OpenAudio();
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(audio->List(AudioPageId::Source)->currentText(), "WIN 1") << "the device's source";
  EXPECT_EQ(audio->List(AudioPageId::Source)->count(), 17);
  EXPECT_EQ(audio->List(AudioPageId::Channels)->itemText(7), "CH 15 & 16");
  EXPECT_TRUE(Shows(audio->Button(AudioPageId::AllMeters), SkinId::AllMetersOn));

  test::Pick(audio->List(AudioPageId::Source), 0);  // OFF
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetAudioSource, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetAudioSource)[0],
            Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 39 00 02 02 AE"));

  // Choosing WIN 7 only shows it; ON then goes to window 7.
  test::Pick(audio->List(AudioPageId::Window), 6);
  EXPECT_TRUE(MeterMarked(false));
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(ViewerCode::SetMeterOn).empty());
  QTest::mouseClick(audio->Button(AudioPageId::MeterOn), Qt::LeftButton);
  EXPECT_TRUE(MeterMarked(true));
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetMeterOn, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetMeterOn)[0],
            Bytes("A5 6C 16 00 A1 01 01 00 00 00 00 00 00 00 00 00 37 07 01 09 02 AE"));
  test::Pick(audio->List(AudioPageId::Channels), 2);  // CH 05 & 06
  QTest::mouseClick(audio->Button(AudioPageId::AllMeters), Qt::LeftButton);
  EXPECT_TRUE(Shows(audio->Button(AudioPageId::AllMeters), SkinId::AllMetersOff));
  EXPECT_TRUE(Await([this] {
    const sim::MultiviewerState state = lan.multiviewer->State();
    return state.AudioSource == 0 && state.MeterOn[6] == 1 && state.MeterChannels[6] == 2 &&
           state.AllMetersOn == 0;
  }));

  // The chosen window outlives the page.
  ASSERT_NE(OpenColour(), nullptr);
  audio = OpenAudio();
  EXPECT_EQ(audio->List(AudioPageId::Window)->currentText(), "WIN 7");
  EXPECT_EQ(audio->List(AudioPageId::Channels)->currentIndex(), 2);
  EXPECT_TRUE(MeterMarked(true));
}

TEST_F(AudioColourPagesTest, TheDevicesAudioChangesShowOnTheOpenPage) {
  AudioPage* audio = OpenAudio();
  ASSERT_NE(audio, nullptr);
  // Window 1's meter: on, channels 7 & 8.
  lan.multiviewer->FrontPanel(ViewerCode::SetMeterOn, std::array<std::uint8_t, 2>{1, 1});
  lan.multiviewer->FrontPanel(ViewerCode::SetMeterChannels, std::array<std::uint8_t, 2>{1, 3});
  lan.multiviewer->FrontPanel(ViewerCode::SetMeterChannels, std::array<std::uint8_t, 2>{5, 4});
  EXPECT_TRUE(Await([audio] {
    return audio->List(AudioPageId::Window)->currentIndex() == 4 &&
           audio->List(AudioPageId::Channels)->currentIndex() == 4;
  }));
  lan.multiviewer->FrontPanel(ViewerCode::SetMeterOn, std::array<std::uint8_t, 2>{3, 1});
  EXPECT_TRUE(Await([this, audio] {
    return audio->List(AudioPageId::Window)->currentIndex() == 2 && MeterMarked(true);
  }));
  lan.multiviewer->SetAllMeters(false);
  EXPECT_TRUE(Await(
      [audio] { return Shows(audio->Button(AudioPageId::AllMeters), SkinId::AllMetersOff); }));
  lan.multiviewer->FrontPanel(ViewerCode::SetAudioSource, std::array<std::uint8_t, 1>{12});
  EXPECT_TRUE(
      Await([audio] { return audio->List(AudioPageId::Source)->currentText() == "WIN 12"; }));

  // After a device-wide change the page shows window 1 again with window 1's own meter, not the
  // global switch's state.
  lan.multiviewer->SetSwitcherMode(0);
  EXPECT_TRUE(Await([this, audio] {
    return audio->List(AudioPageId::Window)->currentIndex() == 0 && MeterMarked(true);
  }));
  EXPECT_EQ(audio->List(AudioPageId::Channels)->currentIndex(), 3);
  EXPECT_EQ(viewer().AllMetersOn, 0);
}

TEST_F(AudioColourPagesTest, ALockedAudioPageSnapsBackAndSendsNothing) {
  AudioPage* audio = OpenAudio();
  ASSERT_NE(audio, nullptr);
  window->GetController().Session().SetLockState(1);
  test::Pick(audio->List(AudioPageId::Source), 5);
  EXPECT_EQ(audio->List(AudioPageId::Source)->currentText(), "WIN 1");
  test::Pick(audio->List(AudioPageId::Window), 3);
  EXPECT_EQ(panel().AudioWindowItem, 3) << "the window list still works";
  test::Pick(audio->List(AudioPageId::Channels), 6);
  EXPECT_EQ(audio->List(AudioPageId::Channels)->currentIndex(), viewer().MeterChannels[3]);
  const bool meterOn = viewer().MeterOn[3] != 0;
  QTest::mouseClick(audio->Button(meterOn ? AudioPageId::MeterOff : AudioPageId::MeterOn),
                    Qt::LeftButton);
  EXPECT_TRUE(MeterMarked(meterOn));
  QTest::mouseClick(audio->Button(AudioPageId::AllMeters), Qt::LeftButton);
  EXPECT_TRUE(Shows(audio->Button(AudioPageId::AllMeters), SkinId::AllMetersOn));
  ASSERT_TRUE(AwaitEverythingSent(*lan.multiviewer));
  EXPECT_EQ(FramesOf({ViewerCode::SetAudioSource, ViewerCode::SetMeterOn,
                      ViewerCode::SetMeterChannels, ViewerCode::SetAllMeters}),
            0u);
}

TEST_F(AudioColourPagesTest, ColourPageListsItsInputsWindowsAndPaletteNames) {
  ColourPage* colour = OpenColour();
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(colour->List(ColourPageId::Source)->itemText(0), "All Windows");
  EXPECT_EQ(colour->List(ColourPageId::Source)->itemText(16), "SDI 16");
  EXPECT_EQ(colour->List(ColourPageId::Window)->itemText(5), "Window_05");
  for (const ColourList list : kAllColourLists) {
    ASSERT_EQ(colour->List(list)->count(), 16);
    for (int k = 0; k < 16; ++k) {
      EXPECT_EQ(colour->List(list)->itemText(k).toStdString(),
                kPalette[static_cast<std::size_t>(k)].name);
    }
  }
  EXPECT_EQ(colour->List(ColourPageId::Border)->currentText(), "ON") << "the device's borders";
}

TEST_F(AudioColourPagesTest, ColourPageSendsForTheChosenInputOrWindowAndTheDeviceFollows) {
  ColourPage* colour = OpenColour();
  ASSERT_NE(colour, nullptr);
  test::Pick(colour->List(ColourList::UmdText), 2);  // Red for all inputs
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetUmdTextColour, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetUmdTextColour)[0],
            Bytes("A5 6C 16 00 A1 01 01 00 00 00 00 00 00 00 00 00 3B 00 02 07 02 AE"));

  viewer().TimecodeTextColour[4] = 9;
  test::Pick(colour->List(ColourPageId::Window), 5);  // Window_05
  EXPECT_EQ(colour->List(ColourList::TimecodeText)->currentIndex(), 9);
  test::Pick(colour->List(ColourList::TimecodeBack), 14);  // Trans
  test::Pick(colour->List(ColourPageId::Border), 0);
  EXPECT_TRUE(Await([this] {
    const sim::MultiviewerState state = lan.multiviewer->State();
    return std::ranges::all_of(state.UmdTextColour, [](std::uint8_t c) { return c == 2; }) &&
           state.TimecodeBackColour[4] == 14 && state.BorderOn == 0;
  }));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetTimecodeBackColour).at(0).at(17), 5);
}

TEST_F(AudioColourPagesTest, TheDevicesColourChangesShowOnTheOpenPage) {
  ColourPage* colour = OpenColour();
  ASSERT_NE(colour, nullptr);
  lan.multiviewer->SetColour(ViewerCode::SetFormatTextColour, 7, 3);
  EXPECT_TRUE(Await([colour] {
    return colour->List(ColourPageId::Window)->currentIndex() == 7 &&
           colour->List(ColourList::FormatText)->currentIndex() == 3;
  }));
  EXPECT_EQ(colour->List(ColourList::FormatBack)->currentIndex(), viewer().FormatBackColour[6]);
  lan.multiviewer->SetColour(ViewerCode::SetUmdBackColour, 4, 11);
  EXPECT_TRUE(Await([colour] {
    return colour->List(ColourPageId::Source)->currentIndex() == 4 &&
           colour->List(ColourList::UmdBack)->currentIndex() == 11;
  }));
  lan.multiviewer->FrontPanel(ViewerCode::SetBorder, std::array<std::uint8_t, 1>{0});
  EXPECT_TRUE(Await([colour] { return colour->List(ColourPageId::Border)->currentIndex() == 0; }));

  // A device-wide change resets the chosen input and window; the lists show that, and the
  // colours beside them are the first input's and window's.
  lan.multiviewer->SetSwitcherMode(0);
  EXPECT_TRUE(Await([colour] {
    return colour->List(ColourPageId::Source)->currentIndex() == 0 &&
           colour->List(ColourPageId::Window)->currentIndex() == 0;
  }));
  EXPECT_EQ(colour->List(ColourList::UmdBack)->currentIndex(), viewer().UmdBackColour[0]);
  EXPECT_EQ(colour->List(ColourList::FormatText)->currentIndex(), viewer().FormatTextColour[0]);
}

TEST_F(AudioColourPagesTest, ALockedColourPageSnapsBackAndSendsNothing) {
  ColourPage* colour = OpenColour();
  ASSERT_NE(colour, nullptr);
  const int border = colour->List(ColourPageId::Border)->currentIndex();
  const int text = colour->List(ColourList::FormatText)->currentIndex();
  window->GetController().Session().SetLockState(1);
  test::Pick(colour->List(ColourPageId::Border), 1 - border);
  test::Pick(colour->List(ColourList::FormatText), (text + 1) % 16);
  test::Pick(colour->List(ColourPageId::Window), 9);
  EXPECT_EQ(colour->List(ColourPageId::Border)->currentIndex(), border);
  EXPECT_EQ(colour->List(ColourList::FormatText)->currentIndex(), text);
  EXPECT_EQ(colour->List(ColourPageId::Window)->currentIndex(), 0);
  ASSERT_TRUE(AwaitEverythingSent(*lan.multiviewer));
  EXPECT_EQ(FramesOf({ViewerCode::SetBorder, ViewerCode::SetFormatTextColour}), 0u);
}

}  // namespace
}  // namespace quintara::ui
