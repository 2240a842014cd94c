// What scripts rely on from quintara-cli: an unanswered read-back is a failure and prints no
// state; every printing command holds --json; each exit status means one thing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "cli/Cli.h"
#include "core/viewer/protocol/ReadBack.h"
#include "support/CliRun.h"
#include "support/CraftedDevice.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara::cli {
namespace {

using test::SimulatedLan;

using test::CliRun;

LinkTiming QuickTiming() {
  LinkTiming timing = test::ShortSearchTiming();
  timing.readBackWindowMs = 300;
  return timing;
}

CliRun RunWith(const LinkConfig& link, const std::vector<std::string>& args) {
  return test::RunCliOn(link, args, QuickTiming());
}

// A multiviewer (or switcher) that answers the search and then only with the given replies.
struct Crafted {
  Crafted(std::uint8_t type, std::vector<std::vector<std::uint8_t>> replies)
      : port(test::FreeUdpPort(kAddress)),
        link(test::LoopbackLink({kAddress}, port)),
        peer({kAddress, port},
             {test::DiscoverAnswer(type, 0x01, test::NameAndIdentity("KVT2208Z", {1, 2, 3, 4}))},
             {}, std::move(replies)) {}

  CliRun Run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--device", kAddress.ToText()});
    return RunWith(link, args);
  }

  static constexpr Ipv4Address kAddress{{127, 0, 0, 51}};
  std::uint16_t port;
  LinkConfig link;
  test::CraftedPeer peer;
};

std::vector<std::uint8_t> StateReply(std::uint8_t type, std::size_t size) {
  std::vector<std::uint8_t> reply(size, 0);
  reply[frame::kDeviceTypeOffset] = type;
  reply[frame::kCommandCodeOffset] = 0x0A;
  return reply;
}

TEST(CliPromises, UnansweredReadBackExitsOneAndPrintsNoState) {
  const std::vector<std::vector<std::vector<std::uint8_t>>> unanswered{
      {}, {StateReply(0xA1, kStateReplySize - 1)}, {StateReply(0xA2, kStateReplySize)}};
  for (const auto& replies : unanswered) {
    const Crafted device(0xA1, replies);
    const CliRun run = device.Run({"mv", "state"});
    EXPECT_EQ(run.status, kExitNoDevice);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "no state reply from KVT2208Z_127.0.0.51: the read-back went unanswered\n");
  }
  const Crafted answering(0xA1, {StateReply(0xA1, kStateReplySize)});
  const CliRun run = answering.Run({"--json", "mv", "state"});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  const auto state = nlohmann::json::parse(run.out);
  EXPECT_EQ(state["name"], "");
  EXPECT_EQ(state["nameShown"], "Custom Name");
  EXPECT_EQ(state["WindowSignalPresent"].size(), 16u);
}

TEST(CliPromises, UnansweredMatrixQuerySaysSoInOneLineUnlessVerbose) {
  const Crafted silent(0x82, {});
  CliRun run = silent.Run({"matrix", "status"});
  EXPECT_EQ(run.status, kExitNoDevice);
  EXPECT_EQ(run.err, "no status reply from KVT2208Z_127.0.0.51: the query went unanswered\n");
  run = silent.Run({"--verbose", "matrix", "backlight"});
  EXPECT_EQ(run.status, kExitNoDevice);
  std::size_t readLenLines = 0;
  for (std::size_t at = run.err.find("readLen = 255 \n"); at != std::string::npos;
       at = run.err.find("readLen = 255 \n", at + 1)) {
    ++readLenLines;
  }
  EXPECT_EQ(readLenLines, 20u);
}

class CliOnTheLan : public ::testing::Test {
 protected:
  CliRun Run(std::vector<std::string> args) const { return RunWith(lan.link, std::move(args)); }
  SimulatedLan lan;
};

