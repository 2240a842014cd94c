#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/link/LinkConfig.h"

namespace quintara::test {

// One quintara-cli invocation, in process: its exit status and what it printed.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs quintara-cli with the link's options (bind address, ports, search targets) before args.
CliRun RunCliOn(const LinkConfig& link, const std::vector<std::string>& args,
                const LinkTiming& timing);
// The same, printing to the streams given; the exit status.
int RunCliOn(const LinkConfig& link, const std::vector<std::string>& args, const LinkTiming& timing,
             std::ostream& out, std::ostream& err);

// The quintara-cli program at programPath run as a process of its own with the link's options,
// its standard output written to outputPath (such as /dev/full): its exit status and stderr.
CliRun RunCliProgramOn(const std::string& programPath, const LinkConfig& link,
                       const std::vector<std::string>& args, const std::string& outputPath);

}  // namespace quintara::test
