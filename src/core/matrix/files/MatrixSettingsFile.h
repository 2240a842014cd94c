#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/files/SettingsFileIo.h"
#include "core/matrix/MatrixState.h"
#include "core/session/DeviceKinds.h"

namespace quintara {

// A matrix switcher's settings as one JSON document:
//   {"format": "quintara-matrix-settings", "version": 1, "kind": "matrix8" or "matrix16",
//    "settings": {"routes": [the input of each output, entry 0 for output 1],
//                 "backlightTime": "Always On", "brightness": 80,
//                 "outputFormat": "1080p60" (matrix16 only)},
//    "device": {what the unit it was saved from reported: name, address, addressing}}
// "backlightTime" is one of kBacklightTimeTexts or its number 0-4; "outputFormat" a text of
// MatrixFormatTable. "device" is for the reader: applying a file ignores it.
inline constexpr std::string_view kMatrixSettingsFormat = "quintara-matrix-settings";
inline constexpr int kMatrixSettingsVersion = 1;

// Everything a settings file sets on a matrix switcher of one kind.
struct MatrixSettings {
  DeviceKind kind = DeviceKind::Matrix8;
  // Per output, the input feeding it; the entries beyond the kind's channels stay 0.
  std::array<std::uint8_t, kMatrixTableSize> routes{};
  std::uint8_t backlightTime = 0;  // index of kBacklightTimeTexts
  std::uint8_t brightness = 0;     // 0-100
  // The device code of a MatrixFormatTable row; the sixteen-channel switcher only.
  std::optional<std::uint8_t> outputFormat;

  std::size_t Channels() const { return KindInfo(kind).channels; }
  friend bool operator==(const MatrixSettings&, const MatrixSettings&) = default;
};

// What a switcher's status told of it that no setter changes; kept for the file's reader.
struct MatrixFacts {
  std::u16string name;
  std::string address;  // empty on the serial line
  std::uint8_t AddressMode = 0;
};

using MatrixSettingsRead = std::variant<MatrixSettings, SettingsFileError>;

std::string WriteMatrixSettingsDocument(const MatrixSettings& settings, const MatrixFacts& facts);
// Checks the whole document; settings only when every field is present and right.
MatrixSettingsRead ReadMatrixSettingsDocument(std::string_view text);
// The file at path, read (ReadSettingsText) and checked.
MatrixSettingsRead ReadMatrixSettingsFile(const std::filesystem::path& path);

// A unit's settings as a document, once it reads back as an import would take it: a value the
// switcher reported beyond what a file carries (route 0, brightness 200, an unknown format
// code) is named instead, so no file is written that cannot be applied again.
std::variant<std::string, SettingsFileError> ExportMatrixDocument(const MatrixSettings& settings,
                                                                  const MatrixFacts& facts);
inline constexpr std::string_view kMatrixNotExportable =
    "the matrix switcher holds a value no settings file carries: ";

// Why a file for this kind cannot go to a device of that one ("the file is for a matrix8, not
// a matrix16"); nothing when the kinds agree. A device of no known kind is named as such.
std::optional<std::string> KindMismatch(DeviceKind file, const DeviceKindInfo* device);

// A value as listings show it: a backlight time by its text, an output format by its name.
std::string BacklightTimeText(std::uint8_t time);
std::string OutputFormatText(std::uint8_t code);

}  // namespace quintara