TEST_F(CliOnTheLan, EveryPrintingCommandHoldsJson) {
  const std::string multiviewer = SimulatedLan::kMultiviewer.ToText();
  std::thread frontPanel([this] {
    EXPECT_TRUE(test::AwaitUdpPortBound(lan.link.statusPort));  // mv watch listens
    lan.multiviewer->SetLayout(42);
  });
  CliRun run = Run({"--json", "--seconds", "1", "--device", multiviewer, "mv", "watch"});
  frontPanel.join();
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out,
            "{\"code\":51,\"codeHex\":\"0x33\",\"report\":\"layout\",\"values\":[42],"
            "\"applied\":true}\n");

  run = Run({"--json", "--device", SimulatedLan::kMatrix8.ToText(), "matrix", "backlight"});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  const auto backlight = nlohmann::json::parse(run.out);
  EXPECT_TRUE(backlight.contains("backlightTimeText"));
  EXPECT_TRUE(backlight.contains("brightness"));
  EXPECT_EQ(run.err, "") << "the protocol's diagnostic lines wait for --verbose";

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--json", "--device", multiviewer, "lock", "off"},
        std::vector<std::string>{"--json", "--device", multiviewer, "mv", "state"},
        std::vector<std::string>{"--json", "discover"}}) {
    run = Run(args);
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_TRUE(nlohmann::json::accept(run.out)) << run.out;
  }
}

TEST_F(CliOnTheLan, StateTextShowsTheNameAsTheWindowDoesInAlignedColumns) {
  const std::string multiviewer = SimulatedLan::kMultiviewer.ToText();
  ASSERT_EQ(Run({"--device", multiviewer, "name", ""}).status, kExitSuccess);
  ASSERT_EQ(Run({"--device", multiviewer, "mv", "umd-text", "3", "CAM 3"}).status, kExitSuccess);
  const CliRun run = Run({"--device", multiviewer, "mv", "state"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_TRUE(run.out.starts_with("name Custom Name  ")) << run.out;
  // Every row of the inputs' table has its colours where the heading has them.
  std::istringstream lines(run.out);
  std::size_t column = std::string::npos;
  int rows = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("input")) {
      column = line.find("text/back colour");
    } else if (column != std::string::npos && !line.empty() && rows < 16) {
      EXPECT_EQ(line.find_first_not_of(' ', column - 1), column) << line;
      ++rows;
    }
  }
  EXPECT_EQ(rows, 16);
}

// The program's own process, standard output on /dev/full: a backup written to a full disk must
// not pass for a good one.
TEST_F(CliOnTheLan, ResultsThatCannotBeWrittenFailTheRun) {
  const std::string multiviewer = SimulatedLan::kMultiviewer.ToText();
  const std::vector<std::vector<std::string>> printing{
      {"--help"},
      {"--device", multiviewer, "discover"},
      {"--device", multiviewer, "lock", "off"},
      {"--device", multiviewer, "mv", "state"},
      {"--device", multiviewer, "mv", "export"},
      {"--json", "--device", multiviewer, "mv", "state"},
      {"--device", SimulatedLan::kMatrix16.ToText(), "matrix", "status"}};
  for (const std::vector<std::string>& args : printing) {
    const CliRun full = test::RunCliProgramOn(QUINTARA_CLI_PROGRAM, lan.link, args, "/dev/full");
    EXPECT_EQ(full.status, kExitOutputFailed) << args.back();
    EXPECT_EQ(full.err, "quintara-cli: cannot write the results to standard output\n");
    EXPECT_EQ(test::RunCliProgramOn(QUINTARA_CLI_PROGRAM, lan.link, args, "/dev/null").status,
              kExitSuccess)
        << args.back();
  }
  LinkConfig silent = lan.link;
  silent.searchTargets = {Ipv4Address{{127, 0, 0, 39}}};
  const CliRun unanswered =
      test::RunCliProgramOn(QUINTARA_CLI_PROGRAM, silent, {"discover"}, "/dev/full");
  EXPECT_EQ(unanswered.status, kExitNoDevice) << "a run that failed first keeps its own status";
  EXPECT_NE(unanswered.err.find("cannot write the results"), std::string::npos);
}

bool HoldsControlCharacters(const std::string& text) {
  return text.find("\xC2\x9B") != std::string::npos ||
         std::ranges::any_of(text,
                             [](unsigned char c) { return (c < 0x20 && c != '\n') || c == 0x7F; });
}

