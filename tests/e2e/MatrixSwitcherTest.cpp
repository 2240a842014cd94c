// The matrix switcher operations against the simulated switchers, on loopback and on a serial
// line: routes applied and read back, backlight and format set and read back, frames exact.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "cli/Cli.h"
#include "core/Controller.h"
#include "core/matrix/MatrixCommands.h"
#include "sim/SimSerialServer.h"
#include "support/Bytes.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using test::Bytes;
using test::SimulatedLan;

class MatrixSwitchers : public ::testing::Test {
 protected:
  MatrixSwitchers() : controller(lan.link, test::ShortSearchTiming(), clock, prompter, observer) {
    controller.SetDiagnostics(diagnostics);
  }

  SimulatedLan lan;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  std::ostringstream diagnostics;
  Controller controller;
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);

  // Searches and selects the device at this address; the recording panel follows it.
  bool Select(const Ipv4Address& address) {
    const bool found = test::SearchAndSelect(controller, address);
    attached = observer.AttachTo(controller);
    return found;
  }
};

TEST_F(MatrixSwitchers, EightChannelRoutesAreAppliedAndReadBack) {
  ASSERT_TRUE(Select(SimulatedLan::kMatrix8));
  MatrixCommands commands(controller.Session(), kEightChannelType);
  MatrixState& matrix = controller.Session().Matrix();
  ASSERT_EQ(commands.RouteToOutputs(3, MatrixOutputs{0b1001}), CommandResult::Sent);
  ASSERT_EQ(commands.RouteToAll(7), CommandResult::Sent);
  matrix.statusTable = {};
  ASSERT_TRUE(commands.ReadMatrixStatus());
  EXPECT_EQ(matrix.statusTable[0], 7);
  EXPECT_EQ(observer.nameField, u"MATRIX8");
  EXPECT_EQ(observer.calls.back(), "RefreshMatrixStatus");

  const auto texts = lan.matrix8->Received();
  EXPECT_EQ(std::string(texts[texts.size() - 3].bytes.begin(), texts[texts.size() - 3].bytes.end()),
            "3V1,4.");
  EXPECT_EQ(lan.matrix8->ReceivedFrames(MatrixCode::ReadMatrixStatus)[0],
            Bytes("A5 6C 14 00 82 01 01 00 00 00 00 00 00 00 00 00 53 FC 01 AE"));
  EXPECT_NE(diagnostics.str().find("readLen = 64 \n"), std::string::npos);
  EXPECT_TRUE(diagnostics.str().ends_with("read matrix \n"));

  ASSERT_EQ(commands.RouteOneToOne(), CommandResult::Sent);
  ASSERT_TRUE(commands.ReadMatrixStatus());
  EXPECT_EQ(matrix.statusTable[7], 8);
}

TEST_F(MatrixSwitchers, BacklightAndFormatAreSetAndReadBack) {
  ASSERT_TRUE(Select(SimulatedLan::kMatrix16));
  MatrixCommands commands(controller.Session(), kSixteenChannelType);
  MatrixState& matrix = controller.Session().Matrix();
  ASSERT_EQ(commands.SetBacklightTime(0), CommandResult::Sent);
  ASSERT_EQ(commands.SetBacklightBrightness(50), CommandResult::Sent);
  ASSERT_EQ(commands.SetMatrixOutputFormat(11), CommandResult::Sent);  // "720p60"
  EXPECT_EQ(lan.matrix16->ReceivedFrames(MatrixCode::SetBacklightBrightness)[0],
            Bytes("A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 00 52 32 AF 01 AE"));

  matrix = MatrixState{};
  ASSERT_TRUE(commands.ReadBacklight());
  ASSERT_TRUE(commands.ReadMatrixStatus());
  EXPECT_EQ(matrix.backlightTime, 0);
  EXPECT_EQ(matrix.backlightBrightness, 50);
  EXPECT_EQ(matrix.outputFormatIndex, 11);
  EXPECT_EQ(lan.matrix16->ReceivedFrames(MatrixCode::ReadBacklight)[0],
            Bytes("A5 6C 14 00 03 01 01 00 00 00 00 00 00 00 00 00 50 7A 01 AE"));

  controller.Session().SetLock(1);  // the switcher is locked now, and so are the backlight setters
  EXPECT_EQ(commands.SetBacklightTime(0), CommandResult::RefusedLocked);
  ASSERT_TRUE(commands.ReadMatrixStatus());
  EXPECT_EQ(controller.Session().LockState(), 1);
}

