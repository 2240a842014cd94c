#include "core/files/SettingsFileIo.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/platform/FileReplace.h"

namespace quintara {
namespace {

// Why the file at path cannot be written, as the operator reads it; nothing without a reason.
std::optional<std::string> CannotWrite(const std::filesystem::path& path,
                                       const std::optional<std::string>& reason) {
  if (!reason) {
    return std::nullopt;
  }
  return "cannot write " + path.string() + ": " + *reason;
}

}  // namespace

std::variant<std::string, SettingsFileError> ReadSettingsText(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!error && !std::filesystem::is_regular_file(status)) {
    return SettingsFileError{"", "cannot read " + path.string() + ": not a regular file"};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return SettingsFileError{"", "cannot read " + path.string() + ": " + std::strerror(errno)};
  }
  std::string text(kSettingsFileLimit + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad()) {
    return SettingsFileError{"", "cannot read " + path.string()};
  }
  text.resize(static_cast<std::size_t>(file.gcount()));
  if (text.size() > kSettingsFileLimit) {
    return SettingsFileError{"", path.string() + " is larger than a settings file can be (" +
                                     std::to_string(kSettingsFileLimit / 1024) + " KiB)"};
  }
  return text;
}

std::optional<std::string> CheckSettingsFileTarget(const std::filesystem::path& path) {
  return CannotWrite(path, CheckReplaceable(path));
}

std::optional<std::string> WriteSettingsFile(const std::filesystem::path& path,
                                             std::string_view document) {
  return CannotWrite(path, ReplaceFile(path, document));
}

}  // namespace quintara
