#include "core/CommandLine.h"

#include <algorithm>
#include <charconv>

#include "core/Version.h"
#include "core/link/SerialPortList.h"

namespace quintara {
namespace {

// Which programs read an option: a set of OptionSet bits.
enum Readers : unsigned {
  kCli = 1u << static_cast<unsigned>(OptionSet::Cli),
  kWindow = 1u << static_cast<unsigned>(OptionSet::Window),
  kServer = 1u << static_cast<unsigned>(OptionSet::Server),
  kEvery = kCli | kWindow | kServer,
};

struct OptionEntry {
  std::string_view usage;  // the option and the name of its value, as the help shows them
  std::string_view help;
  unsigned readers = kEvery;

  std::string_view Name() const { return usage.substr(0, usage.find(' ')); }
  bool TakesValue() const { return usage.find(' ') != std::string_view::npos; }
  bool ReadBy(OptionSet set) const { return (readers & (1u << static_cast<unsigned>(set))) != 0; }
};

// The window has its own serial settings and prints nothing, so it takes the link options and a
// serial port to offer, nothing else. The server takes the link options of the command line and
// its own.
constexpr OptionEntry kOptions[] = {
    {"--bind ADDR", "local address of the link's sockets (default 0.0.0.0, every interface)"},
    {"--target ADDR", "where the search is sent; repeatable (default 255.255.255.255)"},
    {"--device-port N", "devices' search and command port (default 7000)"},
    {"--local-port N", "local port of the search and command socket (default 7000)"},
    {"--status-port N", "local port of status reports (default 7001)"},
    {"--device ADDR", "the device to command, found by a search sent to ADDR (repeatable)", kCli},
    {"--preset-dir DIR", "the presets folder (default ~/.config/quintara/presets)"},
    {"--serial PORT", "use the serial link on PORT (a name such as ttyUSB0, or a path)",
     kCli | kServer},
    {"--serial PORT", "add PORT (ttyUSB0, or a path) to Link Settings' serial port list", kWindow},
    {"--baud N", "serial rate: 9600 (default), 19200, 38400, 57600 or 115200", kCli | kServer},
    {"--seconds N", "how long a watching command runs", kCli},
    {"--json", "print results as JSON (one document; mv watch: one per line)", kCli},
    {"--dry-run", "mv and matrix import: print what they would send, send none", kCli},
    {"--listen ADDR:PORT", "where HTTP is served (default 127.0.0.1:8470; port 0: any free one)",
     kServer},
    {"--search-interval N", "search again every N seconds; 0 never (default 60)", kServer},
    {"--token-file PATH", "every request must carry the token this file holds (Bearer)", kServer},
    {"--verbose", "also print the protocol's diagnostic lines (readLen = ...) on stderr",
     kCli | kServer},
    {"--help", "this text"},
    {"--version", "print the version and exit"},
};

const OptionEntry* FindOption(std::string_view name, OptionSet set) {
  for (const OptionEntry& entry : kOptions) {
    if (entry.Name() == name && entry.ReadBy(set)) {
      return &entry;
    }
  }
  return nullptr;
}

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value == 0 ||
      value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

// A decimal number from low to high, the whole text.
bool ReadWholeNumber(std::string_view text, int low, int high, int& number) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low ||
      value > high) {
    return false;
  }
  number = value;
  return true;
}

