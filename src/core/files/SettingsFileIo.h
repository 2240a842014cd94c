#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quintara {

// Why a file cannot be applied: the field ("settings.WindowSource[3]"; empty for the document
// as a whole) and the problem.
struct SettingsFileError {
  std::string field;
  std::string problem;

  std::string Text() const { return field.empty() ? problem : field + ": " + problem; }
};

// A settings file takes a few KiB; a longer one is refused unread.
inline constexpr std::size_t kSettingsFileLimit = 256 * 1024;

// The text of the file at path, unchecked. Only a regular file is opened: a pipe or a device
// would hold the reader; and no more than kSettingsFileLimit is read, should the file grow
// meanwhile.
std::variant<std::string, SettingsFileError> ReadSettingsText(const std::filesystem::path& path);

// Why a settings file cannot be written at path as it stands (a directory, a pipe, a device
// node), before anything is read from the device for it.
std::optional<std::string> CheckSettingsFileTarget(const std::filesystem::path& path);
// Puts the document in place of the file whole (ReplaceFile), so a failed write leaves an
// existing file as it was. Nothing on success, else what went wrong and why.
std::optional<std::string> WriteSettingsFile(const std::filesystem::path& path,
                                             std::string_view document);

}  // namespace quintara
