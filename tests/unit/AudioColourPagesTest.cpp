// The Audio and Colour pages' rules, without widgets: what each choice sends, what the page
// shows afterwards, and the snap-backs of a locked device.
#include <gtest/gtest.h>

#include "core/Controller.h"
#include "core/viewer/panel/AudioPresenter.h"
#include "core/viewer/panel/ColourPresenter.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLinkFixture.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using SentFrames = std::vector<std::vector<int>>;

using AudioColourPages = test::FakeLinkFixture;

TEST_F(AudioColourPages, AudioShowsTheChosenWindowsMeterAndSendsItsNumber) {
  viewer().AudioSource = 4;
  panel().AudioWindowItem = 6;
  viewer().MeterOn[6] = 1;
  viewer().MeterChannels[6] = 5;
  viewer().MeterChannels[2] = 1;
  AudioPresenter audio(controller.Session(), panel());
  const AudioView shown = audio.Shown();
  EXPECT_EQ(shown.source, 4);
  EXPECT_EQ(shown.window, 6);
  EXPECT_TRUE(shown.meterOn);
  EXPECT_EQ(shown.channels, 5);

  // The window list only changes what is shown.
  const AudioView third = audio.ChooseWindow(2);
  EXPECT_EQ(panel().AudioWindowItem, 2);
  EXPECT_FALSE(third.meterOn);
  EXPECT_EQ(third.channels, 1);
  EXPECT_TRUE(link.sent.empty());

  EXPECT_EQ(audio.ChooseChannels(2), 2);  // CH 05 & 06 for window 3
  EXPECT_TRUE(audio.ClickMeter(true));
  EXPECT_EQ(audio.ChooseSource(0), 0);  // OFF
  EXPECT_EQ(Sent(), (SentFrames{{ViewerCode::SetMeterChannels, 3, 2},
                                {ViewerCode::SetMeterOn, 3, 1},
                                {ViewerCode::SetAudioSource, 0}}));
  EXPECT_EQ(viewer().MeterChannels[2], 2);
  EXPECT_EQ(viewer().MeterOn[2], 1);
  EXPECT_EQ(viewer().AudioSource, 0);
}

TEST_F(AudioColourPages, AllMetersFlipsTheStoredSwitch) {
  viewer().AllMetersOn = 1;
  AudioPresenter audio(controller.Session(), panel());
  EXPECT_FALSE(audio.ClickAllMeters());
  EXPECT_TRUE(audio.ClickAllMeters());
  EXPECT_EQ(Sent(), (SentFrames{{ViewerCode::SetAllMeters, 0}, {ViewerCode::SetAllMeters, 1}}));
  EXPECT_EQ(viewer().AllMetersOn, 1);
}

TEST_F(AudioColourPages, LockedAudioSnapsBackAndSendsNothingButTheWindowListStillWorks) {
  viewer().AudioSource = 9;
  viewer().MeterChannels[0] = 3;
  viewer().MeterOn[0] = 0;
  viewer().AllMetersOn = 1;
  viewer().MeterChannels[4] = 7;
  controller.Session().SetLockState(1);
  AudioPresenter audio(controller.Session(), panel());
  EXPECT_EQ(audio.ChooseSource(2), 9);
  EXPECT_EQ(audio.ChooseChannels(6), 3);
  EXPECT_FALSE(audio.ClickMeter(true)) << "the pair stays as it was";
  EXPECT_TRUE(audio.ClickAllMeters());
  EXPECT_EQ(audio.ChooseWindow(4).channels, 7);
  EXPECT_EQ(panel().AudioWindowItem, 4);
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(viewer().AudioSource, 9);
}

TEST_F(AudioColourPages, AudioValuesNoItemStandsForShowNoSelectionAndSendNothing) {
  viewer().AudioSource = 40;  // as a report may bring it
  viewer().MeterChannels[0] = 12;
  panel().AudioWindowItem = 200;
  AudioPresenter audio(controller.Session(), panel());
  const AudioView shown = audio.Shown();
  EXPECT_EQ(shown.source, -1);
  EXPECT_EQ(shown.window, 0);
  EXPECT_EQ(shown.channels, -1);
  EXPECT_EQ(audio.ChooseSource(-1), -1) << "a list cleared is no choice";
  EXPECT_EQ(audio.ChooseChannels(8), -1);
  EXPECT_EQ(audio.ChooseWindow(16).window, 0);
  EXPECT_TRUE(link.sent.empty());
}

