#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quintara {

// A field whose value on the device is not the wanted one.
struct SettingsDifference {
  std::string field;
  std::string wanted;
  std::string found;

  friend bool operator==(const SettingsDifference&, const SettingsDifference&) = default;
};

// What the operator is told of settings files, whatever device they are for.
inline constexpr std::string_view kSendingSettingsText = "Sending the settings...";
inline constexpr std::string_view kSaveFailedError = "The settings could not be saved:\n";
inline constexpr std::string_view kSettingsFileError = "The settings file cannot be applied:\n";
inline constexpr std::string_view kSettingsVerified = "The settings were applied and verified.";

// What the operator is told when a settings file is loaded into a device, which `device`
// names ("multiviewer", "matrix switcher").

// The confirmation of what will change, device value -> file value.
std::string ApplyQuestion(std::string_view device, const std::vector<SettingsDifference>& changing);
// How the setters went, when anything went wrong: of `planned`, `sent` went out, and the
// read-back found these differences (nothing: it went unanswered). Nothing when every one was
// sent and the device holds every setting of the file.
std::optional<std::string> LoadProblem(std::string_view device, std::size_t planned,
                                       std::size_t sent,
                                       const std::optional<std::vector<SettingsDifference>>& found);

}  // namespace quintara
