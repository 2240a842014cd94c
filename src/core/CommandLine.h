#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/LinkConfig.h"
#include "core/platform/Ipv4Address.h"

namespace quintara {

// The options every Quintara program accepts: where the link binds and searches, and which
// device to command.
// What only quintara-server reads.
struct ServerOptions {
  Ipv4Address listenAddress = Ipv4Address::Loopback();
  std::uint16_t listenPort = 8470;
  int searchIntervalSeconds = 60;  // 0: only at start and on request
  std::optional<std::string> tokenFile;
};

struct GlobalOptions {
  LinkConfig link;
  std::optional<Ipv4Address> device;      // found by a Discover sent to this address
  std::vector<Ipv4Address> devices;       // every --device given, in order (device is the first)
  std::optional<std::string> serialPort;  // use the serial link on this port
  std::string baud = "9600";
  std::optional<int> seconds;            // how long a watching command runs
  std::optional<std::string> presetDir;  // instead of the user's presets folder
  bool json = false;
  bool verbose = false;  // the command line also prints the protocol's diagnostic lines
  bool dryRun = false;   // mv and matrix import print what they would send instead
  bool help = false;
  bool version = false;
  ServerOptions server;
};

// Which program reads the options: the window takes the link options and --serial only, the
// server the link options and its own; each refuses the rest rather than ignore them.
enum class OptionSet { Cli, Window, Server };

struct CommandLine {
  GlobalOptions options;
  std::vector<std::string> arguments;  // what is not a global option, in order
  std::string error;                   // empty when every option was understood
};

// Options may stand anywhere; "--" ends them. Both "--opt value" and "--opt=value" are taken.
CommandLine ParseCommandLine(std::span<const std::string> args, OptionSet set = OptionSet::Cli);

// The options of the set, one line each.
std::string GlobalOptionsHelp(OptionSet set = OptionSet::Cli);

// What --version prints: the program's name and the project's version, one line.
std::string VersionLine(std::string_view program);

}  // namespace quintara
