#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/viewer/files/SettingsFile.h"

namespace quintara::cli {

class CommandContext;

// What every kind's export shares: an export FILE that is no regular file is refused before
// anything is sent (kExitUsage); the document, or why the device's settings make none, written
// to FILE (stdout without one) and said. The export's exit status.
std::optional<int> RefusedExportTarget(CommandContext& session, const std::string& file);
int WriteExported(CommandContext& session, const std::string& file,
                  const std::variant<std::string, SettingsFileError>& document,
                  std::string_view notExportable);

// "mv export [FILE]": reads the multiviewer's state back and writes its settings file, to
// stdout without FILE. A FILE that is no regular file is refused before anything is sent
// (exit 2); a device holding a value no settings file carries gets no file (exit 4).
int ExportSettings(CommandContext& session, const std::vector<std::string>& arguments);

// "mv import FILE": checks the file, reads the device's state, sends the setters that differ,
// reads the state back and reports what still differs (exit kExitNotApplied, as for a locked
// device, which takes none of them). --dry-run prints the frames instead of sending them. A
// file that fails its checks sends nothing (exit 2).
int ImportSettings(CommandContext& session, const std::vector<std::string>& arguments);
// The same for a settings document read already; `file` names where it came from.
int ImportSettingsDocument(CommandContext& session, const std::string& file,
                           const SettingsRead& read);

}  // namespace quintara::cli