TEST_F(MatrixSwitchers, QueriesOnTheSerialLineAndWithoutAPort) {
  MatrixCommands unconnected(controller.Session(), kSixteenChannelType);
  controller.SetLinkKind(LinkKind::Serial);
  EXPECT_FALSE(unconnected.ReadMatrixStatus());  // port closed: nothing at all, not even a refresh
  EXPECT_TRUE(observer.calls.empty());
  EXPECT_EQ(diagnostics.str(), "");

  sim::SimSerialServer serial;
  std::string error;
  auto device =
      std::make_shared<sim::SimMatrix>(sim::SimDeviceConfig::Of(sim::DeviceKind::Matrix16, {}));
  const std::string path = serial.Add(device, error);
  serial.Start();
  ASSERT_TRUE(controller.OpenSelectedPort(path, "9600"));
  controller.Search();
  MatrixCommands commands(controller.Session(), kSixteenChannelType);
  ASSERT_EQ(commands.RouteToOutputs(12, MatrixOutputs{(1u << 9) | (1u << 15)}),
            CommandResult::Sent);
  ASSERT_TRUE(commands.ReadMatrixStatus());
  EXPECT_EQ(controller.Session().Matrix().statusTable[9], 12);
  EXPECT_EQ(device->State().routes[15], 12);
  EXPECT_EQ(device->ReceivedFrames(MatrixCode::ReadMatrixStatus)[0],
            Bytes("A5 6C 14 00 83 01 00 00 00 00 00 00 00 00 00 00 53 FC 01 AE"));
}

TEST_F(MatrixSwitchers, WithoutADeviceNothingLeavesAndNothingIsAwaited) {
  MatrixCommands commands(controller.Session(), kEightChannelType);
  EXPECT_EQ(commands.SetBacklightTime(2), CommandResult::NotSent);
  EXPECT_FALSE(commands.ReadMatrixStatus());
  EXPECT_EQ(prompter.errors,
            (std::vector<std::string>{"Please choose a device", "Please choose a device"}));
  EXPECT_EQ(diagnostics.str(), "read matrix \n");  // no socket: no twenty empty polls
  EXPECT_EQ(observer.calls, std::vector<std::string>{"RefreshMatrixStatus"});
  EXPECT_TRUE(lan.matrix8->Received().empty());
}

TEST_F(MatrixSwitchers, ValueSettersAndQueriesLeaveFromAnotherPortWhenTheCommandPortIsHeld) {
  ASSERT_TRUE(Select(SimulatedLan::kMatrix16));
  std::optional<UdpSocket> squatter = UdpSocket::Create();
  ASSERT_TRUE(squatter && squatter->Bind({lan.link.bindAddress, lan.link.localPort}));
  MatrixCommands commands(controller.Session(), kSixteenChannelType);
  EXPECT_EQ(commands.SetBacklightBrightness(40), CommandResult::Sent);
  EXPECT_EQ(observer.statusText, "Port busy: sent from another port");
  EXPECT_TRUE(commands.ReadBacklight()) << "the reply comes back to the port it left from";
  ASSERT_TRUE(lan.matrix16->WaitForFrames(MatrixCode::SetBacklightBrightness, 1, test::kPatience));

  // Routing texts and the other commands still need the command port.
  EXPECT_EQ(commands.RouteToAll(3), CommandResult::NotSent);
  EXPECT_FALSE(controller.Session().SetLock(1));
  EXPECT_NE(controller.Network().SetupFailure().find("cannot bind local port"), std::string::npos);
}

TEST_F(MatrixSwitchers, CommandLineRoutesAndReadsStatus) {
  const LinkConfig& link = lan.link;
  const std::vector<std::string> base{"--bind",        link.bindAddress.ToText(),
                                      "--local-port",  std::to_string(link.localPort),
                                      "--device-port", std::to_string(link.devicePort),
                                      "--device",      SimulatedLan::kMatrix16.ToText()};
  const auto run = [&](std::vector<std::string> args, std::string& out) {
    args.insert(args.begin(), base.begin(), base.end());
    std::ostringstream o;
    std::ostringstream e;
    const int status = cli::RunCli(args, o, e, test::ShortSearchTiming());
    out = o.str();
    return status;
  };
  std::string out;
  EXPECT_EQ(run({"matrix", "route", "12", "9,10,16"}, out), cli::kExitSuccess);
  EXPECT_EQ(out, "RouteToOutputs sent to MATRIX16_127.0.0.33\n");
  EXPECT_EQ(run({"matrix", "output-format", "1080i50"}, out), cli::kExitSuccess);
  EXPECT_EQ(run({"--json", "matrix", "status"}, out), cli::kExitSuccess);
  EXPECT_NE(out.find("\"statusTable\":[1,2,3,4,5,6,7,8,12,12,11,12,13,14,15,12]"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\"outputFormat\":\"1080i50\""), std::string::npos);
  EXPECT_EQ(run({"matrix", "brightness", "101"}, out), cli::kExitUsage);
}

}  // namespace
}  // namespace quintara
