#include "cli/MatrixSettingsCli.h"

#include <ostream>
#include <variant>

#include "cli/CommandContext.h"
#include "cli/Json.h"
#include "cli/SettingsCli.h"
#include "core/matrix/files/MatrixSettingsTransfer.h"
#include "core/session/DeviceSession.h"
#include "core/text/TextCodec.h"

namespace quintara::cli {
namespace {

Json ChangesJson(const std::vector<MatrixSettingsChange>& changes, bool withBytes) {
  Json list = Json::array();
  for (const MatrixSettingsChange& change : changes) {
    Json entry{{"field", change.field}, {"command", change.commandName}, {"value", change.value}};
    if (withBytes) {
      entry["frame"] = HexBytes(change.bytes);  // a routing text's bytes, unframed
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

std::string ChangeLine(const MatrixSettingsChange& change) {
  return std::string(change.commandName) + " " + change.field + " " + change.value;
}

int PrintDryRun(CommandContext& session, const std::string& file,
                const std::vector<MatrixSettingsChange>& changes) {
  std::ostream& out = session.Out();
  if (session.Options().json) {
    PrintJson(out, {{"device", session.SelectedListLine()},
                    {"file", file},
                    {"dryRun", true},
                    {"changes", ChangesJson(changes, true)}});
    return kExitSuccess;
  }
  out << changes.size() << " commands would go to " << session.SelectedLine()
      << (changes.empty() ? ": it holds the file's settings already\n" : ":\n");
  for (const MatrixSettingsChange& change : changes) {
    out << ChangeLine(change) << ": " << HexBytes(change.bytes) << "\n";
  }
  return kExitSuccess;
}

int PrintImported(CommandContext& session, const std::string& file,
                  const std::vector<MatrixSettingsChange>& changes,
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
    for (const MatrixSettingsChange& change : changes) {
      out << "  " << ChangeLine(change) << "\n";
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

// A locked switcher is sent none of the settings: said on stderr as the window says it.
int PrintLocked(CommandContext& session, const std::string& file) {
  session.Problem() << kMatrixSettingsLockedText << "\n";
  if (session.Options().json) {
    PrintJson(session.Out(), {{"device", session.SelectedListLine()},
                              {"file", file},
                              {"dryRun", session.Options().dryRun},
                              {"locked", true},
                              {"verified", false}});
  }
  return kExitNotApplied;
}

int Unanswered(CommandContext& session, std::string_view outcome) {
  return session.Unanswered("no status or backlight reply from " + session.SelectedLine() +
                            ": the queries went unanswered; " + std::string(outcome));
}

}  // namespace

int ExportMatrixSettings(CommandContext& session, const std::vector<std::string>& arguments) {
  const std::string file = arguments.size() < 3 ? std::string() : arguments[2];
  if (const std::optional<int> refused = RefusedExportTarget(session, file)) {
    return *refused;
  }
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  DeviceSession& device = session.Device();
  const std::optional<MatrixSettings> settings = ReadMatrixSettings(device);
  if (!settings) {
    return Unanswered(session, "nothing was exported");
  }
  return WriteExported(session, file, ExportMatrixDocument(*settings, MatrixDeviceFacts(device)),
                       kMatrixNotExportable);
}

int ImportMatrixSettings(CommandContext& session, const std::vector<std::string>& arguments) {
  const std::string& file = arguments[2];
  return ImportMatrixSettingsDocument(session, file, ReadMatrixSettingsFile(file));
}

int ImportMatrixSettingsDocument(CommandContext& session, const std::string& file,
                                 const MatrixSettingsRead& read) {
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    session.Problem() << file << ": " << error->Text() << "\nnothing was sent\n";
    return kExitUsage;
  }
  const MatrixSettings& wanted = std::get<MatrixSettings>(read);
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  DeviceSession& device = session.Device();
  if (const auto mismatch = KindMismatch(wanted.kind, device.Kind())) {
    session.Problem() << file << ": " << *mismatch << "\nnothing was sent\n";
    return kExitUsage;
  }
  const std::optional<MatrixSettings> held = ReadMatrixSettings(device);
  if (!held) {
    return Unanswered(session, "nothing was sent");
  }
  if (device.Locked()) {
    return PrintLocked(session, file);
  }
  const std::vector<MatrixSettingsChange> changes =
      PlanMatrixSettings(device.Entry().DeviceAddress, device.CurrentLink(), *held, wanted);
  if (session.Options().dryRun) {
    return PrintDryRun(session, file, changes);
  }
  if (const std::size_t sent = SendMatrixChanges(device, changes); sent < changes.size()) {
    session.Problem() << "sending stopped after " << sent << " of " << changes.size()
                      << " changes\n";
    return session.ReportSent("the settings", false);
  }
  const std::optional<std::vector<SettingsDifference>> differences =
      VerifyMatrixSettings(device, wanted);
  if (!differences) {
    return session.Unanswered(
        "the queries after sending went unanswered: the settings were sent but not verified");
  }
  return PrintImported(session, file, changes, *differences);
}

}  // namespace quintara::cli
