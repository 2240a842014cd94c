// quintara-cli end to end, in process, against the simulated devices.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "cli/Cli.h"
#include "support/Bytes.h"
#include "support/CliRun.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara::cli {
namespace {

using test::Bytes;
using test::SimulatedLan;
using Frames = std::vector<std::vector<std::uint8_t>>;

using test::CliRun;

class Cli : public ::testing::Test {
 protected:
  // Runs quintara-cli with the simulated LAN's link options before the given arguments.
  CliRun Run(const std::vector<std::string>& args) const {
    return test::RunCliOn(lan.link, args, test::ShortSearchTiming());
  }

  static std::string Device(const Ipv4Address& address) { return address.ToText(); }

  SimulatedLan lan;
};

TEST_F(Cli, DiscoverPrintsEveryDeviceAndTheStatus) {
  const CliRun run = Run({"discover"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("KVT2208Z_127.0.0.31  address 127.0.0.31  DeviceType 0xA1  "
                         "DeviceAddress 0x01  DeviceIdentity 51 54 00 01  ModelMatch 1\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("MATRIX8_127.0.0.32  address 127.0.0.32  DeviceType 0x82"),
            std::string::npos);
  EXPECT_NE(run.out.find("MATRIX16_127.0.0.33  address 127.0.0.33  DeviceType 0x83"),
            std::string::npos);
  EXPECT_TRUE(run.out.ends_with("\nConnected - 3\n")) << run.out;
}

TEST_F(Cli, DiscoverAsJsonIsOneDocument) {
  const CliRun run = Run({"--json", "--device", Device(SimulatedLan::kMultiviewer), "discover"});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_EQ(run.out,
            "{\"devices\":[{\"line\":\"KVT2208Z_127.0.0.31\",\"address\":\"127.0.0.31\","
            "\"DeviceType\":161,\"DeviceAddress\":1,\"DeviceIdentity\":[81,84,0,1],"
            "\"ModelMatch\":1}],\"list\":[\"KVT2208Z_127.0.0.31\"],"
            "\"status\":\"Connected - 1\"}\n");
}

TEST_F(Cli, DeviceCommandsArriveByteExact) {
  const std::string multiviewer = Device(SimulatedLan::kMultiviewer);
  CliRun run = Run({"--device", multiviewer, "lock", "on"});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out, "SetLock sent to KVT2208Z_127.0.0.31\n");
  EXPECT_EQ(Run({"--device", multiviewer, "network", "static", "192.168.1.50"}).status,
            kExitSuccess);
  EXPECT_EQ(Run({"--device", multiviewer, "network", "dhcp"}).status, kExitSuccess);
  EXPECT_EQ(Run({"--device", Device(SimulatedLan::kMatrix16), "name", "Rack 2 \xC3\xA9"}).status,
            kExitSuccess);

  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetNetwork, 2, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetLock),
            Frames{Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 50 01 1A 02 AE")});
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork),
            (Frames{Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 C0 A8 01 32 "
                          "00 00 00 00 00 00 00 00 00 75 03 AE"),
                    Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 00 00 00 00 "
                          "00 00 00 00 00 00 00 00 01 DB 01 AE")}));
  ASSERT_TRUE(lan.matrix16->WaitForFrames(CommandCode::SetDeviceName, 1, test::kPatience));
  const auto name = lan.matrix16->ReceivedFrames(CommandCode::SetDeviceName)[0];
  EXPECT_EQ(std::vector<std::uint8_t>(name.begin(), name.begin() + 17),
            Bytes("A5 6C 24 00 83 01 01 00 00 00 00 00 00 00 00 00 0F"));
  EXPECT_EQ(std::vector<std::uint8_t>(name.begin() + 17, name.end() - 3),
            Bytes("52 00 61 00 63 00 6B 00 20 00 32 00 20 00 E9 00"));
}

