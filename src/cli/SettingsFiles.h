#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session/DeviceKinds.h"

namespace quintara::cli {

class CommandContext;

// How the devices of one command group write and apply their settings file: the multiviewer's
// and the matrix switchers'. Presets, imports to several devices and the server's settings
// routes go through these, whatever the device.
struct SettingsFileCommands {
  std::string_view word;  // "mv", "matrix"
  // "export [FILE]" and "import FILE", the arguments as the command line gives them.
  int (*exportTo)(CommandContext& session, const std::vector<std::string>& arguments);
  int (*importFrom)(CommandContext& session, const std::vector<std::string>& arguments);
  // A document received whole (a request's body); `from` names it in messages.
  int (*importText)(CommandContext& session, const std::string& from, std::string_view text);
  // Why a file cannot be applied to any device, before one is searched for.
  std::optional<std::string> (*checkFile)(const std::filesystem::path& path);
};

// The settings files of a command group, or of a device's kind; null for none.
const SettingsFileCommands* SettingsFilesOf(std::string_view commandWord);
const SettingsFileCommands* SettingsFilesOf(const DeviceKindInfo* kind);

}  // namespace quintara::cli
