#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/viewer/state/ViewerSettings.h"

namespace quintara {

// A multiviewer's settings as one JSON document:
//   {"format": "quintara-multiviewer-settings", "version": 1,
//    "settings": {every field of SettingFields(), by its name},
//    "device": {what the unit it was saved from reported: name, addressing, signals}}
// Flags are true/false, colours palette names ("White", "Trans") or numbers, the output format
// its name ("1080p60"), labels text; the sixteen-entry fields are arrays, entry 0 for input or
// window 1. "device" is for the reader: applying a file ignores it.
inline constexpr std::string_view kSettingsFormat = "quintara-multiviewer-settings";
inline constexpr int kSettingsVersion = 1;

// Why a file cannot be applied: the field ("settings.WindowSource[3]"; empty for the document
// as a whole) and the problem.
struct SettingsFileError {
  std::string field;
  std::string problem;

  std::string Text() const { return field.empty() ? problem : field + ": " + problem; }
};

using SettingsRead = std::variant<ViewerSettings, SettingsFileError>;

std::string WriteSettingsDocument(const ViewerSettings& settings, const ViewerFacts& facts);
// Checks the whole document; settings only when every field is present and right.
SettingsRead ReadSettingsDocument(std::string_view text);

// A settings file takes about 3 KiB; a longer one is refused unread.
inline constexpr std::size_t kSettingsFileLimit = 256 * 1024;

// The file at path, read and checked. Only a regular file is opened: a pipe or a device would
// hold the reader.
SettingsRead ReadSettingsFile(const std::filesystem::path& path);
// A unit's settings as a document, once it reads back as an import would take it: a value the
// device holds beyond what a file carries (layout 0, colour 40) is named instead, so no file is
// written that cannot be applied again.
std::variant<std::string, SettingsFileError> ExportDocument(const ViewerSettings& settings,
                                                            const ViewerFacts& facts);
inline constexpr std::string_view kNotExportable =
    "the multiviewer holds a value no settings file carries: ";

// Why a settings file cannot be written at path as it stands (a directory, a pipe, a device
// node), before anything is read from the device for it.
std::optional<std::string> CheckSettingsFileTarget(const std::filesystem::path& path);
// Puts the document in place of the file whole (ReplaceFile), so a failed write leaves an
// existing file as it was. Nothing on success, else what went wrong and why.
std::optional<std::string> WriteSettingsFile(const std::filesystem::path& path,
                                             std::string_view document);

}  // namespace quintara