// Applies one option that takes a value; an error text when the value is not usable.
std::string ApplyValueOption(const std::string& name, const std::string& value,
                             GlobalOptions& options, bool& targetsGiven) {
  if (name == "--serial") {
    options.serialPort = value;
    return {};
  }
  if (name == "--listen") {
    const std::size_t colon = value.rfind(':');
    const std::optional<Ipv4Address> address = Ipv4Address::Parse(value.substr(0, colon));
    int port = 0;  // 0: a free port of the system's choosing
    if (!address || colon == std::string::npos ||
        !ReadWholeNumber(value.substr(colon + 1), 0, 65535, port)) {
      return "--listen takes an IPv4 address and a port such as 127.0.0.1:8470, not '" + value +
             "'";
    }
    options.server.listenAddress = *address;
    options.server.listenPort = static_cast<std::uint16_t>(port);
    return {};
  }
  if (name == "--search-interval") {
    if (!ReadWholeNumber(value, 0, 86400, options.server.searchIntervalSeconds)) {
      return "--search-interval takes a whole number of seconds from 0 to 86400, not '" + value +
             "'";
    }
    return {};
  }
  if (name == "--token-file") {
    options.server.tokenFile = value;
    return {};
  }
  if (name == "--preset-dir") {
    options.presetDir = value;
    return {};
  }
  if (name == "--seconds") {
    int seconds = 0;
    if (!ReadWholeNumber(value, 1, 86400, seconds)) {
      return "--seconds takes a whole number from 1 to 86400, not '" + value + "'";
    }
    options.seconds = seconds;
    return {};
  }
  if (name == "--baud") {
    if (std::ranges::find(kBaudTexts, value) == kBaudTexts.end()) {
      return "--baud takes 9600, 19200, 38400, 57600 or 115200, not '" + value + "'";
    }
    options.baud = value;
    return {};
  }
  if (name == "--bind" || name == "--target" || name == "--device") {
    const std::optional<Ipv4Address> address = Ipv4Address::Parse(value);
    if (!address) {
      return name + " takes an IPv4 address, not '" + value + "'";
    }
    if (name == "--bind") {
      options.link.bindAddress = *address;
    } else if (name == "--device") {
      options.devices.push_back(*address);
      options.device = options.devices.front();
    } else {
      if (!targetsGiven) {
        options.link.searchTargets.clear();
        targetsGiven = true;
      }
      options.link.searchTargets.push_back(*address);
    }
    return {};
  }
  const std::optional<std::uint16_t> port = ParsePort(value);
  if (!port) {
    return name + " takes a port number from 1 to 65535, not '" + value + "'";
  }
  if (name == "--device-port") {
    options.link.devicePort = *port;
  } else if (name == "--local-port") {
    options.link.localPort = *port;
  } else {
    options.link.statusPort = *port;
  }
  return {};
}

// The options that take no value.
bool* FlagOption(const std::string& name, GlobalOptions& options) {
  if (name == "--json") {
    return &options.json;
  }
  if (name == "--verbose") {
    return &options.verbose;
  }
  if (name == "--dry-run") {
    return &options.dryRun;
  }
  if (name == "--help") {
    return &options.help;
  }
  if (name == "--version") {
    return &options.version;
  }
  return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> args, OptionSet set) {
  CommandLine result;
  bool targetsGiven = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !arg.starts_with("--")) {
      result.arguments.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionEntry* option = FindOption(name, set);
    if (option == nullptr) {
      result.error = "unknown option " + name;
      continue;
    }
    if (!option->TakesValue()) {
      if (equals != std::string::npos) {
        result.error = name + " takes no value";
      }
      *FlagOption(name, result.options) = true;
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      result.error = name + " needs a value";
      continue;
    }
    result.error = ApplyValueOption(name, value, result.options, targetsGiven);
  }
  return result;
}

std::string GlobalOptionsHelp(OptionSet set) {
  constexpr std::size_t kUsageWidth = 21;
  std::string help = "Options:\n";
  for (const OptionEntry& entry : kOptions) {
    if (entry.ReadBy(set)) {
      help += "  ";
      help += entry.usage;
      help.append(kUsageWidth - std::min(entry.usage.size(), kUsageWidth - 1), ' ');
      help += entry.help;
      help += '\n';
    }
  }
  return help;
}

std::string VersionLine(std::string_view program) {
  return std::string(program) + " " + kProjectVersion + "\n";
}

}  // namespace quintara
