#include "core/viewer/protocol/StateImageDecoder.h"

#include <algorithm>
#include <cstddef>
#include <span>

#include "core/text/TextCodec.h"

namespace quintara {
namespace {

// Image offsets.
constexpr std::size_t kLayout = 0;
constexpr std::size_t kFormat = 1;
constexpr std::size_t kAudio = 2;
constexpr std::size_t kFlags = 3;
constexpr std::size_t kWindowSources = 4;
constexpr std::size_t kSwitcherSources = 20;
constexpr std::size_t kInputs = 36;  // two bytes per input
constexpr std::size_t kInputStride = 2;
constexpr std::size_t kWindows = 68;  // eight bytes per window, the last two unused
constexpr std::size_t kWindowStride = 8;
constexpr std::size_t kUmdTexts = 196;  // per input: length byte, then 34 bytes of room
constexpr std::size_t kUmdTextStride = 35;
constexpr std::size_t kUmdTextRoom = 34;
constexpr std::size_t kName = 756;  // length byte, then 32 bytes of room
constexpr std::size_t kNameRoom = 32;

static_assert(kWindows + kWindowStride * kWindowCount <= kUmdTexts);
static_assert(kUmdTexts + kUmdTextStride * kInputCount == kName);
static_assert(kName + 1 + kNameRoom == kStateImageSize);

constexpr std::uint8_t Bits(std::uint8_t byte, int shift, std::uint8_t mask) {
  return static_cast<std::uint8_t>((byte >> shift) & mask);
}

constexpr std::uint8_t Bit(std::uint8_t byte, int shift) {
  return Bits(byte, shift, 0x01);
}

}  // namespace

DecodedDevice DecodeStateImage(ViewerState& state) {
  const StateImageBytes& image = state.StateImage;
  const std::uint8_t audio = image[kAudio];
  const std::uint8_t flags = image[kFlags];

  state.LayoutCode = image[kLayout];
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    state.WindowSource[w] = image[kWindowSources + w];
  }
  for (std::size_t k = 0; k < kWindowCount; ++k) {
    state.SwitcherSource[k] = image[kSwitcherSources + k];
  }
  state.SwitcherMode = Bit(flags, 7);
  state.AllUmdOn = Bit(flags, 0);

  for (std::size_t i = 0; i < kInputCount; ++i) {
    const std::uint8_t settings = image[kInputs + kInputStride * i];
    const std::size_t text = kUmdTexts + kUmdTextStride * i;
    // A length beyond the room would read into the next input's label.
    const std::size_t length = std::min<std::size_t>(image[text], kUmdTextRoom);
    state.UmdOn[i] = Bit(settings, 0);
    state.UmdText[i] = DecodeUtf16Le(std::span(image).subspan(text + 1, length));
    state.UmdTextColour[i] = Bits(settings, 1, 0x0F);
    state.UmdBackColour[i] = Bits(image[kInputs + kInputStride * i + 1], 0, 0x1F);
  }

  state.OutputFormat = Bits(image[kFormat], 0, 0x0F);
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    const std::size_t window = kWindows + kWindowStride * w;
    state.WindowSignal[w] = {Bit(image[window + 1], 6), Bits(image[window + 1], 0, 0x3F)};
    state.FormatTextColour[w] = Bits(image[window + 2], 1, 0x0F);
    state.FormatBackColour[w] = Bits(image[window + 3], 0, 0x1F);
  }
  state.FormatStatusOn = Bit(flags, 1);
  state.AllMetersOn = Bit(audio, 7);
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    const std::uint8_t meter = image[kWindows + kWindowStride * w];
    state.MeterOn[w] = Bit(meter, 0);
    state.MeterChannels[w] = Bits(meter, 1, 0x0F);
  }
  state.TimecodeOn = Bit(flags, 2);
  state.AudioSource = Bits(audio, 0, 0x1F);
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    const std::size_t window = kWindows + kWindowStride * w;
    state.TimecodeTextColour[w] = Bits(image[window + 4], 1, 0x0F);
    state.TimecodeBackColour[w] = Bits(image[window + 5], 0, 0x1F);
  }
  state.AudioAlarmOn = Bit(flags, 3);

  DecodedDevice device;
  const std::size_t nameLength = image[kName];
  if (nameLength <= kNameRoom) {
    device.nameText = DecodeUtf16Le(std::span(image).subspan(kName + 1, nameLength));
  }
  device.nameField = device.nameText && !device.nameText->empty() ? *device.nameText : kCustomName;

  state.BorderOn = Bit(flags, 4);
  device.AddressMode = Bit(flags, 6);
  return device;
}

}  // namespace quintara
