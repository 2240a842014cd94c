#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimDevice.h"

namespace quintara::sim {

struct SimOptions {
  std::vector<SimDeviceConfig> devices;
  bool serial = false;  // serve each device on a pseudo-terminal instead of UDP
  bool log = false;
  std::optional<int> seconds;  // run time; until interrupted when absent
  bool help = false;
  bool version = false;
};

struct SimOptionsResult {
  SimOptions options;
  std::string error;  // empty when the arguments were understood
};

// Parses the simulator's arguments (without the program name).
SimOptionsResult ParseSimOptions(std::span<const std::string> args);

std::string SimUsage();

// A number of the simulator's options and commands: decimal, or hexadecimal after "0x";
// nothing when it is not one or is above the maximum.
std::optional<unsigned> ParseNumber(std::string_view text, unsigned maximum);

// Kind, name, type, address byte and identity of a device, for the start-up lines.
std::string DescribeDevice(const SimDeviceConfig& config);

}  // namespace quintara::sim