TEST_F(AudioColourPages, ColourForAllInputsShowsInputOnesAndSetsEveryInput) {
  viewer().UmdTextColour[0] = 7;
  viewer().UmdTextColour[4] = 3;
  viewer().UmdBackColour[4] = 9;
  ColourPresenter colours(controller.Session(), panel());
  EXPECT_EQ(colours.Shown().Colour(ColourList::UmdText), 7) << "all inputs: input 1's";

  EXPECT_EQ(colours.ChooseColour(ColourList::UmdText, 2), 2);  // Red for all
  for (const ColourIndex colour : viewer().UmdTextColour) {
    EXPECT_EQ(colour, 2);
  }
  EXPECT_EQ(colours.ChooseSource(5), 5);
  EXPECT_EQ(panel().ColourSourceItem, 5);
  EXPECT_EQ(colours.Shown().Colour(ColourList::UmdBack), 9);
  EXPECT_EQ(colours.ChooseColour(ColourList::UmdBack, 15), 15);
  EXPECT_EQ(Sent(), (SentFrames{{ViewerCode::SetUmdTextColour, 0, 2},
                                {ViewerCode::SetUmdBackColour, 5, 15}}));
  EXPECT_EQ(viewer().UmdBackColour[4], 15);
}

TEST_F(AudioColourPages, WindowColoursGoToTheChosenWindow) {
  viewer().FormatTextColour[4] = 1;
  viewer().FormatBackColour[4] = 2;
  viewer().TimecodeTextColour[4] = 3;
  viewer().TimecodeBackColour[4] = 4;
  ColourPresenter colours(controller.Session(), panel());
  EXPECT_EQ(colours.ChooseWindow(5), 5);  // Window_05
  const ColourView shown = colours.Shown();
  EXPECT_EQ(shown.window, 5);
  EXPECT_EQ(shown.Colour(ColourList::FormatText), 1);
  EXPECT_EQ(shown.Colour(ColourList::FormatBack), 2);
  EXPECT_EQ(shown.Colour(ColourList::TimecodeText), 3);
  EXPECT_EQ(shown.Colour(ColourList::TimecodeBack), 4);
  EXPECT_TRUE(link.sent.empty());

  EXPECT_EQ(colours.ChooseColour(ColourList::TimecodeBack, 14), 14);  // Trans
  EXPECT_EQ(colours.ChooseColour(ColourList::FormatText, 6), 6);
  EXPECT_EQ(colours.ChooseBorder(1), 1);
  EXPECT_EQ(Sent(), (SentFrames{{ViewerCode::SetTimecodeBackColour, 5, 14},
                                {ViewerCode::SetFormatTextColour, 5, 6},
                                {ViewerCode::SetBorder, 1}}));
  EXPECT_EQ(viewer().TimecodeBackColour[4], 14);
  EXPECT_EQ(viewer().BorderOn, 1);

  // Time code for all windows: the first entry only is stored, and it is what the list shows.
  EXPECT_EQ(colours.ChooseWindow(0), 0);
  EXPECT_EQ(colours.ChooseColour(ColourList::TimecodeText, 6), 6);
  EXPECT_EQ(Sent().back(), (std::vector<int>{ViewerCode::SetTimecodeTextColour, 0, 6}));
  EXPECT_EQ(viewer().TimecodeTextColour[0], 6);
}

TEST_F(AudioColourPages, LockedColourListsSnapBackToTheirStoredValues) {
  panel().ColourSourceItem = 3;
  panel().ColourWindowItem = 2;
  viewer().UmdTextColour[2] = 8;
  viewer().FormatBackColour[1] = 10;
  viewer().BorderOn = 0;
  controller.Session().SetLockState(1);
  ColourPresenter colours(controller.Session(), panel());
  EXPECT_EQ(colours.ChooseSource(7), 3);
  EXPECT_EQ(colours.ChooseWindow(0), 2);
  EXPECT_EQ(colours.ChooseColour(ColourList::UmdText, 1), 8);
  EXPECT_EQ(colours.ChooseColour(ColourList::FormatBack, 1), 10);
  EXPECT_EQ(colours.ChooseBorder(1), 0);
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(panel().ColourSourceItem, 3);
}

TEST_F(AudioColourPages, ColourValuesNoItemStandsForShowNoSelection) {
  viewer().BorderOn = 5;
  viewer().FormatTextColour[0] = 16;
  panel().ColourWindowItem = 99;
  ColourPresenter colours(controller.Session(), panel());
  const ColourView shown = colours.Shown();
  EXPECT_EQ(shown.border, -1);
  EXPECT_EQ(shown.window, 0);
  EXPECT_EQ(shown.Colour(ColourList::FormatText), -1);
  EXPECT_EQ(colours.ChooseColour(ColourList::FormatText, -1), -1);
  EXPECT_EQ(colours.ChooseBorder(2), -1);
  EXPECT_TRUE(link.sent.empty());
}

}  // namespace
}  // namespace quintara
