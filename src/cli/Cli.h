#pragma once

#include <ostream>
#include <span>
#include <string>

#include "cli/CliSession.h"
#include "core/link/LinkConfig.h"

namespace quintara::cli {

// Runs one quintara-cli invocation (arguments without the program name). Results go to out,
// errors and operator messages to err; returns the exit status.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const LinkTiming& timing = {});

std::string CliUsage();

}  // namespace quintara::cli
