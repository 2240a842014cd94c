#pragma once

#include <string>
#include <vector>

#include "core/matrix/files/MatrixSettingsFile.h"

namespace quintara::cli {

class CommandContext;

// "matrix export [FILE]": reads the switcher's status and backlight and writes its settings
// file, to stdout without FILE. A FILE that is no regular file is refused before anything is
// sent (exit 2); a switcher holding a value no settings file carries gets no file (exit 4).
int ExportMatrixSettings(CommandContext& session, const std::vector<std::string>& arguments);

// "matrix import FILE": checks the file, reads the switcher, sends the commands for what
// differs, reads it again and reports what still differs (exit kExitNotApplied, as for a locked
// switcher, which is sent nothing). --dry-run prints the commands instead of sending them. A
// file that fails its checks sends nothing (exit 2), nor does a file for the other kind of
// switcher (exit 2, after the search).
int ImportMatrixSettings(CommandContext& session, const std::vector<std::string>& arguments);
// The same for a settings document read already; `file` names where it came from.
int ImportMatrixSettingsDocument(CommandContext& session, const std::string& file,
                                 const MatrixSettingsRead& read);

}  // namespace quintara::cli
