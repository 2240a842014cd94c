#pragma once

#include <filesystem>
#include <string_view>

#include "core/ExchangeRunner.h"
#include "core/files/SettingsReport.h"
#include "core/matrix/files/MatrixSettingsTransfer.h"

namespace quintara {

class DeviceSession;

inline constexpr std::string_view kMatrixSaveUnansweredError =
    "The matrix switcher did not answer: nothing was saved.";
inline constexpr std::string_view kMatrixLoadLockedError = kMatrixSettingsLockedText;
inline constexpr std::string_view kMatrixLoadUnansweredError =
    "The matrix switcher did not answer: nothing was sent.";
inline constexpr std::string_view kMatrixSettingsAlreadyHeld =
    "The matrix switcher already holds these settings: nothing was sent.";
inline constexpr std::string_view kNotAMatrixSwitcher = "the device is not a matrix switcher";

// Saving a matrix switcher's settings to a file and applying a file to it, apart from choosing
// the file: the queries and the commands (started on the controller's exchange runner, so that
// a window keeps painting), the checks made before anything is sent, and what the operator is
// told. The presenter may go as soon as Save or Load returns: what follows the exchanges takes
// only the session and the panel's step, and the session outlives the exchanges started for it.
class MatrixSettingsPresenter {
 public:
  explicit MatrixSettingsPresenter(DeviceSession& session) : session_(session) {}

  // Reads the switcher's status and backlight and writes them, with what the switcher told of
  // itself, to the file. When nothing was saved the operator is told why.
  void Save(const std::filesystem::path& path);

  // Checks the file (its kind included), reads the switcher, asks the operator to confirm what
  // will change, sends the commands that differ and reads the switcher again to verify them;
  // then tells the operator how it went. A locked switcher is sent nothing. Once the switcher
  // was read again and the operator told, `catchUp` (when given; guarded by its owner) lets the
  // open panel show what it holds now.
  void Load(const std::filesystem::path& path, Continuation catchUp = nullptr);

 private:
  DeviceSession& session_;
};

}  // namespace quintara
