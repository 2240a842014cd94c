#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/CliSession.h"
#include "core/link/LinkConfig.h"

namespace quintara::cli {

// Runs one quintara-cli invocation (arguments without the program name). Results go to out,
// errors and operator messages to err; returns the exit status.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const LinkTiming& timing = {});

// Runs the words of one device command ("mv layout 60", "lock on", ...) on the context's
// device, after checking them (a UsageError when they cannot be used; nothing is sent then).
int RunDeviceCommandWords(CommandContext& session, const NameFieldRecorder& names,
                          const std::vector<std::string>& arguments);

std::string CliUsage();

}  // namespace quintara::cli
