#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/link/ControlFrame.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerState.h"

namespace quintara {

// Whether a report's values (v and u, bytes 18 and 19) are ones the rules can apply.
using ValuesCheck = bool (*)(std::uint8_t v, std::uint8_t u);

namespace report_values {
inline constexpr std::uint8_t kItems = 16;       // colour items: 0 is the first entry, then 1-16
inline constexpr std::uint8_t kTextColour = 15;  // texts take the sixteen palette colours
inline constexpr std::uint8_t kBackColour = 31;  // backgrounds come as 5-bit values

constexpr bool Number(std::uint8_t n) {
  return n >= 1 && n <= kWindowCount;
}
// Switches (any value but 0 is on) and the re-read reports.
constexpr bool Any(std::uint8_t, std::uint8_t) {
  return true;
}
constexpr bool FormatCode(std::uint8_t, std::uint8_t code) {
  return code <= 0x0F;
}
inline bool Layout(std::uint8_t code, std::uint8_t) {
  return IsKnownLayout(code);
}
constexpr bool TwoNumbers(std::uint8_t v, std::uint8_t u) {
  return Number(v) && Number(u);
}
// A switch of one input or window: on for any value but 0, as the pages show it.
constexpr bool NumberedSwitch(std::uint8_t v, std::uint8_t) {
  return Number(v);
}
constexpr bool NumberAndPair(std::uint8_t v, std::uint8_t pair) {
  return Number(v) && pair <= 0x0F;
}
constexpr bool NoneOrWindow(std::uint8_t v, std::uint8_t) {
  return v <= kWindowCount;
}
constexpr bool TextColour(std::uint8_t item, std::uint8_t colour) {
  return item <= kItems && colour <= kTextColour;
}
constexpr bool BackColour(std::uint8_t item, std::uint8_t colour) {
  return item <= kItems && colour <= kBackColour;
}
// A format code without a text shows none.
constexpr bool WindowIndex(std::uint8_t index, std::uint8_t) {
  return index < kWindowCount;
}
}  // namespace report_values

// A code a multiviewer reports a change with, and what the listener reads of it.
struct ReportCode {
  std::uint8_t code = 0;
  std::uint8_t values = 0;  // how many of v, u and t (bytes 18, 19, 20) are read
  bool reReads = false;     // the device changed as a whole: its state is read again
  std::string_view what;    // for logs and the watch; the values' roles in brackets
  ValuesCheck inRange = report_values::Any;
};

// Every report the listener takes; any other code is dropped.
inline constexpr std::array kReportCodes{
    ReportCode{ViewerCode::LoadDefaults, 0, true, "defaults loaded"},
    ReportCode{ViewerCode::DeviceWideChange, 0, true, "device-wide change"},
    ReportCode{ViewerCode::LoadCustom, 0, true, "custom memory loaded"},
    ReportCode{ViewerCode::SetOutputFormat, 2, false, "output format (_, code)",
               report_values::FormatCode},
    ReportCode{ViewerCode::SetLayout, 1, false, "layout", report_values::Layout},
    ReportCode{ViewerCode::SetWindowSource, 2, false, "window source (input, window)",
               report_values::TwoNumbers},
    ReportCode{ViewerCode::SetUmdOn, 2, false, "UMD on (input, on)", report_values::NumberedSwitch},
    ReportCode{ViewerCode::SetMeterOn, 2, false, "meter on (window, on)",
               report_values::NumberedSwitch},
    ReportCode{ViewerCode::SetAudioSource, 1, false, "audio source", report_values::NoneOrWindow},
    ReportCode{ViewerCode::FormatStatusReport, 1, false, "format status"},
    ReportCode{ViewerCode::SetFormatStatus, 1, false, "format status"},
    ReportCode{ViewerCode::SetUmdTextColour, 2, false, "UMD text colour (item, colour)",
               report_values::TextColour},
    ReportCode{ViewerCode::SetUmdBackColour, 2, false, "UMD background colour (item, colour)",
               report_values::BackColour},
    ReportCode{ViewerCode::SetFormatTextColour, 2, false, "format text colour (item, colour)",
               report_values::TextColour},
    ReportCode{ViewerCode::SetFormatBackColour, 2, false, "format background colour (item, colour)",
               report_values::BackColour},
    ReportCode{ViewerCode::SetTimecodeTextColour, 2, false, "time code text colour (item, colour)",
               report_values::TextColour},
    ReportCode{ViewerCode::SetTimecodeBackColour, 2, false,
               "time code background colour (item, colour)", report_values::BackColour},
    ReportCode{ViewerCode::SetBorder, 1, false, "borders"},
    ReportCode{ViewerCode::WindowSignalReport, 3, false, "signal (window index, present, format)",
               report_values::WindowIndex},
    ReportCode{ViewerCode::SetMeterChannels, 2, false, "meter channels (window, pair)",
               report_values::NumberAndPair},
    ReportCode{ViewerCode::TimecodeReport, 1, false, "time code"},
    ReportCode{ViewerCode::SetTimecode, 1, false, "time code"},
    ReportCode{ViewerCode::SetAudioAlarm, 1, false, "audio alarm"},
    ReportCode{ViewerCode::SetAllMeters, 1, false, "all meters"},
    ReportCode{ViewerCode::SetAllUmd, 1, false, "all UMD"},
};

constexpr bool EachCodeOnce() {
  return std::ranges::all_of(kReportCodes, [](const ReportCode& report) {
    return std::ranges::count(kReportCodes, report.code, &ReportCode::code) == 1;
  });
}
static_assert(EachCodeOnce(), "a second entry of a code would never be found");

// The table's entry for a code; nothing for a code that is no report.
constexpr const ReportCode* FindReportCode(std::uint8_t code) {
  const auto entry = std::ranges::find(kReportCodes, code, &ReportCode::code);
  return entry == kReportCodes.end() ? nullptr : &*entry;
}

// How many bytes a report must hold for what is read of it: the identity at 10-13 and the code
// at 16 always, then its values from byte 18 on.
constexpr std::size_t BytesNeeded(const ReportCode& report) {
  return report.values == 0 ? frame::kCommandCodeOffset + 1
                            : frame::kValuesOffset + std::size_t{report.values};
}

}  // namespace quintara
