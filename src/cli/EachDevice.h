#pragma once

#include <functional>
#include <ostream>

#include "core/CommandLine.h"

namespace quintara::cli {

// One run of a command against the device at options.device, its results and messages to the
// streams given.
using DeviceRun =
    std::function<int(const GlobalOptions& options, std::ostream& out, std::ostream& err)>;

// Runs the command once for each --device, one device after another, and prints one result per
// device: its own output as it would print alone, its messages on stderr with its address in
// front, then a line per device ("127.0.0.11  ok", "127.0.0.12  exit 2: ..."); with --json one
// document {"devices": [{"address", "exit", "result" or "error"}]}. Returns the highest of the
// devices' exit statuses.
int RunOnEachDevice(const GlobalOptions& options, std::ostream& out, std::ostream& err,
                    const DeviceRun& run);

}  // namespace quintara::cli
