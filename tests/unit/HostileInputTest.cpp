// Whatever a network or a serial line delivers, the parsers read only what arrived. Run under
// the sanitizers, any read past a buffer fails these tests.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "core/Controller.h"
#include "core/link/DeviceTable.h"
#include "core/link/SerialSearch.h"
#include "core/matrix/MatrixCommands.h"
#include "core/viewer/StateImageDecoder.h"
#include "core/viewer/StatusReports.h"
#include "sim/SerialFramer.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

// Random messages that often look like frames, so the parsers get past their first checks.
class HostileBytes {
 public:
  std::vector<std::uint8_t> Next() {
    std::vector<std::uint8_t> bytes(Below(160));
    for (std::uint8_t& byte : bytes) {
      byte = static_cast<std::uint8_t>(
          Below(4) == 0 ? std::array<std::uint8_t, 4>{0xA5, 0x6C, 0xAE, '-'}[Below(4)]
                        : Below(256));
    }
    if (bytes.size() >= 4 && Below(2) == 0) {
      bytes[0] = 0xA5;
      bytes[1] = 0x6C;
      bytes[2] = static_cast<std::uint8_t>(Below(2) == 0 ? bytes.size() : Below(256));
      bytes[3] = static_cast<std::uint8_t>(Below(4) == 0 ? Below(256) : 0);
    }
    if (!bytes.empty() && Below(2) == 0) {
      bytes.back() = 0xAE;
    }
    return bytes;
  }

 private:
  std::size_t Below(std::size_t bound) {
    return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
  }
  std::mt19937 random_{20261209};
};

constexpr int kRounds = 20000;

TEST(HostileInput, LinkParsersReadOnlyWhatArrived) {
  HostileBytes hostile;
  CnComm port;
  DeviceDirectory devices;
  StateImageBytes image{};
  LinkTiming timing;
  SystemClock clock;
  test::RecordingPrompter prompter;
  SerialSearch search(port, devices, image, timing, clock, prompter);
  std::vector<std::uint8_t> stream;
  sim::SerialFramer framer;
  for (int round = 0; round < kRounds; ++round) {
    const std::vector<std::uint8_t> bytes = hostile.Next();
    for (const DiscoveredDevice& device : ParseDiscoverAnswer(bytes, Ipv4Address::Loopback())) {
      devices.Record(device);
    }
    stream.insert(stream.end(), bytes.begin(), bytes.end());
    if (stream.size() > SerialSearch::kSerialInputSize) {
      stream.erase(stream.begin(), stream.end() - SerialSearch::kSerialInputSize);
    }
    search.ScanSerialReply(stream);
    ParseMatrixStatus(bytes, round % 2 == 0 ? kEightChannelType : kSixteenChannelType);
    framer.Append(bytes);
    while (framer.Next()) {
    }
  }
  EXPECT_LE(devices.Table().Count(), DeviceTable::kCapacity);
}

TEST(HostileInput, ReportsAndStateImagesApplyWithoutHarm) {
  HostileBytes hostile;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  SystemClock clock;
  Controller controller(LinkConfig{}, LinkTiming{}, clock, prompter, observer);
  ViewerState& viewer = controller.Viewer();
  for (int round = 0; round < kRounds; ++round) {
    std::vector<std::uint8_t> report = hostile.Next();
    viewer.CurrentPage = static_cast<std::uint8_t>(round % 7);
    // As the listener does: a report is applied only when it holds what its code reads.
    if (report.size() > 16 && !IsReReadReport(report[16]) && ReportBytesNeeded(report[16]) != 0 &&
        report.size() >= ReportBytesNeeded(report[16])) {
      ApplyStatusReport(controller, report);
    }
    if (round % 50 == 0) {
      for (std::size_t i = 0; i < viewer.StateImage.size(); ++i) {
        viewer.StateImage[i] = report.empty() ? 0xFF : report[i % report.size()];
      }
      DecodeStateImage(viewer);
    }
  }
  EXPECT_EQ(viewer.PageSwitchPass, 1u);
}

}  // namespace
}  // namespace quintara
