#include "cli/SettingsCli.h"

#include <ostream>
#include <variant>

#include "cli/CommandContext.h"
#include "cli/Json.h"
#include "core/text/TextCodec.h"
#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/files/SettingsTransfer.h"
#include "core/viewer/protocol/ViewerFrames.h"

namespace quintara::cli {
namespace {

Json ChangesJson(const std::vector<SettingsChange>& changes, bool withFrames) {
  Json list = Json::array();
  for (const SettingsChange& change : changes) {
    Json entry{{"field", change.field}, {"command", change.commandName}, {"value", change.value}};
    if (withFrames) {
      entry["frame"] = HexBytes(change.frame);
    }
    list.push_back(std::move(entry));
  }
  return list;
}

Json DifferencesJson(const std::vector<SettingsDifference>& differences) {
  Json list = Json::array();
  for (const SettingsDifference& difference : differences) {
    list.push_back(
        {{"field", difference.field}, {"file", difference.wanted}, {"device", difference.found}});
  }
  return list;
}

int PrintDryRun(CommandContext& session, const std::string& file,
                const std::vector<SettingsChange>& changes) {
  std::ostream& out = session.Out();
  if (session.Options().json) {
    PrintJson(out, {{"device", session.SelectedListLine()},
                    {"file", file},
                    {"dryRun", true},
                    {"changes", ChangesJson(changes, true)}});
    return kExitSuccess;
  }
  out << changes.size() << " frames would go to " << session.SelectedLine()
      << (changes.empty() ? ": it holds the file's settings already\n" : ":\n");
  for (const SettingsChange& change : changes) {
    out << change.commandName << " " << change.field << " " << change.value << ": "
        << HexBytes(change.frame) << "\n";
  }
  return kExitSuccess;
}

int PrintImported(CommandContext& session, const std::string& file,
                  const std::vector<SettingsChange>& changes,
                  const std::vector<SettingsDifference>& differences) {
  std::ostream& out = session.Out();
  if (session.Options().json) {
    PrintJson(out, {{"device", session.SelectedListLine()},
                    {"file", file},
                    {"dryRun", false},
                    {"locked", false},
                    {"changes", ChangesJson(changes, false)},
                    {"verified", differences.empty()},
                    {"differences", DifferencesJson(differences)}});
  } else {
    out << changes.size() << " changes sent to " << session.SelectedLine() << "\n";
    for (const SettingsChange& change : changes) {
      out << "  " << change.commandName << " " << change.field << " " << change.value << "\n";
    }
    if (differences.empty()) {
      out << "verified: the device holds the file's settings\n";
    } else {
      out << "the device's state differs from the file in " << differences.size() << " fields:\n";
      for (const SettingsDifference& difference : differences) {
        out << "  " << difference.field << ": file " << difference.wanted << ", device "
            << difference.found << "\n";
      }
    }
  }
  return differences.empty() ? kExitSuccess : kExitNotApplied;
}

// A locked multiviewer took none of the settings: said on stderr as the window says it.
int PrintLocked(CommandContext& session, const std::string& file) {
  session.Problem() << kSettingsLockedText << "\n";
  if (session.Options().json) {
    PrintJson(session.Out(), {{"device", session.SelectedListLine()},
                              {"file", file},
                              {"dryRun", false},
                              {"locked", true},
                              {"verified", false}});
  }
  return kExitNotApplied;
}

}  // namespace

std::optional<int> RefusedExportTarget(CommandContext& session, const std::string& file) {
  if (const auto refused = file.empty() ? std::nullopt : CheckSettingsFileTarget(file)) {
    session.Problem() << *refused << "\nnothing was written\n";
    return kExitUsage;
  }
  return std::nullopt;
}

int WriteExported(CommandContext& session, const std::string& file,
                  const std::variant<std::string, SettingsFileError>& document,
                  std::string_view notExportable) {
  if (const auto* refused = std::get_if<SettingsFileError>(&document)) {
    session.Problem() << notExportable << refused->Text() << "\nnothing was exported\n";
    return kExitNotApplied;
  }
  if (file.empty()) {
    session.Out() << std::get<std::string>(document);
    return kExitSuccess;
  }
  if (const std::optional<std::string> failure =
          WriteSettingsFile(file, std::get<std::string>(document))) {
    session.Problem() << *failure << "\n";
    return kExitOutputFailed;
  }
  if (session.Options().json) {
    PrintJson(session.Out(), {{"device", session.SelectedListLine()}, {"exported", file}});
  } else {
    session.Out() << "settings of " << session.SelectedLine() << " written to " << file << "\n";
  }
  return kExitSuccess;
}

int ExportSettings(CommandContext& session, const std::vector<std::string>& arguments) {
  const std::string file = arguments.size() < 3 ? std::string() : arguments[2];
  if (const std::optional<int> refused = RefusedExportTarget(session, file)) {
    return *refused;
  }
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  DeviceSession& device = session.Device();
  const std::optional<ViewerSettings> settings = ReadDeviceSettings(device);
  if (!settings) {
    return session.Unanswered("no state reply from " + session.SelectedLine() +
                              ": the read-back went unanswered; nothing was exported");
  }
  return WriteExported(session, file, ExportDocument(*settings, DeviceFacts(device)),
                       kNotExportable);
}

int ImportSettings(CommandContext& session, const std::vector<std::string>& arguments) {
  const std::string& file = arguments[2];
  return ImportSettingsDocument(session, file, ReadSettingsFile(file));
}

int ImportSettingsDocument(CommandContext& session, const std::string& file,
                           const SettingsRead& read) {
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    session.Problem() << file << ": " << error->Text() << "\nnothing was sent\n";
    return kExitUsage;
  }
  const ViewerSettings& wanted = std::get<ViewerSettings>(read);
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  DeviceSession& device = session.Device();
  const std::optional<ViewerSettings> held = ReadDeviceSettings(device);
  if (!held) {
    return session.Unanswered("no state reply from " + session.SelectedLine() +
                              ": the read-back went unanswered; nothing was sent");
  }
  const std::vector<SettingsChange> changes = PlanSettings(ViewerFrames(device), *held, wanted);
  if (session.Options().dryRun) {
    return PrintDryRun(session, file, changes);
  }
  const SettingsSending sending = SendSettingsChanges(device, changes, *held);
  if (sending.locked) {
    return PrintLocked(session, file);
  }
  if (sending.sent < changes.size()) {
    session.Problem() << "sending stopped after " << sending.sent << " of " << changes.size()
                      << " changes\n";
    return session.ReportSent("the settings", false);
  }
  const std::optional<std::vector<SettingsDifference>> differences = VerifySettings(device, wanted);
  if (!differences) {
    return session.Unanswered(
        "the read-back after sending went unanswered: the settings "
        "were sent but not verified");
  }
  return PrintImported(session, file, changes, *differences);
}

}  // namespace quintara::cli
