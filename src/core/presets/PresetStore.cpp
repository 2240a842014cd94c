#include "core/presets/PresetStore.h"

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "core/files/SettingsFileIo.h"
#include "core/matrix/files/MatrixSettingsFile.h"
#include "core/session/DeviceKinds.h"
#include "core/viewer/files/SettingsFile.h"

namespace quintara {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

constexpr std::string_view kPresetExtension = ".json";

bool NameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
         c == '-' || c == '_' || c == '.';
}

// The file's text when it reads as a settings file would (a regular file, within the limit).
std::optional<std::string> ReadBounded(const fs::path& path) {
  std::variant<std::string, SettingsFileError> text = ReadSettingsText(path);
  if (auto* read = std::get_if<std::string>(&text)) {
    return std::move(*read);
  }
  return std::nullopt;
}

std::string NoPreset(std::string_view name) {
  return "no preset named '" + std::string(name) + "'";
}

}  // namespace

std::optional<fs::path> DefaultPresetFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
    return fs::path(config) / "quintara" / "presets";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
    return fs::path(home) / ".config" / "quintara" / "presets";
  }
  return std::nullopt;
}

std::optional<std::string> CheckPresetName(std::string_view name) {
  if (name.empty() || name.size() > kPresetNameMax) {
    return "a preset name has 1 to " + std::to_string(kPresetNameMax) + " characters";
  }
  if (name.front() == '.' || name.front() == ' ') {
    return "a preset name does not start with a dot or a space";
  }
  if (!std::ranges::all_of(name, NameCharacter)) {
    return "a preset name holds letters, digits, spaces, '-', '_' and '.' only";
  }
  return std::nullopt;
}

std::optional<std::string> SettingsDocumentKind(std::string_view text) {
  const Json document = Json::parse(text, nullptr, false);
  if (!document.is_object()) {
    return std::nullopt;
  }
  const auto format = document.find("format");
  if (format == document.end() || !format->is_string()) {
    return std::nullopt;
  }
  if (*format == kSettingsFormat) {
    return std::string(KindInfo(DeviceKind::Multiviewer).name);
  }
  const auto kind = document.find("kind");
  if (*format != kMatrixSettingsFormat || kind == document.end() || !kind->is_string()) {
    return std::nullopt;
  }
  for (const DeviceKind matrix : {DeviceKind::Matrix8, DeviceKind::Matrix16}) {
    if (*kind == KindInfo(matrix).name) {
      return std::string(KindInfo(matrix).name);
    }
  }
  return std::nullopt;
}

fs::path PresetStore::FileOf(std::string_view name) const {
  return folder_ / (std::string(name) + std::string(kPresetExtension));
}

std::variant<std::vector<PresetEntry>, std::string> PresetStore::List() const {
  std::vector<PresetEntry> presets;
  std::error_code error;
  if (!fs::exists(folder_, error)) {
    return presets;
  }
  fs::directory_iterator entries(folder_, error);
  if (error) {
    return "cannot read the presets folder " + folder_.string() + ": " + error.message();
  }
  for (const fs::directory_entry& entry : entries) {
    const fs::path& path = entry.path();
    const std::string name = path.stem().string();
    if (path.extension() != kPresetExtension || CheckPresetName(name) ||
        !entry.is_regular_file(error)) {
      continue;
    }
    const std::optional<std::string> text = ReadBounded(path);
    const std::optional<std::string> kind = text ? SettingsDocumentKind(*text) : std::nullopt;
    presets.push_back({name, kind.value_or(""), entry.last_write_time(error)});
  }
  std::ranges::sort(presets, {}, &PresetEntry::name);
  if (presets.size() > kPresetListLimit) {
    presets.resize(kPresetListLimit);
  }
  return presets;
}

std::optional<std::string> PresetStore::KindOf(std::string_view name, std::string& problem) const {
  std::error_code error;
  const fs::path path = FileOf(name);
  if (!fs::exists(path, error)) {
    problem = NoPreset(name);
    return std::nullopt;
  }
  const std::optional<std::string> text = ReadBounded(path);
  std::optional<std::string> kind = text ? SettingsDocumentKind(*text) : std::nullopt;
  if (!kind) {
    problem = path.string() + " is no settings file of a Quintara device";
  }
  return kind;
}

std::optional<std::string> PresetStore::Prepare() const {
  std::error_code error;
  if (fs::is_directory(folder_, error)) {
    return std::nullopt;
  }
  fs::create_directories(folder_, error);
  if (error) {
    return "cannot make the presets folder " + folder_.string() + ": " + error.message();
  }
  fs::permissions(folder_, fs::perms::owner_all, error);
  return std::nullopt;
}

std::optional<std::string> PresetStore::Delete(std::string_view name) const {
  std::error_code error;
  const fs::path path = FileOf(name);
  if (!fs::is_regular_file(path, error)) {
    return NoPreset(name);
  }
  if (!fs::remove(path, error)) {
    return "cannot remove " + path.string() + ": " + error.message();
  }
  return std::nullopt;
}

}  // namespace quintara
