#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "core/files/SettingsReport.h"
#include "core/viewer/files/SettingsTransfer.h"

namespace quintara {

class DeviceSession;

inline constexpr std::string_view kSaveUnansweredError =
    "The multiviewer did not answer: nothing was saved.";
inline constexpr std::string_view kLoadLockedError = kSettingsLockedText;
inline constexpr std::string_view kLoadUnansweredError =
    "The multiviewer did not answer: nothing was sent.";
inline constexpr std::string_view kSettingsAlreadyHeld =
    "The multiviewer already holds these settings: nothing was sent.";

// Saving the multiviewer's settings to a file and applying a file to it, apart from choosing
// the file: the read-backs and the setters (started on the controller's exchange runner, so that
// a window keeps painting), the checks made before anything is sent, and what the operator is
// told. The presenter may go as soon as Save or Load returns: what follows the exchanges takes
// only the session and the panel's steps, and the session outlives the exchanges started for it.
class SettingsFilePresenter {
 public:
  // What the open panel does around the setters. Before the first one goes it stops following
  // the device's reports: their echoes, handed over after the verifying read-back, would be
  // applied to the page shown then and undo what that read-back found. Once the settings are
  // verified it catches up with the device.
  struct PanelSteps {
    std::function<void()> stopFollowing;
    std::function<void()> catchUp;
  };

  explicit SettingsFilePresenter(DeviceSession& session) : session_(session) {}

  // Reads the device's settings back and writes them, with what the device told of itself, to
  // the file. When nothing was saved the operator is told why.
  void Save(const std::filesystem::path& path);

  // Checks the file, reads the device, asks the operator to confirm what will change, sends the
  // setters that differ and reads the device back to verify them; then tells the operator how
  // it went.
  void Load(const std::filesystem::path& path, const PanelSteps& panel);

 private:
  DeviceSession& session_;
};

}  // namespace quintara
