#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/Json.h"
#include "core/presets/PresetStore.h"

namespace quintara::cli {

// The presets folder the options name: --preset-dir, else the user's. Nothing, said on err,
// when neither can be had.
std::optional<PresetStore> PresetsOf(const GlobalOptions& options, std::ostream& err);

// "preset save NAME": the device's settings file, of its kind, kept as the preset NAME.
int SavePreset(CommandContext& session, const PresetStore& store, const std::string& name);
// "preset recall NAME": the preset applied to the device as an import applies a file; a preset
// of another kind of device is refused before anything is sent (exit 2).
int RecallPreset(CommandContext& session, const PresetStore& store, const std::string& name);
// The presets as "preset list --json" prints them; nothing, with the reason, when the folder
// cannot be read.
std::optional<Json> PresetsDocument(const PresetStore& store, std::string& problem);
// "preset list" and "preset delete NAME", which need no device.
int ListPresets(const PresetStore& store, bool json, std::ostream& out, std::ostream& err);
int DeletePreset(const PresetStore& store, const std::string& name, bool json, std::ostream& out,
                 std::ostream& err);

// Checks a preset command's words before anything is searched for; UsageError when they
// cannot be used.
void CheckPresetCommand(const std::vector<std::string>& arguments);
std::string PresetUsage();

}  // namespace quintara::cli
