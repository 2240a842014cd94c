#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/files/SettingsFileIo.h"
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

using SettingsRead = std::variant<ViewerSettings, SettingsFileError>;

std::string WriteSettingsDocument(const ViewerSettings& settings, const ViewerFacts& facts);
// Checks the whole document; settings only when every field is present and right.
SettingsRead ReadSettingsDocument(std::string_view text);

// The file at path, read (ReadSettingsText) and checked.
SettingsRead ReadSettingsFile(const std::filesystem::path& path);
// A unit's settings as a document, once it reads back as an import would take it: a value the
// device holds beyond what a file carries (layout 0, colour 40) is named instead, so no file is
// written that cannot be applied again.
std::variant<std::string, SettingsFileError> ExportDocument(const ViewerSettings& settings,
                                                            const ViewerFacts& facts);
inline constexpr std::string_view kNotExportable =
    "the multiviewer holds a value no settings file carries: ";

}  // namespace quintara
