#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quintara {

// Named presets: settings files kept in one folder per user, a file NAME.json for each preset,
// written and read as the settings files of the device's kind are.
inline constexpr std::size_t kPresetNameMax = 64;
// A folder holding more files than this lists the first of them by name.
inline constexpr std::size_t kPresetListLimit = 1000;

// $XDG_CONFIG_HOME/quintara/presets, else $HOME/.config/quintara/presets; nothing when neither
// variable is set.
std::optional<std::filesystem::path> DefaultPresetFolder();

// Why a name cannot name a preset: it is empty or longer than kPresetNameMax, starts with a dot
// or a space, or holds anything but letters, digits, spaces, '-', '_' and '.'. So a name is
// always a plain file name in the folder, never a path out of it.
std::optional<std::string> CheckPresetName(std::string_view name);

// The device kind a settings document is for ("multiviewer", "matrix8", "matrix16"), from its
// format and kind fields; nothing for a document that is no settings file.
std::optional<std::string> SettingsDocumentKind(std::string_view text);

struct PresetEntry {
  std::string name;
  std::string kind;  // as SettingsDocumentKind; empty for a file that is no settings file
  std::filesystem::file_time_type saved;
};

class PresetStore {
 public:
  explicit PresetStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

  const std::filesystem::path& Folder() const { return folder_; }
  // The file of a name that passed CheckPresetName.
  std::filesystem::path FileOf(std::string_view name) const;

  // The presets, by name; none when the folder does not exist yet. The reason when the folder
  // cannot be read.
  std::variant<std::vector<PresetEntry>, std::string> List() const;
  // The kind of a preset's file; nothing, with the reason in problem, when there is no such
  // preset or it is no settings file.
  std::optional<std::string> KindOf(std::string_view name, std::string& problem) const;
  // Makes the folder (for its user only) before a preset is saved; the reason when it cannot.
  std::optional<std::string> Prepare() const;
  // Removes a preset; the reason when there is none of that name or it cannot be removed.
  std::optional<std::string> Delete(std::string_view name) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace quintara
