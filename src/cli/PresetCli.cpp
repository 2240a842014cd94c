#include "cli/PresetCli.h"

#include <chrono>
#include <ctime>
#include <string_view>

#include "cli/Json.h"
#include "cli/SettingsFiles.h"
#include "core/session/DeviceKinds.h"

namespace quintara::cli {
namespace {

using Arguments = std::vector<std::string>;

std::string Kind(const DeviceKindInfo* kind) {
  return kind != nullptr ? std::string(kind->name) : std::string("device of unknown kind");
}

// "2026-12-11T09:30:00Z"
std::string SavedText(std::filesystem::file_time_type saved) {
  const std::time_t time =
      std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(saved));
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace

std::string PresetUsage() {
  return "Presets (quintara-cli [options] preset COMMAND):\n"
         "  list                           the presets, their device kinds and when saved\n"
         "  save NAME                      keep the device's settings as the preset NAME\n"
         "  recall NAME                    apply the preset to the device (or to each --device)\n"
         "                                 as an import applies a file; --dry-run prints the\n"
         "                                 frames; a preset of another kind of device is refused\n"
         "  delete NAME                    remove the preset\n"
         "NAME: letters, digits, spaces, '-', '_' and '.', at most 64 characters. The presets\n"
         "are the settings files in ~/.config/quintara/presets ($XDG_CONFIG_HOME), or in\n"
         "--preset-dir DIR.\n";
}

void CheckPresetCommand(const Arguments& arguments) {
  const std::string verb = arguments.size() > 1 ? arguments[1] : std::string();
  const bool named = verb == "save" || verb == "recall" || verb == "delete";
  if (!named && verb != "list" && verb != "help") {
    throw UsageError{"preset takes list, save NAME, recall NAME or delete NAME"};
  }
  if (arguments.size() != (named ? 3u : 2u)) {
    throw UsageError{"preset " + verb +
                     ": wrong number of arguments; see 'quintara-cli preset help'"};
  }
  if (named) {
    if (const std::optional<std::string> refused = CheckPresetName(arguments[2])) {
      throw UsageError{*refused};
    }
  }
}

std::optional<PresetStore> PresetsOf(const GlobalOptions& options, std::ostream& err) {
  if (options.presetDir) {
    return PresetStore(*options.presetDir);
  }
  if (std::optional<std::filesystem::path> folder = DefaultPresetFolder()) {
    return PresetStore(std::move(*folder));
  }
  err << "quintara-cli: neither XDG_CONFIG_HOME nor HOME is set: give --preset-dir DIR\n";
  return std::nullopt;
}

int SavePreset(CommandContext& session, const PresetStore& store, const std::string& name) {
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  const DeviceKindInfo* kind = session.Device().Kind();
  const SettingsFileCommands* files = SettingsFilesOf(kind);
  if (files == nullptr) {
    session.Problem() << "a " << Kind(kind) << " has no settings file: no preset was saved\n";
    return kExitUsage;
  }
  if (const std::optional<std::string> failure = store.Prepare()) {
    session.Problem() << *failure << "\n";
    return kExitOutputFailed;
  }
  return files->exportTo(session, {std::string(files->word), "export", store.FileOf(name)});
}

int RecallPreset(CommandContext& session, const PresetStore& store, const std::string& name) {
  std::string problem;
  const std::optional<std::string> presetKind = store.KindOf(name, problem);
  if (!presetKind) {
    session.Problem() << problem << "\nnothing was sent\n";
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  const DeviceKindInfo* kind = session.Device().Kind();
  const SettingsFileCommands* files = SettingsFilesOf(kind);
  if (files == nullptr || kind->name != *presetKind) {
    session.Problem() << "preset '" << name << "' is for a " << *presetKind << ", not a "
                      << Kind(kind) << "\nnothing was sent\n";
    return kExitUsage;
  }
  return files->importFrom(session, {std::string(files->word), "import", store.FileOf(name)});
}

std::optional<Json> PresetsDocument(const PresetStore& store, std::string& problem) {
  const auto listed = store.List();
  if (const auto* failure = std::get_if<std::string>(&listed)) {
    problem = *failure;
    return std::nullopt;
  }
  Json list = Json::array();
  for (const PresetEntry& preset : std::get<std::vector<PresetEntry>>(listed)) {
    list.push_back({{"name", preset.name},
                    {"kind", preset.kind.empty() ? Json() : Json(preset.kind)},
                    {"saved", SavedText(preset.saved)}});
  }
  return Json{{"folder", store.Folder().string()}, {"presets", std::move(list)}};
}

int ListPresets(const PresetStore& store, bool json, std::ostream& out, std::ostream& err) {
  std::string problem;
  const std::optional<Json> presets = PresetsDocument(store, problem);
  if (!presets) {
    err << "quintara-cli: " << problem << "\n";
    return kExitUsage;
  }
  if (json) {
    PrintJson(out, *presets);
    return kExitSuccess;
  }
  for (const Json& preset : (*presets)["presets"]) {
    out << preset["name"].get<std::string>() << "  "
        << (preset["kind"].is_null() ? "(no settings file)" : preset["kind"].get<std::string>())
        << "  " << preset["saved"].get<std::string>() << "\n";
  }
  return kExitSuccess;
}

int DeletePreset(const PresetStore& store, const std::string& name, bool json, std::ostream& out,
                 std::ostream& err) {
  if (const std::optional<std::string> failure = store.Delete(name)) {
    err << "quintara-cli: " << *failure << "\n";
    return kExitUsage;
  }
  if (json) {
    PrintJson(out, {{"deleted", name}});
  } else {
    out << "preset '" << name << "' deleted\n";
  }
  return kExitSuccess;
}

}  // namespace quintara::cli
