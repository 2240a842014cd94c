// The serial search and serial sends over real pseudo-terminals, against the simulated devices
// and lines that carry noise or hang up.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "cli/Cli.h"
#include "core/Controller.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimSerialServer.h"
#include "support/Bytes.h"
#include "support/Patience.h"
#include "support/Pty.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using namespace std::chrono_literals;

LinkTiming ShortSerialTiming() {
  LinkTiming timing;
  timing.serialSearchWindowMs = 600;
  timing.readBackWindowMs = 500;
  return timing;
}

// A port name in a directory of its own, pointing at whatever line is plugged in under it.
class PortName {
 public:
  PortName() {
    char pattern[] = "/tmp/quintara-serial-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    directory_ = pattern;
  }
  ~PortName() { std::filesystem::remove_all(directory_); }
  PortName(const PortName&) = delete;
  PortName& operator=(const PortName&) = delete;

  std::string Path() const { return (directory_ / "ttyUSB0").string(); }
  void Plug(const std::string& line) const {
    std::filesystem::remove(Path());
    std::filesystem::create_symlink(line, Path());
  }

 private:
  std::filesystem::path directory_;
};

// The device's end of the line: waits for a request, sends the parts, and may hang up.
std::jthread Play(test::PtyPair& line, std::vector<std::vector<std::uint8_t>> parts,
                  bool hangUp = false) {
  return std::jthread([&line, parts = std::move(parts), hangUp] {
    if (line.Receive().empty()) {
      return;
    }
    for (const std::vector<std::uint8_t>& part : parts) {
      line.Send(part);
    }
    if (hangUp) {
      line.CloseMaster();
    }
  });
}

class SerialSearchTest : public ::testing::Test {
 protected:
  SerialSearchTest()
      : multiviewer(std::make_shared<sim::SimDevice>(
            sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, {}))),
        controller(LinkConfig{}, ShortSerialTiming(), clock, prompter, observer) {
    std::string error;
    path = server.Add(multiviewer, error);
    server.Start();
    controller.SetLinkKind(LinkKind::Serial);
  }

  std::shared_ptr<sim::SimDevice> multiviewer;
  sim::SimSerialServer server;
  std::string path;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
};

