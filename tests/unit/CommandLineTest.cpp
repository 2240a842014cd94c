#include <gtest/gtest.h>

#include "core/CommandLine.h"

namespace quintara {
namespace {

CommandLine Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

TEST(GlobalOptions, DefaultsAreTheDeviceProtocols) {
  const CommandLine parsed = Parse({"discover"});
  ASSERT_EQ(parsed.error, "");
  const LinkConfig& link = parsed.options.link;
  EXPECT_EQ(link.bindAddress, Ipv4Address::Any());
  EXPECT_EQ(link.searchTargets, std::vector<Ipv4Address>{Ipv4Address::Broadcast()});
  EXPECT_EQ(link.devicePort, 7000);
  EXPECT_EQ(link.localPort, 7000);
  EXPECT_EQ(link.statusPort, 7001);
  EXPECT_FALSE(parsed.options.device);
  EXPECT_EQ(parsed.arguments, std::vector<std::string>{"discover"});
}

TEST(GlobalOptions, OverridesStandAnywhereAndTargetsAccumulate) {
  const CommandLine parsed =
      Parse({"--target", "127.0.0.11", "name", "--bind=127.0.0.1", "--target=127.0.0.12",
             "--device-port", "7100", "--local-port=7200", "--status-port", "7201", "--json",
             "--device", "127.0.0.11", "--", "--odd name"});
  ASSERT_EQ(parsed.error, "");
  const LinkConfig& link = parsed.options.link;
  EXPECT_EQ(link.bindAddress, Ipv4Address::Loopback());
  EXPECT_EQ(link.searchTargets, (std::vector<Ipv4Address>{{{127, 0, 0, 11}}, {{127, 0, 0, 12}}}));
  EXPECT_EQ(link.devicePort, 7100);
  EXPECT_EQ(link.localPort, 7200);
  EXPECT_EQ(link.statusPort, 7201);
  EXPECT_TRUE(parsed.options.json);
  EXPECT_EQ(parsed.options.device, (Ipv4Address{{127, 0, 0, 11}}));
  EXPECT_EQ(parsed.arguments, (std::vector<std::string>{"name", "--odd name"}));
}

TEST(GlobalOptions, UnusableValuesAreNamedInTheError) {
  EXPECT_EQ(Parse({"--bind", "1.2.3"}).error, "--bind takes an IPv4 address, not '1.2.3'");
  EXPECT_EQ(Parse({"--target", "256.0.0.1"}).error,
            "--target takes an IPv4 address, not '256.0.0.1'");
  EXPECT_EQ(Parse({"--device-port", "0"}).error,
            "--device-port takes a port number from 1 to 65535, not '0'");
  EXPECT_EQ(Parse({"--status-port=70000"}).error,
            "--status-port takes a port number from 1 to 65535, not '70000'");
  EXPECT_EQ(Parse({"--device"}).error, "--device needs a value");
  EXPECT_EQ(Parse({"--quiet"}).error, "unknown option --quiet");
  EXPECT_EQ(Parse({"--json=yes"}).error, "--json takes no value");
  EXPECT_EQ(Parse({"--verbose=1"}).error, "--verbose takes no value");
  EXPECT_TRUE(Parse({"--verbose"}).options.verbose);
}

// The window takes what it uses and refuses the rest, and its help (and so its man page) lists
// exactly that; the command line takes and lists everything.
TEST(GlobalOptions, TheWindowTakesAndListsOnlyTheOptionsItUses) {
  const std::vector<std::string> windowArgs{"--bind",   "127.0.0.1",  "--target=127.0.0.11",
                                            "--serial", "/dev/pts/3", "--status-port",
                                            "7201",     "--version"};
  const CommandLine window = ParseCommandLine(windowArgs, OptionSet::Window);
  ASSERT_EQ(window.error, "");
  EXPECT_EQ(window.options.serialPort, "/dev/pts/3");
  EXPECT_EQ(window.options.link.statusPort, 7201);
  EXPECT_TRUE(window.options.version);
  for (const std::string option :
       {"--device", "--baud", "--seconds", "--json", "--dry-run", "--verbose"}) {
    const std::vector<std::string> args{option, "1"};
    EXPECT_EQ(ParseCommandLine(args, OptionSet::Window).error, "unknown option " + option);
    EXPECT_EQ(GlobalOptionsHelp(OptionSet::Window).find("  " + option + " "), std::string::npos)
        << option;
    EXPECT_NE(GlobalOptionsHelp().find("  " + option + " "), std::string::npos) << option;
  }
  for (const std::string option : {"--bind", "--target", "--device-port", "--local-port",
                                   "--status-port", "--serial", "--help", "--version"}) {
    EXPECT_NE(GlobalOptionsHelp(OptionSet::Window).find("  " + option + " "), std::string::npos)
        << option;
  }
}

}  // namespace
}  // namespace quintara
