#pragma once

#include <string>
#include <vector>

namespace quintara::cli {

class CliSession;

// "mv export [FILE]": reads the multiviewer's state back and writes its settings file, to
// stdout without FILE. A FILE that is no regular file is refused before anything is sent
// (exit 2); a device holding a value no settings file carries gets no file (exit 4).
int ExportSettings(CliSession& session, const std::vector<std::string>& arguments);

// "mv import FILE": checks the file, reads the device's state, sends the setters that differ,
// reads the state back and reports what still differs (exit kExitNotApplied, as for a locked
// device, which takes none of them). --dry-run prints the frames instead of sending them. A
// file that fails its checks sends nothing (exit 2).
int ImportSettings(CliSession& session, const std::vector<std::string>& arguments);

}  // namespace quintara::cli
