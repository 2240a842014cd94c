// The serial search and serial sends over real pseudo-terminals, against the simulated devices.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "cli/Cli.h"
#include "core/Controller.h"
#include "sim/SimSerialServer.h"
#include "support/Bytes.h"
#include "support/Pty.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using namespace std::chrono_literals;

LinkTiming ShortSerialTiming() {
  LinkTiming timing;
  timing.serialSearchWindowMs = 600;
  return timing;
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

  ASSERT_TRUE(controller.SetLock(1));
  ASSERT_TRUE(multiviewer->WaitForFrames(CommandCode::SetLock, 1, 2s));
  EXPECT_EQ(multiviewer->ReceivedFrames(CommandCode::SetLock)[0],
            test::Bytes("A5 6C 15 00 A1 01 00 00 00 00 00 00 00 00 00 00 50 01 19 02 AE"));
  EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(SerialSearchTest, ClosedPortRefusesTheSearchAndSendsNothing) {
  controller.Search();
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please open the serial port first!"});
  EXPECT_TRUE(observer.calls.empty());
  EXPECT_FALSE(controller.SetLock(1));
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
  ASSERT_TRUE(multiviewer->WaitForFrames(CommandCode::SetNetwork, 1, 2s));
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

}  // namespace
}  // namespace quintara
