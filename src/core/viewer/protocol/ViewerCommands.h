#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "core/CommandResult.h"
#include "core/link/ControlFrame.h"
#include "core/session/DeviceKinds.h"
#include "core/viewer/protocol/ViewerFrames.h"

namespace quintara {

class DeviceSession;

inline constexpr std::uint8_t kMultiviewerType = KindInfo(DeviceKind::Multiviewer).deviceType;

// CommandCodes of the multiviewer (DeviceType 0xA1).
namespace ViewerCode {
inline constexpr std::uint8_t ReadState = 0x0A;
inline constexpr std::uint8_t LoadDefaults = 0x0B;
inline constexpr std::uint8_t SetOutputFormat = 0x19;
inline constexpr std::uint8_t SetUmdText = 0x1E;
inline constexpr std::uint8_t SetLayout = 0x33;
inline constexpr std::uint8_t SetWindowSource = 0x34;
inline constexpr std::uint8_t SetUmdOn = 0x36;
inline constexpr std::uint8_t SetMeterOn = 0x37;
inline constexpr std::uint8_t DeviceWideChange = 0x38;
inline constexpr std::uint8_t SetAudioSource = 0x39;
inline constexpr std::uint8_t FormatStatusReport = 0x3A;
inline constexpr std::uint8_t SetUmdTextColour = 0x3B;
inline constexpr std::uint8_t SetUmdBackColour = 0x3C;
inline constexpr std::uint8_t SetFormatTextColour = 0x3D;
inline constexpr std::uint8_t SetFormatBackColour = 0x3E;
inline constexpr std::uint8_t SetBorder = 0x3F;
inline constexpr std::uint8_t WindowSignalReport = 0x51;
inline constexpr std::uint8_t SetMeterChannels = 0x52;
inline constexpr std::uint8_t TimecodeReport = 0x53;
inline constexpr std::uint8_t SetTimecodeTextColour = 0x54;
inline constexpr std::uint8_t SetTimecodeBackColour = 0x55;
inline constexpr std::uint8_t SetAudioAlarm = 0x56;
inline constexpr std::uint8_t SaveCustom = 0x58;
inline constexpr std::uint8_t LoadCustom = 0x59;
inline constexpr std::uint8_t SetOneToOne = 0x5A;
inline constexpr std::uint8_t SetAllMeters = 0x5B;
inline constexpr std::uint8_t SetAllUmd = 0x5C;
inline constexpr std::uint8_t SetFormatStatus = 0x5D;
inline constexpr std::uint8_t SetTimecode = 0x5E;
inline constexpr std::uint8_t SetSwitcherMode = 0x62;
}  // namespace ViewerCode

// SetMeterOn's window index that stands for all meters.
inline constexpr std::uint8_t kAllMetersIndex = 64;

// The multiviewer's command senders. Each takes the values it sends, refuses while the device is
// locked (storing and sending nothing), stores what it sends in the mirror, sends one frame on the
// current link and, once it was sent, brings the derived tables and the preview up to date. A
// value stored stays when the frame could not leave.
class ViewerCommands {
 public:
  explicit ViewerCommands(DeviceSession& session) : session_(session), frames_(session) {}

  CommandResult SetLayout(std::uint8_t layoutCode);
  // The input a window (1-16) shows in multiviewer mode.
  CommandResult SetWindowSource(std::uint8_t window, std::uint8_t input);
  // The input routed to an output (1-16) in switcher mode: the same command as SetWindowSource,
  // kept in the switcher's table.
  CommandResult SetSwitcherRoute(std::uint8_t output, std::uint8_t input);
  CommandResult SetUmdText(std::uint8_t input, std::u16string_view text);
  // Item 0 is every input (SetAllUmd).
  CommandResult SetUmdOn(std::uint8_t item, std::uint8_t on);
  // kAllMetersIndex is every window (SetAllMeters).
  CommandResult SetMeterOn(std::uint8_t windowIndex, std::uint8_t on);
  CommandResult SetMeterChannels(std::uint8_t windowIndex, std::uint8_t pair);
  CommandResult SetUmdTextColour(std::uint8_t item, std::uint8_t colour);
  CommandResult SetUmdBackColour(std::uint8_t item, std::uint8_t colour);
  CommandResult SetFormatTextColour(std::uint8_t item, std::uint8_t colour);
  CommandResult SetFormatBackColour(std::uint8_t item, std::uint8_t colour);
  CommandResult SetTimecodeTextColour(std::uint8_t item, std::uint8_t colour);
  CommandResult SetTimecodeBackColour(std::uint8_t item, std::uint8_t colour);
  CommandResult SetBorder(std::uint8_t on);
  CommandResult SetFormatStatus(std::uint8_t on);
  CommandResult SetAudioAlarm(std::uint8_t on);
  CommandResult SetTimecode(std::uint8_t on);
  CommandResult SetAudioSource(std::uint8_t source);
  CommandResult SetSwitcherMode(std::uint8_t switcherMode);
  CommandResult SetOutputFormat(std::uint8_t code);
  CommandResult SetOneToOne();
  CommandResult LoadDefaults();
  // SaveCustom (0x58) or LoadCustom (0x59) with memory 1 or 2.
  CommandResult SendCustomMemory(std::uint8_t commandCode, std::uint8_t memory);

 private:
  using Step = std::function<void()>;

  // The steps every sender follows; store runs before the send, afterwards only after it.
  CommandResult SendViewerCommand(const Frame& frame, const Step& store, const Step& afterwards);
  CommandResult SendColour(std::uint8_t commandCode, std::uint8_t item, std::uint8_t colour,
                           std::array<std::uint8_t, 16>& field, bool allOnItemZero,
                           const Step& afterwards);
  void Repaint();

  DeviceSession& session_;
  ViewerFrames frames_;
};

}  // namespace quintara
