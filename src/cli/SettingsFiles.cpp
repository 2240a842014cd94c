#include "cli/SettingsFiles.h"

#include <array>
#include <variant>

#include "cli/MatrixSettingsCli.h"
#include "cli/SettingsCli.h"
#include "core/matrix/files/MatrixSettingsFile.h"
#include "core/viewer/files/SettingsFile.h"

namespace quintara::cli {
namespace {

template <typename Read>
std::optional<std::string> Problem(const Read& read) {
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    return error->Text();
  }
  return std::nullopt;
}

constexpr std::array kSettingsFiles{
    SettingsFileCommands{
        "mv", ExportSettings, ImportSettings,
        [](CommandContext& session, const std::string& from, std::string_view text) {
          return ImportSettingsDocument(session, from, ReadSettingsDocument(text));
        },
        [](const std::filesystem::path& path) { return Problem(ReadSettingsFile(path)); }},
    SettingsFileCommands{
        "matrix", ExportMatrixSettings, ImportMatrixSettings,
        [](CommandContext& session, const std::string& from, std::string_view text) {
          return ImportMatrixSettingsDocument(session, from, ReadMatrixSettingsDocument(text));
        },
        [](const std::filesystem::path& path) { return Problem(ReadMatrixSettingsFile(path)); }},
};

}  // namespace

const SettingsFileCommands* SettingsFilesOf(std::string_view commandWord) {
  for (const SettingsFileCommands& files : kSettingsFiles) {
    if (files.word == commandWord) {
      return &files;
    }
  }
  return nullptr;
}

const SettingsFileCommands* SettingsFilesOf(const DeviceKindInfo* kind) {
  return kind != nullptr ? SettingsFilesOf(kind->commandWord) : nullptr;
}

}  // namespace quintara::cli
