#include "core/CommandLine.h"

#include <algorithm>
#include <charconv>

#include "core/link/SerialPortList.h"

namespace quintara {
namespace {

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value == 0 ||
      value > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

// Applies one option that takes a value; an error text when the value is not usable.
std::string ApplyValueOption(const std::string& name, const std::string& value,
                             GlobalOptions& options, bool& targetsGiven) {
  if (name == "--serial") {
    options.serialPort = value;
    return {};
  }
  if (name == "--seconds") {
    int seconds = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (value.empty() || error != std::errc{} || end != value.data() + value.size() ||
        seconds < 1 || seconds > 86400) {
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
      options.device = *address;
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

bool TakesValue(std::string_view name) {
  return name == "--bind" || name == "--target" || name == "--device" || name == "--device-port" ||
         name == "--local-port" || name == "--status-port" || name == "--serial" ||
         name == "--baud" || name == "--seconds";
}

// The options that take no value.
bool* FlagOption(const std::string& name, GlobalOptions& options) {
  if (name == "--json") {
    return &options.json;
  }
  if (name == "--verbose") {
    return &options.verbose;
  }
  if (name == "--help") {
    return &options.help;
  }
  return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> args) {
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
    if (bool* flag = FlagOption(name, result.options)) {
      if (equals != std::string::npos) {
        result.error = name + " takes no value";
      }
      *flag = true;
      continue;
    }
    if (!TakesValue(name)) {
      result.error = "unknown option " + name;
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

std::string GlobalOptionsHelp() {
  return R"(Link options:
  --bind ADDR          local address of the link's sockets (default 0.0.0.0, every interface)
  --target ADDR        where the search is sent; repeatable (default 255.255.255.255)
  --device-port N      devices' search and command port (default 7000)
  --local-port N       local port of the search and command socket (default 7000)
  --status-port N      local port of status reports (default 7001)
  --device ADDR        the device to command, found by a search sent to ADDR
  --serial PORT        use the serial link on PORT (a name such as ttyUSB0, or a path)
  --baud N             serial rate: 9600 (default), 19200, 38400, 57600 or 115200
  --seconds N          how long a watching command runs
  --json               print results as JSON (one document; mv watch: one per line)
  --verbose            also print the protocol's diagnostic lines (readLen = ...) on stderr
  --help               this text
)";
}

}  // namespace quintara
