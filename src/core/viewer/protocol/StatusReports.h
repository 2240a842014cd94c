#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quintara {

class DeviceSession;

// How many bytes a report with this code must hold for what is read from it (byte 18 on);
// 0 for a code that is not a report.
std::size_t ReportBytesNeeded(std::uint8_t commandCode);

// What the listener makes of a datagram. Only what arrived is read.
enum class ReportCheck {
  NotOurs,  // another device's, too short to tell, or a code that is no report: dropped silently
  Intact,   // a whole frame of a multiviewer, long enough for its code, its values in range
  Corrupt,  // carries the device's identity and a report code, but is not Intact
};
ReportCheck CheckReport(std::span<const std::uint8_t> datagram,
                        std::span<const std::uint8_t, 4> identity);

// Whether the listener takes a datagram as a report of the device with this identity.
bool IsReportOf(std::span<const std::uint8_t> datagram, std::span<const std::uint8_t, 4> identity);

// Whether the values a report carries are ones its setting can hold (a window or an input
// 1-16, an item 0-16, a palette colour, a known layout, a flag 0/1, ...).
bool ValuesInRange(std::span<const std::uint8_t> report);

// The bytes of a report that are read, up to its third value: what is kept of a datagram.
struct ReportBytes {
  static constexpr std::size_t kKept = 21;
  std::array<std::uint8_t, kKept> bytes{};
  std::uint8_t size = 0;

  static ReportBytes Of(std::span<const std::uint8_t> datagram);
  std::span<const std::uint8_t> View() const { return std::span(bytes).first(size); }
};

// Reports after which the whole state is read again.
bool IsReReadReport(std::uint8_t commandCode);

// Applies one report of the connected multiviewer to the mirror, the preview and the shown
// page. Runs on the controller's thread; the report holds ReportBytesNeeded bytes at least.
// False when the rules dropped it (values out of range, a code that is no report).
bool ApplyStatusReport(DeviceSession& session, std::span<const std::uint8_t> report);

// What a report concerns and the values it carries (v, u, t as far as its code reads them).
struct ReportSummary {
  std::uint8_t code = 0;
  std::string what;
  std::vector<int> values;
};
ReportSummary SummariseReport(std::span<const std::uint8_t> report);

// One line for a log: the report's code, what it concerns and its values.
std::string DescribeReport(std::span<const std::uint8_t> report);

// What follows the read-back of a re-read report once the device has settled.
void FinishReRead(DeviceSession& session, std::uint8_t commandCode);

}  // namespace quintara
