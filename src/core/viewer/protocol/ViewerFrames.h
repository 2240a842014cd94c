#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/link/ControlFrame.h"

namespace quintara {

class DeviceSession;

// The multiviewer's setter frames for the selected device on the current link, byte for byte
// as its senders send them. Building one sends and stores nothing.
class ViewerFrames {
 public:
  explicit ViewerFrames(const DeviceSession& session) : session_(session) {}

  Frame Layout(std::uint8_t layoutCode) const;
  // A window's input in multiviewer mode, an output's route in switcher mode.
  Frame WindowSource(std::uint8_t window, std::uint8_t input) const;
  Frame UmdText(std::uint8_t input, const std::u16string& text) const;
  Frame UmdOn(std::uint8_t input, std::uint8_t on) const;
  Frame AllUmd(std::uint8_t on) const;
  Frame MeterOn(std::uint8_t windowIndex, std::uint8_t on) const;  // window 0-15
  Frame AllMeters(std::uint8_t on) const;
  Frame MeterChannels(std::uint8_t windowIndex, std::uint8_t pair) const;
  // SetUmdTextColour ... SetTimecodeBackColour; item 0 is every input or window.
  Frame Colour(std::uint8_t commandCode, std::uint8_t item, std::uint8_t colour) const;
  // SetBorder, SetFormatStatus, SetAudioAlarm, SetTimecode, SetAudioSource, SetSwitcherMode and
  // the other setters of one value byte.
  Frame OneValue(std::uint8_t commandCode, std::uint8_t value) const;
  Frame OutputFormat(std::uint8_t code) const;
  // The setters of an input or window number and a value: SetUmdOn, SetMeterOn (window 1-16),
  // SetMeterChannels and the colours.
  Frame NumberAndValue(std::uint8_t commandCode, std::uint8_t number, std::uint8_t value) const;
  Frame Command(std::uint8_t commandCode, std::span<const std::uint8_t> payload) const;

 private:
  const DeviceSession& session_;
};

}  // namespace quintara
