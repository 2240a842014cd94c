#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quintara {

class Controller;

// How many bytes a report with this code must hold for what is read from it (byte 18 on);
// 0 for a code that is not a report.
std::size_t ReportBytesNeeded(std::uint8_t commandCode);

// Whether the listener takes a datagram as a report of the device with this identity: it
// carries the identity and holds what its code reads. Only what arrived is read.
bool IsReportOf(std::span<const std::uint8_t> datagram, std::span<const std::uint8_t, 4> identity);

// Reports after which the whole state is read again.
bool IsReReadReport(std::uint8_t commandCode);

// Applies one report of the connected multiviewer to the mirror, the preview and the shown
// page. Runs on the controller's thread; the report holds ReportBytesNeeded bytes at least.
// False when the rules dropped it.
bool ApplyStatusReport(Controller& controller, std::span<const std::uint8_t> report);

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
void FinishReRead(Controller& controller, std::uint8_t commandCode);

}  // namespace quintara
