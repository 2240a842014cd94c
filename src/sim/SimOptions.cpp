#include "sim/SimOptions.h"

#include <charconv>
#include <cstdio>

#include "sim/FrontPanelCommands.h"

namespace quintara::sim {
namespace {

constexpr std::uint16_t kDefaultPort = 7000;

std::optional<DeviceKind> ParseKind(std::string_view text) {
  if (text == "multiviewer") {
    return DeviceKind::Multiviewer;
  }
  if (text == "matrix8") {
    return DeviceKind::Matrix8;
  }
  if (text == "matrix16") {
    return DeviceKind::Matrix16;
  }
  return std::nullopt;
}

std::string_view KindName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Multiviewer:
      return "multiviewer";
    case DeviceKind::Matrix8:
      return "matrix8";
    case DeviceKind::Matrix16:
      return "matrix16";
  }
  return "device";
}

std::optional<std::array<std::uint8_t, 4>> ParseIdentity(std::string_view text) {
  if (text.size() != 8) {
    return std::nullopt;
  }
  std::array<std::uint8_t, 4> identity{};
  for (std::size_t i = 0; i < identity.size(); ++i) {
    const std::optional<unsigned> byte =
        ParseNumber("0x" + std::string(text.substr(i * 2, 2)), 255);
    if (!byte) {
      return std::nullopt;
    }
    identity[i] = static_cast<std::uint8_t>(*byte);
  }
  return identity;
}

// KIND@ADDR or KIND@ADDR:PORT.
std::optional<SimDeviceConfig> ParseDevice(std::string_view text, std::size_t index) {
  const std::size_t at = text.find('@');
  if (at == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<DeviceKind> kind = ParseKind(text.substr(0, at));
  std::string_view where = text.substr(at + 1);
  std::optional<unsigned> port = kDefaultPort;
  if (const std::size_t colon = where.find(':'); colon != std::string_view::npos) {
    port = ParseNumber(where.substr(colon + 1), 65535);
    where = where.substr(0, colon);
  }
  const std::optional<Ipv4Address> address = Ipv4Address::Parse(where);
  if (!kind || !address || !port) {
    return std::nullopt;
  }
  SimDeviceConfig config =
      SimDeviceConfig::Of(*kind, {*address, static_cast<std::uint16_t>(*port)});
  config.DeviceIdentity = {0x51, 0x54, 0x00, static_cast<std::uint8_t>(index + 1)};
  return config;
}

std::vector<SimDeviceConfig> DefaultDevices() {
  std::vector<SimDeviceConfig> devices;
  const std::string defaults[] = {"multiviewer@127.0.0.11", "matrix8@127.0.0.12",
                                  "matrix16@127.0.0.13"};
  for (const std::string& text : defaults) {
    devices.push_back(*ParseDevice(text, devices.size()));
  }
  return devices;
}

}  // namespace

std::optional<unsigned> ParseNumber(std::string_view text, unsigned maximum) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > maximum) {
    return std::nullopt;
  }
  return value;
}

SimOptionsResult ParseSimOptions(std::span<const std::string> args) {
  SimOptionsResult result;
  SimOptions& options = result.options;
  std::uint16_t statusPort = SimDeviceConfig{}.statusPort;
  const auto fail = [&result](std::string message) {
    result.error = std::move(message);
    return result;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--help") {
      options.help = true;
      continue;
    }
    if (option == "--version") {
      options.version = true;
      continue;
    }
    if (option == "--log") {
      options.log = true;
      continue;
    }
    if (option == "--serial") {
      options.serial = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      return fail(option.starts_with("--") ? option + " needs a value"
                                           : "unknown argument " + option);
    }
    const std::string& value = args[++i];
    if (option == "--device") {
      const std::optional<SimDeviceConfig> device = ParseDevice(value, options.devices.size());
      if (!device) {
        return fail("--device takes KIND@ADDR[:PORT] with KIND multiviewer, matrix8 or matrix16");
      }
      options.devices.push_back(*device);
    } else if (option == "--status-port") {
      const std::optional<unsigned> port = ParseNumber(value, 65535);
      if (!port || *port == 0) {
        return fail("--status-port takes a port number from 1 to 65535");
      }
      statusPort = static_cast<std::uint16_t>(*port);
    } else if (option == "--seconds") {
      const std::optional<unsigned> seconds = ParseNumber(value, 86400);
      if (!seconds || *seconds == 0) {
        return fail("--seconds takes a whole number from 1 to 86400");
      }
      options.seconds = static_cast<int>(*seconds);
    } else if (option == "--name" || option == "--address-byte" || option == "--identity") {
      if (options.devices.empty()) {
        return fail(option + " applies to the device added before it with --device");
      }
      SimDeviceConfig& device = options.devices.back();
      if (option == "--name") {
        device.name = value;
      } else if (option == "--address-byte") {
        const std::optional<unsigned> byte = ParseNumber(value, 255);
        if (!byte) {
          return fail("--address-byte takes a number from 0 to 255");
        }
        device.DeviceAddress = static_cast<std::uint8_t>(*byte);
      } else {
        const std::optional<std::array<std::uint8_t, 4>> identity = ParseIdentity(value);
        if (!identity) {
          return fail("--identity takes four bytes as eight hex digits, e.g. 51540001");
        }
        device.DeviceIdentity = *identity;
      }
    } else {
      return fail("unknown option " + option);
    }
  }
  if (options.devices.empty()) {
    options.devices = DefaultDevices();
  }
  for (SimDeviceConfig& device : options.devices) {
    device.statusPort = statusPort;
  }
  return result;
}

std::string SimUsage() {
  return R"(Usage: quintara-sim [options]
Simulated Quintara devices answering on UDP.

  --device KIND@ADDR[:PORT]  add a device listening on ADDR (port 7000 unless given);
                             KIND is multiviewer, matrix8 or matrix16; repeatable
  --name TEXT                name of the device added just before (defaults: KVT2208Z,
                             MATRIX8, MATRIX16)
  --address-byte N           its DeviceAddress byte (default 1)
  --identity HEX8            its four DeviceIdentity bytes as eight hex digits
                             (default 5154000n for the n-th device)
  --serial                   serve each device on its own pseudo-terminal instead of UDP;
                             the paths to open are printed
  --status-port N            UDP port a multiviewer sends its status reports to, at the
                             address that last sent it a frame (default 7001)
  --log                      print every message the devices receive, in hex
  --seconds N                stop after N seconds (default: run until interrupted)
  --help                     this text
  --version                  print the version and exit

Without --device: multiviewer@127.0.0.11, matrix8@127.0.0.12, matrix16@127.0.0.13.

)" + FrontPanelUsage();
}

std::string DescribeDevice(const SimDeviceConfig& config) {
  char identity[12];
  std::snprintf(identity, sizeof identity, "%02X%02X%02X%02X", config.DeviceIdentity[0],
                config.DeviceIdentity[1], config.DeviceIdentity[2], config.DeviceIdentity[3]);
  char bytes[40];
  std::snprintf(bytes, sizeof bytes, "type 0x%02X address-byte 0x%02X", config.DeviceType,
                config.DeviceAddress);
  return std::string(KindName(config.kind)) + " \"" + config.name + "\" " + bytes + " identity " +
         identity;
}

}  // namespace quintara::sim