// Names and labels come from the network: on a terminal they are shown escaped, never obeyed.
TEST_F(CliOnTheLan, DeviceTextReachesTheTerminalEscaped) {
  const std::string multiviewer = SimulatedLan::kMultiviewer.ToText();
  const std::string matrix16 = SimulatedLan::kMatrix16.ToText();
  const std::string hostile = "\x1B[2J\\\xC2\x9B";  // clear screen, a backslash, C1 CSI
  const std::string shown = "\\x1b[2J\\\\\\x9b";
  ASSERT_EQ(Run({"--device", multiviewer, "name", hostile}).status, kExitSuccess);
  ASSERT_EQ(Run({"--device", matrix16, "name", hostile}).status, kExitSuccess);
  ASSERT_EQ(Run({"--device", multiviewer, "mv", "umd-text", "3", hostile}).status, kExitSuccess);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"discover"},
        std::vector<std::string>{"--device", multiviewer, "lock", "off"},
        std::vector<std::string>{"--device", multiviewer, "mv", "state"},
        std::vector<std::string>{"--device", matrix16, "matrix", "status"}}) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_NE(run.out.find(shown), std::string::npos) << run.out;
    EXPECT_FALSE(HoldsControlCharacters(run.out)) << run.out;
  }
  const CliRun state = Run({"--device", multiviewer, "mv", "state"});
  EXPECT_NE(state.out.find("\n3      " + shown + "      1      "), std::string::npos)
      << "the label's column is as wide as its escaped text";

  const CliRun json = Run({"--json", "--device", multiviewer, "lock", "off"});
  EXPECT_EQ(nlohmann::json::parse(json.out)["device"], hostile + "_" + multiviewer)
      << "JSON carries the text as sent, escaped its own way";
}

TEST_F(CliOnTheLan, DiscoverWithoutAnswersListsNoDeviceFoundAndExitsOne) {
  LinkConfig silent = lan.link;
  silent.searchTargets = {Ipv4Address{{127, 0, 0, 39}}};
  const CliRun run = RunWith(silent, {"discover"});
  EXPECT_EQ(run.status, kExitNoDevice);
  EXPECT_EQ(run.out, "No Device Found\nNo Device Connected\n");
}

// A command group drives only its own kinds of device: nothing but the search reaches another.
TEST_F(CliOnTheLan, ACommandGroupRefusesADeviceOfAnotherKind) {
  const std::string matrix16 = SimulatedLan::kMatrix16.ToText();
  const std::string multiviewer = SimulatedLan::kMultiviewer.ToText();
  const CliRun layout = Run({"--device", matrix16, "mv", "layout", "60"});
  EXPECT_EQ(layout.status, kExitUsage);
  EXPECT_EQ(layout.err, "the device is not a multiviewer\n");
  const CliRun route = Run({"--device", multiviewer, "matrix", "route", "1", "2"});
  EXPECT_EQ(route.status, kExitUsage);
  EXPECT_EQ(route.err, "the device is not a matrix switcher\n");
  for (const sim::SimDevice* device : {static_cast<sim::SimDevice*>(lan.matrix16.get()),
                                       static_cast<sim::SimDevice*>(lan.multiviewer.get())}) {
    for (const auto& message : device->Received()) {
      EXPECT_EQ(message.bytes.at(frame::kCommandCodeOffset), CommandCode::Discover);
    }
  }
}

TEST_F(CliOnTheLan, EightChannelSwitcherRefusesInputsAboveEight) {
  const std::string matrix8 = SimulatedLan::kMatrix8.ToText();
  EXPECT_EQ(Run({"--device", matrix8, "matrix", "route", "9", "1"}).status, kExitUsage);
  EXPECT_EQ(Run({"--device", matrix8, "matrix", "all", "9"}).status, kExitUsage);
  for (const auto& message : lan.matrix8->Received()) {
    EXPECT_EQ(message.bytes.at(frame::kCommandCodeOffset), CommandCode::Discover)
        << "only the searches reached the switcher";
  }
}

TEST_F(CliOnTheLan, LocalPortHeldElsewhereIsExitThreeNotASilentDevice) {
  std::optional<UdpSocket> squatter = UdpSocket::Create();
  ASSERT_TRUE(squatter && squatter->Bind({lan.link.bindAddress, lan.link.localPort}));
  const CliRun run = Run({"discover"});
  EXPECT_EQ(run.status, kExitLinkSetup);
  EXPECT_NE(run.err.find("cannot set up the search socket on local port " +
                         std::to_string(lan.link.localPort)),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace quintara::cli
