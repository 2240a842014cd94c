#pragma once

#include <ostream>
#include <span>
#include <string>

#include "core/link/LinkConfig.h"

namespace quintara::cli {

// Exit statuses of quintara-cli.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitNoDevice = 1;  // the device did not answer, or could not be reached
inline constexpr int kExitUsage = 2;

// Runs one quintara-cli invocation (arguments without the program name). Results go to out,
// errors and operator messages to err; returns the exit status.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const LinkTiming& timing = {});

std::string CliUsage();

}  // namespace quintara::cli
