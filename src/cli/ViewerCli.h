#pragma once

#include <string>
#include <vector>

#include "cli/CliSession.h"

namespace quintara::cli {

// Checks an "mv" command's arguments before anything is sent; throws UsageError.
void CheckViewerCommand(const std::vector<std::string>& arguments);

// Runs "mv ..." against the device the session connects to.
int RunViewerCommand(CliSession& session, const NameFieldRecorder& names,
                     const std::vector<std::string>& arguments);

std::string ViewerUsage();

}  // namespace quintara::cli
