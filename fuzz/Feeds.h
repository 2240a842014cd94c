#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace quintara::fuzz {

using Input = std::span<const std::uint8_t>;

// What each fuzz target feeds its input to. The inputs of the feeds that take several messages
// are message scripts (MessageScript.h).

// Datagrams answering a network search.
void FeedDiscoverAnswers(Input input);
// Chunks of the byte stream answering a serial search.
void FeedSerialScan(Input input);
// One reply to the read-back, taken on the network and on the serial line, then the pages.
void FeedStateReply(Input input);
// Byte 0: the page shown. Then the datagrams arriving on the status socket, and one-byte
// messages for the operator choosing another page.
void FeedStatusReports(Input input);
// Byte 0: bit 0 the serial line, bit 1 sixteen channels, bit 2 locked. Then what arrives while a
// matrix panel opens and refreshes.
void FeedMatrixReplies(Input input);
// Chunks of the byte stream the simulator's serial line receives.
void FeedSimSerialFramer(Input input);
// Byte 0: bit 0 the serial line (else UDP). Then what the simulated devices receive.
void FeedSimMultiviewer(Input input);
void FeedSimMatrix(Input input);  // byte 0 bit 1: sixteen channels
// A multiviewer settings file's text.
void FeedSettingsFile(Input input);
// Byte 0: the device (bits 0-1 its kind, bit 2 locked). Then a command request's body.
void FeedServerRequest(Input input);

struct Target {
  std::string_view name;  // of the fuzz target and of its corpus folder
  void (*feed)(Input);
};

inline constexpr std::array<Target, 10> kTargets{{
    {"DiscoverAnswerFuzzer", &FeedDiscoverAnswers},
    {"SerialScanFuzzer", &FeedSerialScan},
    {"StateImageFuzzer", &FeedStateReply},
    {"StatusReportFuzzer", &FeedStatusReports},
    {"MatrixReplyFuzzer", &FeedMatrixReplies},
    {"SimSerialFramerFuzzer", &FeedSimSerialFramer},
    {"SimMultiviewerFuzzer", &FeedSimMultiviewer},
    {"SimMatrixFuzzer", &FeedSimMatrix},
    {"SettingsFileFuzzer", &FeedSettingsFile},
    {"ServerRequestFuzzer", &FeedServerRequest},
}};

}  // namespace quintara::fuzz
