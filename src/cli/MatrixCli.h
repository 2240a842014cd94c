#pragma once

#include <string>
#include <vector>

#include "cli/CommandContext.h"

namespace quintara::cli {

// Checks a "matrix" command's arguments before anything is sent; throws UsageError.
void CheckMatrixCommand(const std::vector<std::string>& arguments);

// Runs "matrix ..." against the switcher the session connects to; names is the observer the
// session was made with, through which the switcher's name arrives.
int RunMatrixCommand(CommandContext& session, const NameFieldRecorder& names,
                     const std::vector<std::string>& arguments);

std::string MatrixUsage();

}  // namespace quintara::cli
