#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/SimDevice.h"

namespace quintara::sim {

struct SimOptions {
  std::vector<SimDeviceConfig> devices;
  bool serial = false;  // serve each device on a pseudo-terminal instead of UDP
  bool log = false;
  std::optional<int> seconds;  // run time; until interrupted when absent
  bool help = false;
};

struct SimOptionsResult {
  SimOptions options;
  std::string error;  // empty when the arguments were understood
};

// Parses the simulator's arguments (without the program name).
SimOptionsResult ParseSimOptions(std::span<const std::string> args);

std::string SimUsage();

// Kind, name, type, address byte and identity of a device, for the start-up lines.
std::string DescribeDevice(const SimDeviceConfig& config);

}  // namespace quintara::sim