TEST_F(SerialSearchTest, FindsTheDeviceOnTheLineAndSendsItsFrames) {
  ASSERT_TRUE(controller.OpenSelectedPort(path, "115200"));
  controller.Search();
  const DeviceDirectory& devices = controller.Devices();
  EXPECT_EQ(devices.Lines(), std::vector<std::string>{"KVT2208Z"});
  EXPECT_EQ(devices.StatusText(), "Connected - 1");
  EXPECT_EQ(devices.SelectedIndex(), 0);
  EXPECT_EQ(devices.Table().Entry(0).DeviceType, 0xA1);
  EXPECT_EQ(devices.Table().Entry(0).ModelMatch, 1);

  const auto discover = multiviewer->ReceivedFrames(CommandCode::Discover).at(0);
  ASSERT_EQ(discover.size(), kDiscoverFrameSize);
  EXPECT_EQ(std::vector<std::uint8_t>(discover.begin(), discover.begin() + 17),
            test::Bytes("A5 6C 1B 00 FF FF 00 00 00 00 00 00 00 00 00 00 FF"));
  EXPECT_EQ(discover[24] | (discover[25] << 8), FrameSum(std::span(discover).first(24)));

  ASSERT_TRUE(controller.Session().SetLock(1));
  ASSERT_TRUE(multiviewer->WaitForFrames(CommandCode::SetLock, 1, test::kPatience));
  EXPECT_EQ(multiviewer->ReceivedFrames(CommandCode::SetLock)[0],
            test::Bytes("A5 6C 15 00 A1 01 00 00 00 00 00 00 00 00 00 00 50 01 19 02 AE"));
  EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(SerialSearchTest, ClosedPortRefusesTheSearchAndSendsNothing) {
  controller.Search();
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please open the serial port first!"});
  EXPECT_TRUE(observer.calls.empty());
  EXPECT_FALSE(controller.Session().SetLock(1));
  EXPECT_EQ(prompter.errors.size(), 1u);
  EXPECT_FALSE(controller.OpenSelectedPort(path, "9601"));
}

TEST_F(SerialSearchTest, SilentOrHungUpLinesEndTheSearchWithNoDevice) {
  for (const bool hangUp : {false, true}) {
    test::PtyPair line;
    ASSERT_TRUE(controller.OpenSelectedPort(line.Path(), "9600"));
    std::thread cable([&line, hangUp] {
      if (hangUp) {
        std::this_thread::sleep_for(100ms);
        line.CloseMaster();
      }
    });
    controller.Search();
    cable.join();
    const DeviceDirectory& devices = controller.Devices();
    EXPECT_EQ(devices.Lines(), std::vector<std::string>{"No Device Found"});
    EXPECT_EQ(devices.StatusText(), "No Device Connected");
    EXPECT_EQ(devices.SelectedIndex(), 0);  // the scanner's last answer
    EXPECT_EQ(devices.Table().Entry(0).DeviceType, 0);
  }
}

TEST_F(SerialSearchTest, CommandLineUsesTheSerialLink) {
  std::ostringstream out;
  std::ostringstream err;
  const std::vector<std::string> discover{"--serial", path, "--baud", "38400", "discover"};
  EXPECT_EQ(cli::RunCli(discover, out, err, ShortSerialTiming()), cli::kExitSuccess) << err.str();
  EXPECT_EQ(out.str(),
            "KVT2208Z  address (serial line)  DeviceType 0xA1  DeviceAddress 0x01  "
            "DeviceIdentity 00 00 00 00  ModelMatch 1\nConnected - 1\n");

  const std::vector<std::string> dhcp{"--serial", path, "network", "dhcp"};
  EXPECT_EQ(cli::RunCli(dhcp, out, err, ShortSerialTiming()), cli::kExitSuccess) << err.str();
  ASSERT_TRUE(multiviewer->WaitForFrames(CommandCode::SetNetwork, 1, test::kPatience));
  EXPECT_EQ(multiviewer->ReceivedFrames(CommandCode::SetNetwork)[0][6], 0x00);

  // A silent line: the same answer as a silent network (the window's list line, exit 1).
  test::PtyPair silentLine;
  std::ostringstream silentOut;
  const std::vector<std::string> silent{"--serial", silentLine.Path(), "discover"};
  EXPECT_EQ(cli::RunCli(silent, silentOut, err, ShortSerialTiming()), cli::kExitNoDevice);
  EXPECT_EQ(silentOut.str(), "No Device Found\nNo Device Connected\n");

  std::ostringstream missingErr;
  const std::vector<std::string> missing{"--serial", "/dev/quintara-none", "discover"};
  EXPECT_EQ(cli::RunCli(missing, out, missingErr, ShortSerialTiming()), cli::kExitLinkSetup);
  EXPECT_EQ(missingErr.str(), "cannot open serial port /dev/quintara-none\n");
}

// Noise and a cut frame before the answer do not hide it; without the rest of the answer, or on
// a line that hung up in the middle of a read-back, the search and the read-back end as on a
// silent line. Plugged in again under the same name, the port is reopened and serves.
TEST_F(SerialSearchTest, NoiseCutFramesAndHangUpsEndLikeSilenceAndThePortServesAgain) {
  const Frame answer = multiviewer->DiscoverAnswer(LinkKind::Serial);
  const std::vector<std::uint8_t> cut(answer.begin(), answer.begin() + 10);
  std::vector<std::uint8_t> noise(200);
  std::mt19937 random(11);
  for (std::uint8_t& byte : noise) {
    byte = static_cast<std::uint8_t>(random() % frame::kStart);  // no frame starts in it
  }
  const DeviceDirectory& devices = controller.Devices();
  const auto expectNoDevice = [&devices] {
    EXPECT_EQ(devices.Lines(), std::vector<std::string>{"No Device Found"});
    EXPECT_EQ(devices.StatusText(), "No Device Connected");
  };
  const auto expectFound = [&devices] {
    EXPECT_EQ(devices.Lines(), std::vector<std::string>{"KVT2208Z"});
    EXPECT_EQ(devices.StatusText(), "Connected - 1");
  };

  PortName port;
  test::PtyPair line;
  port.Plug(line.Path());
  ASSERT_TRUE(controller.OpenSelectedPort(port.Path(), "115200"));
  {
    const std::jthread device = Play(line, {noise, cut});
    controller.Search();
  }
  expectNoDevice();
  {
    const std::jthread device = Play(line, {noise, cut, answer});
    controller.Search();
  }
  expectFound();

  // A third of the state reply, then the cable is pulled.
  Frame reply = BuildFrame(kMultiviewerType, 0x01, LinkKind::Serial, ViewerCode::ReadState,
                           std::vector<std::uint8_t>(kStateReplySize - frame::kOverhead, 0x5A));
  reply.resize(kStateReplySize / 3);
  const StateImageBytes image = controller.Session().Viewer().StateImage;
  {
    const std::jthread device = Play(line, {reply}, true);
    EXPECT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Unanswered);
  }
  EXPECT_EQ(controller.Session().Viewer().StateImage, image);
  controller.Search();
  expectNoDevice();
  EXPECT_TRUE(prompter.errors.empty());

  sim::SimSerialServer replugged;
  const auto device = std::make_shared<sim::SimMultiviewer>(
      sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, {}));
  std::string error;
  port.Plug(replugged.Add(device, error));
  replugged.Start();
  ASSERT_TRUE(controller.OpenSelectedPort(port.Path(), "115200"));
  controller.Search();
  expectFound();
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  EXPECT_EQ(controller.Session().Viewer().StateImage, device->StateImage());
  EXPECT_TRUE(prompter.errors.empty());
}

}  // namespace
}  // namespace quintara
