#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/SimDevice.h"

namespace quintara::sim {

struct SimOptions {
  std::vector<SimDeviceConfig> devices;
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

std::string DescribeDevice(const SimDeviceConfig& config);

}  // namespace quintara::sim
