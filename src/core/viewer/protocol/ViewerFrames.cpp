#include "core/viewer/protocol/ViewerFrames.h"

#include <array>

#include "core/session/DeviceSession.h"
#include "core/text/TextCodec.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {

Frame ViewerFrames::Command(std::uint8_t commandCode, std::span<const std::uint8_t> payload) const {
  const DeviceEntry entry = session_.Entry();
  return BuildFrame(entry.DeviceType, entry.DeviceAddress, session_.CurrentLink(), commandCode,
                    payload);
}

Frame ViewerFrames::Layout(std::uint8_t layoutCode) const {
  return OneValue(ViewerCode::SetLayout, layoutCode);
}

Frame ViewerFrames::WindowSource(std::uint8_t window, std::uint8_t input) const {
  const std::array<std::uint8_t, 2> payload{input, window};
  return Command(ViewerCode::SetWindowSource, payload);
}

Frame ViewerFrames::UmdText(std::uint8_t input, const std::u16string& text) const {
  const DeviceEntry entry = session_.Entry();
  return BuildLabelFrame(entry.DeviceType, entry.DeviceAddress, session_.CurrentLink(), input,
                         EncodeUtf16Le(text));
}

Frame ViewerFrames::UmdOn(std::uint8_t input, std::uint8_t on) const {
  return NumberAndValue(ViewerCode::SetUmdOn, input, on);
}

Frame ViewerFrames::AllUmd(std::uint8_t on) const {
  return OneValue(ViewerCode::SetAllUmd, on);
}

Frame ViewerFrames::MeterOn(std::uint8_t windowIndex, std::uint8_t on) const {
  return NumberAndValue(ViewerCode::SetMeterOn, static_cast<std::uint8_t>(windowIndex + 1), on);
}

Frame ViewerFrames::AllMeters(std::uint8_t on) const {
  return OneValue(ViewerCode::SetAllMeters, on);
}

Frame ViewerFrames::MeterChannels(std::uint8_t windowIndex, std::uint8_t pair) const {
  return NumberAndValue(ViewerCode::SetMeterChannels, static_cast<std::uint8_t>(windowIndex + 1),
                        pair);
}

Frame ViewerFrames::Colour(std::uint8_t commandCode, std::uint8_t item, std::uint8_t colour) const {
  return NumberAndValue(commandCode, item, colour);
}

Frame ViewerFrames::NumberAndValue(std::uint8_t commandCode, std::uint8_t number,
                                   std::uint8_t value) const {
  const std::array<std::uint8_t, 2> payload{number, value};
  return Command(commandCode, payload);
}

Frame ViewerFrames::OneValue(std::uint8_t commandCode, std::uint8_t value) const {
  const std::array<std::uint8_t, 1> payload{value};
  return Command(commandCode, payload);
}

Frame ViewerFrames::OutputFormat(std::uint8_t code) const {
  const std::array<std::uint8_t, 2> payload{0x00, code};
  return Command(ViewerCode::SetOutputFormat, payload);
}

}  // namespace quintara
