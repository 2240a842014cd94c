#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "core/viewer/protocol/StateImageDecoder.h"

namespace quintara {
namespace {

// Image offset of a reply byte.
constexpr std::size_t Reply(std::size_t byte) {
  return byte - 18;
}

void Put(StateImageBytes& image, std::size_t offset, std::initializer_list<std::uint8_t> bytes) {
  for (const std::uint8_t byte : bytes) {
    image[offset++] = byte;
  }
}

TEST(StateImageDecoder, FieldsTakeTheirOwnBits) {
  ViewerState state;
  DecodedDevice device = DecodeStateImage(state);
  EXPECT_EQ(state.SwitcherMode, 0);

  state.StateImage[Reply(19)] = 0xF3;
  state.StateImage[Reply(20)] = 0x85;
  state.StateImage[Reply(21)] = 0x81;
  state.StateImage[Reply(37)] = 7;  // window 16's source
  state.StateImage[Reply(38)] = 9;  // output 1's route
  Put(state.StateImage, 36 + 2 * 15, {0xFF, 0xFF});
  Put(state.StateImage, 68 + 8 * 15, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  state.StateImage[68 + 8 * 14 + 1] = 0xBF;  // bit 7 is not the signal flag
  device = DecodeStateImage(state);
  EXPECT_EQ(state.OutputFormat, 3);
  EXPECT_EQ(state.AllMetersOn, 1);
  EXPECT_EQ(state.AudioSource, 5);
  EXPECT_EQ(state.SwitcherMode, 1);
  EXPECT_EQ(state.AllUmdOn, 1);
  EXPECT_EQ(state.FormatStatusOn + state.TimecodeOn + state.AudioAlarmOn + state.BorderOn, 0);
  EXPECT_EQ(device.AddressMode, 0);
  EXPECT_EQ(state.WindowSource[15], 7);
  EXPECT_EQ(state.SwitcherSource[0], 9);
  // Input 16 and window 16 with every bit set: each field keeps only its own mask.
  EXPECT_EQ((std::array<int, 3>{state.UmdOn[15], state.UmdTextColour[15], state.UmdBackColour[15]}),
            (std::array<int, 3>{1, 15, 31}));
  EXPECT_EQ((std::array<int, 6>{state.MeterOn[15], state.MeterChannels[15],
                                state.FormatTextColour[15], state.FormatBackColour[15],
                                state.TimecodeTextColour[15], state.TimecodeBackColour[15]}),
            (std::array<int, 6>{1, 15, 15, 31, 15, 31}));
  EXPECT_EQ(state.WindowSignal[15], (WindowSignalState{1, 63}));
  EXPECT_EQ(state.WindowSignal[14], (WindowSignalState{0, 63}));

  state.StateImage[Reply(21)] = 0x5E;
  device = DecodeStateImage(state);
  EXPECT_EQ(state.SwitcherMode + state.AllUmdOn, 0);
  EXPECT_EQ(state.FormatStatusOn + state.TimecodeOn + state.AudioAlarmOn + state.BorderOn, 4);
  EXPECT_EQ(device.AddressMode, 1);
}

TEST(StateImageDecoder, LabelsAndNameStayInTheirRoom) {
  ViewerState state;
  state.SetLabelDefaults();
  auto& image = state.StateImage;
  Put(image, 196, {6, 'A', 0, 'b', 0, 'c', 0, 'X', 0});
  Put(image, 196 + 35, {0, 'Q', 0});
  Put(image, 196 + 35 * 2, {5, 'A', 0, 'b', 0, 'c', 'X'});  // odd length
  Put(image, 196 + 35 * 3, {10, 'A', 0, 'b', 0, 0, 0, 'x', 0});
  Put(image, 196 + 35 * 4, {4, 0xAC, 0x20, 0xE9, 0x00});
  image[196 + 35 * 15] = 40;
  for (std::size_t k = 0; k < 34; k += 2) {
    Put(image, 196 + 35 * 15 + 1 + k, {'Z', 0});
  }
  image[756] = 40;  // right after the last label's room

  DecodedDevice device = DecodeStateImage(state);
  EXPECT_EQ(state.UmdText[0], u"Abc");
  EXPECT_EQ(state.UmdText[1], u"");
  EXPECT_EQ(state.UmdText[2], u"Abc");
  EXPECT_EQ(state.UmdText[3], u"Ab");
  EXPECT_EQ(state.UmdText[4], u"\u20AC\u00E9");
  EXPECT_EQ(state.UmdText[5], u"");
  EXPECT_EQ(state.UmdText[15], std::u16string(17, u'Z'));
  EXPECT_FALSE(device.nameText);
  EXPECT_EQ(device.nameField, u"Custom Name");

  Put(image, 756, {4, 'K', 0, 'V', 0, 'T', 0});
  device = DecodeStateImage(state);
  EXPECT_EQ(device.nameText, u"KV");
  EXPECT_EQ(device.nameField, u"KV");

  image[756] = 32;
  for (std::size_t k = 0; k < 32; k += 2) {
    Put(image, 757 + k, {'N', 0});
  }
  EXPECT_EQ(DecodeStateImage(state).nameText, std::u16string(16, u'N'));

  image[756] = 0;
  device = DecodeStateImage(state);
  EXPECT_EQ(device.nameText, u"");
  EXPECT_EQ(device.nameField, u"Custom Name");
}

}  // namespace
}  // namespace quintara
