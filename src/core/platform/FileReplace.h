#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quintara {

// Puts contents in place of the file at path, whole or not at all: they are written to a new
// file of a unique name beside it (created exclusively, so nothing planted there is followed),
// synced, and renamed over it. An existing file keeps its permissions (and, for root, its
// owner); a symbolic link keeps pointing where it did and that file is replaced. An existing
// path that is no regular file (a directory, a pipe, a device) is left alone.
// Nothing on success, else why it failed ("Is a directory", "No space left on device").
std::optional<std::string> ReplaceFile(const std::filesystem::path& path,
                                       std::string_view contents);
// Why ReplaceFile would refuse the path as it stands now, before anything is made to write there.
std::optional<std::string> CheckReplaceable(const std::filesystem::path& path);

}  // namespace quintara
