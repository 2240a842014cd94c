// mv watch against the simulated multiviewer when its output falls behind a flood of reports, and
// when reports arrive corrupt.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <thread>

#include "cli/Cli.h"
#include "core/link/ControlFrame.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/CliRun.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara::cli {
namespace {

using namespace std::chrono_literals;
using test::SimulatedLan;

// An output nobody reads until it is released, as a pipe whose reader stalls.
class StalledOutput final : public std::streambuf {
 public:
  void Release() {
    const std::lock_guard lock(mutex_);
    stalled_ = false;
    changed_.notify_all();
  }
  // Waits until a write waits for the reader.
  bool AwaitWriter() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, test::kPatience, [this] { return waiting_ || !stalled_; });
  }

 protected:
  int_type overflow(int_type c) override {
    Wait();
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    Wait();
    return n;
  }

 private:
  void Wait() {
    std::unique_lock lock(mutex_);
    waiting_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !stalled_; });
    waiting_ = false;
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool stalled_ = true;
  bool waiting_ = false;
};

class CliWatch : public ::testing::Test {
 protected:
  // A report as the simulated multiviewer sends it.
  Frame Report(std::uint8_t code, std::vector<std::uint8_t> values) const {
    values.insert(values.begin(), 0x00);
    Frame report = BuildFrame(kMultiviewerType, 0x01, LinkKind::Lan, code, values);
    std::ranges::copy(lan.multiviewer->Config().DeviceIdentity,
                      report.begin() + frame::kIdentityOffset);
    SealFrame(report);
    return report;
  }

  SimulatedLan lan;
  const UdpEndpoint statusPort{Ipv4Address::Loopback(), lan.link.statusPort};
};

// The reader stalls while 50 000 reports arrive: the watch keeps the newest, says on stderr how
// many it could not show, and ends when its time is up although the flood goes on.
TEST_F(CliWatch, AStalledReaderUnderAFloodLosesTheOldestAndTheWatchEndsOnTime) {
  StalledOutput stalled;
  std::ostream out(&stalled);
  std::ostringstream err;
  std::atomic<bool> watching{true};
  std::atomic<int> sent{0};
  std::thread flood([&] {
    std::optional<UdpSocket> socket = UdpSocket::Create();
    const Frame report = Report(ViewerCode::SetLayout, {40});
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (watching && sent < 3'000'000 && std::chrono::steady_clock::now() < end) {
      static_cast<void>(socket->SendTo(report, statusPort));
      ++sent;
    }
  });
  std::thread reader([&] {
    if (stalled.AwaitWriter()) {
      const int from = sent;
      while (watching && sent < from + 50'000) {
        std::this_thread::sleep_for(1ms);
      }
    }
    stalled.Release();
  });
  const int status = test::RunCliOn(
      lan.link, {"--seconds", "2", "--device", SimulatedLan::kMultiviewer.ToText(), "mv", "watch"},
      test::ShortSearchTiming(), out, err);
  const bool floodWentOn = sent < 3'000'000;
  watching = false;
  reader.join();
  flood.join();
  EXPECT_EQ(status, kExitSuccess);
  EXPECT_TRUE(floodWentOn);
  EXPECT_NE(err.str().find("reports not shown, the output fell behind: "), std::string::npos)
      << err.str();
}

// A report of the device that is corrupt, or carries values no setting holds, is shown as
// dropped and counted on stderr; the device's own reports go on as before.
TEST_F(CliWatch, CorruptReportsAreShownAsDroppedAndCounted) {
  std::thread device([this] {
    EXPECT_TRUE(test::AwaitUdpPortBound(lan.link.statusPort));  // mv watch listens
    std::optional<UdpSocket> socket = UdpSocket::Create();
    Frame badSum = Report(ViewerCode::SetLayout, {60});
    badSum[badSum.size() - 3] ^= 0x01;
    static_cast<void>(socket->SendTo(badSum, statusPort));
    static_cast<void>(socket->SendTo(Report(ViewerCode::SetWindowSource, {200, 3}), statusPort));
    lan.multiviewer->SetLayout(42);
  });
  const test::CliRun run = test::RunCliOn(
      lan.link, {"--seconds", "1", "--device", SimulatedLan::kMultiviewer.ToText(), "mv", "watch"},
      test::ShortSearchTiming());
  device.join();
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out,
            "0x33 layout: 60 (dropped)\n"
            "0x34 window source (input, window): 200 3 (dropped)\n"
            "0x33 layout: 42\n");
  EXPECT_EQ(run.err, "reports dropped as corrupt or not from a multiviewer: 2\n");
}

}  // namespace
}  // namespace quintara::cli
