#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/link/ControlFrame.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {

// A code a multiviewer reports a change with, and what the listener reads of it.
struct ReportCode {
  std::uint8_t code = 0;
  std::uint8_t values = 0;  // how many of v, u and t (bytes 18, 19, 20) are read
  bool reReads = false;     // the device changed as a whole: its state is read again
  std::string_view what;    // for logs and the watch; the values' roles in brackets
};

// Every report the listener takes; any other code is dropped.
inline constexpr std::array kReportCodes{
    ReportCode{ViewerCode::LoadDefaults, 0, true, "defaults loaded"},
    ReportCode{ViewerCode::DeviceWideChange, 0, true, "device-wide change"},
    ReportCode{ViewerCode::LoadCustom, 0, true, "custom memory loaded"},
    ReportCode{ViewerCode::SetOutputFormat, 2, false, "output format (_, code)"},
    ReportCode{ViewerCode::SetLayout, 1, false, "layout"},
    ReportCode{ViewerCode::SetWindowSource, 2, false, "window source (input, window)"},
    ReportCode{ViewerCode::SetUmdOn, 2, false, "UMD on (input, on)"},
    ReportCode{ViewerCode::SetMeterOn, 2, false, "meter on (window, on)"},
    ReportCode{ViewerCode::SetAudioSource, 1, false, "audio source"},
    ReportCode{ViewerCode::FormatStatusReport, 1, false, "format status"},
    ReportCode{ViewerCode::SetFormatStatus, 1, false, "format status"},
    ReportCode{ViewerCode::SetUmdTextColour, 2, false, "UMD text colour (item, colour)"},
    ReportCode{ViewerCode::SetUmdBackColour, 2, false, "UMD background colour (item, colour)"},
    ReportCode{ViewerCode::SetFormatTextColour, 2, false, "format text colour (item, colour)"},
    ReportCode{ViewerCode::SetFormatBackColour, 2, false,
               "format background colour (item, colour)"},
    ReportCode{ViewerCode::SetTimecodeTextColour, 2, false, "time code text colour (item, colour)"},
    ReportCode{ViewerCode::SetTimecodeBackColour, 2, false,
               "time code background colour (item, colour)"},
    ReportCode{ViewerCode::SetBorder, 1, false, "borders"},
    ReportCode{ViewerCode::WindowSignalReport, 3, false, "signal (window index, present, format)"},
    ReportCode{ViewerCode::SetMeterChannels, 2, false, "meter channels (window, pair)"},
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