TEST_F(Cli, MultiviewerCommandsStateAndWatch) {
  const std::string multiviewer = Device(SimulatedLan::kMultiviewer);
  CliRun run = Run({"--device", multiviewer, "mv", "layout", "60"});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out, "SetLayout sent to KVT2208Z_127.0.0.31\n");
  EXPECT_EQ(Run({"--device", multiviewer, "mv", "umd-back-colour", "all", "Red"}).status,
            kExitSuccess);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(0x3C, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->State().LayoutCode, 60);
  EXPECT_EQ(lan.multiviewer->State().UmdBackColour[15], 2);

  run = Run({"--json", "--device", multiviewer, "mv", "state"});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_NE(run.out.find("\"LayoutCode\":60,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"name\":\"KVT2208Z\""), std::string::npos);

  std::thread frontPanel([this] {
    EXPECT_TRUE(test::AwaitUdpPortBound(lan.link.statusPort));  // mv watch listens
    lan.multiviewer->SetLayout(42);
  });
  run = Run({"--seconds", "1", "--device", multiviewer, "mv", "watch"});
  frontPanel.join();
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out, "0x33 layout: 42\n");

  EXPECT_EQ(Run({"--device", multiviewer, "mv", "layout", "200"}).status, kExitUsage);
  EXPECT_EQ(Run({"--device", multiviewer, "mv", "meter-channels", "3", "8"}).status, kExitUsage);
}

TEST_F(Cli, WindowSourcesAndRoutesGoOutAsTheirArgumentsSay) {
  const std::string multiviewer = Device(SimulatedLan::kMultiviewer);
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::uint8_t>>> cases{
      {{"source", "3", "7"}, Bytes("34 07 03")},
      {{"route", "2", "9"}, Bytes("34 09 02")},
  };
  for (std::size_t n = 0; n < cases.size(); ++n) {
    std::vector<std::string> args{"--device", multiviewer, "mv"};
    args.insert(args.end(), cases[n].first.begin(), cases[n].first.end());
    const CliRun run = Run(args);
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "SetWindowSource sent to KVT2208Z_127.0.0.31\n");
    ASSERT_TRUE(lan.multiviewer->WaitForFrames(0x34, n + 1, test::kPatience));
    const std::vector<std::uint8_t> frame = lan.multiviewer->ReceivedFrames(0x34)[n];
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 16, frame.begin() + 19), cases[n].second);
  }
}

TEST_F(Cli, UnusableStaticAddressIsRefusedWithTheDevicesMessage) {
  const CliRun run =
      Run({"--device", Device(SimulatedLan::kMultiviewer), "network", "static", "0.0.0.0"});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_EQ(run.err, "Please input the IP\n");
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork).empty());
  EXPECT_TRUE(lan.multiviewer->Received().empty()) << "refused before the search, as exit 2 says";
}

TEST_F(Cli, AudioSourceTakesZeroForOffAsSettingsFilesWriteIt) {
  const CliRun run =
      Run({"--device", Device(SimulatedLan::kMultiviewer), "mv", "audio-source", "0"});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(0x39, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(0x39)[0].at(17), 0);
  EXPECT_EQ(
      Run({"--device", Device(SimulatedLan::kMultiviewer), "mv", "audio-source", "17"}).status,
      kExitUsage);
}

TEST_F(Cli, SilentDeviceExitsWithOne) {
  const CliRun run = Run({"--device", "127.0.0.39", "lock", "off"});
  EXPECT_EQ(run.status, kExitNoDevice);
  EXPECT_EQ(run.err, "no answer from 127.0.0.39\n");
  EXPECT_EQ(Run({"--device", "127.0.0.39", "discover"}).status, kExitNoDevice);
}

TEST_F(Cli, BadUsageExitsWithTwoBeforeAnythingIsSent) {
  const std::string multiviewer = Device(SimulatedLan::kMultiviewer);
  const std::string matrix8 = Device(SimulatedLan::kMatrix8);
  const std::vector<std::vector<std::string>> misuses{
      {},
      {"lock", "on"},  // no --device
      {"--device", multiviewer, "lock", "maybe"},
      {"--device", multiviewer, "name", "seventeen chars!!"},
      {"--device", multiviewer, "name", "\xFF"},
      {"--device", multiviewer, "network", "static", "10.0.0"},
      {"--device", multiviewer, "reboot"},
      {"discover", "now"},
      {"--colour", "discover"},
      {"--device", matrix8, "matrix", "route", "1", ""},  // no output: no route to send
      {"--device", matrix8, "matrix", "route", "1", "2,"},
      {"--device", matrix8, "matrix", "route", "1", ",2"},
  };
  for (const auto& args : misuses) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.status, kExitUsage) << args.size();
    EXPECT_TRUE(run.err.starts_with("quintara-cli: ")) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_TRUE(lan.multiviewer->Received().empty());
  EXPECT_TRUE(lan.matrix8->Received().empty());
  EXPECT_EQ(Run({"--help"}).status, kExitSuccess);
}

}  // namespace
}  // namespace quintara::cli
