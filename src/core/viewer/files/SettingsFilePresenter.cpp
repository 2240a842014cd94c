#include "core/viewer/files/SettingsFilePresenter.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/session/DeviceSession.h"
#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/files/SettingsTransfer.h"
#include "core/viewer/protocol/ViewerFrames.h"
#include "core/viewer/state/ViewerSettings.h"

namespace quintara {
namespace {

// A box stays readable: the first dozen fields are named, the rest counted.
constexpr std::size_t kListedFields = 12;

std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

template <typename Line>
std::string Listing(const std::vector<SettingsDifference>& differences, Line line) {
  // "... and 1 more" would take the line that one needs.
  const std::size_t named =
      differences.size() <= kListedFields + 1 ? differences.size() : kListedFields;
  std::string text;
  for (std::size_t i = 0; i < named; ++i) {
    text += "\n" + line(differences[i]);
  }
  if (named < differences.size()) {
    text += "\n... and " + std::to_string(differences.size() - named) + " more";
  }
  return text;
}

std::string ApplyQuestion(const std::vector<SettingsDifference>& changing) {
  return "Apply the settings file to the multiviewer?\n\n" +
         Counted(changing.size(), "setting will change", "settings will change") +
         " (multiviewer -> file):" + Listing(changing, [](const SettingsDifference& d) {
           return d.field + ": " + d.found + " -> " + d.wanted;
         });
}

// How many of the setters went out, as the start of a report of what went wrong.
std::string SentText(std::size_t planned, std::size_t sent) {
  if (sent == planned) {
    return "The settings were sent, but ";
  }
  if (sent == 0) {
    return "The settings could not be sent, and ";
  }
  return "Only " + std::to_string(sent) + " of " + Counted(planned, "command", "commands") +
         " could be sent, and ";
}

// How the setters went, when anything went wrong; nothing when every one was sent and the
// read-back found every setting of the file.
std::optional<std::string> LoadProblem(
    std::size_t planned, std::size_t sent,
    const std::optional<std::vector<SettingsDifference>>& found) {
  const std::string text = SentText(planned, sent);
  if (!found) {
    return text +
           "the multiviewer did not answer the read-back: the settings could not be "
           "verified.";
  }
  if (!found->empty()) {
    return text + "the multiviewer differs from the file in " +
           Counted(found->size(), "setting", "settings") + ":" +
           Listing(*found, [](const SettingsDifference& d) {
             return d.field + ": file " + d.wanted + ", multiviewer " + d.found;
           });
  }
  if (sent < planned) {
    return text + "yet the multiviewer holds every setting of the file.";
  }
  return std::nullopt;
}

}  // namespace

bool SettingsFilePresenter::Save(const std::filesystem::path& path) {
  DeviceSession& session = session_;
  if (const auto refused = CheckSettingsFileTarget(path)) {
    session.GetPrompter().ShowError(std::string(kSaveFailedError) + *refused);
    return false;
  }
  std::optional<ViewerSettings> settings;
  ViewerFacts facts;
  session.Runner().Run(kReadingStateText, [&session, &settings, &facts] {
    settings = ReadDeviceSettings(session);
    if (settings) {
      facts = DeviceFacts(session);
    }
  });
  if (!settings) {
    session.GetPrompter().ShowError(kSaveUnansweredError);
    return false;
  }
  const auto document = ExportDocument(*settings, facts);
  if (const auto* refused = std::get_if<SettingsFileError>(&document)) {
    session.GetPrompter().ShowError(std::string(kSaveFailedError) + std::string(kNotExportable) +
                                    refused->Text());
    return false;
  }
  if (const auto error = WriteSettingsFile(path, std::get<std::string>(document))) {
    session.GetPrompter().ShowError(std::string(kSaveFailedError) + *error);
    return false;
  }
  return true;
}

bool SettingsFilePresenter::Load(const std::filesystem::path& path, const PanelSteps& panel) {
  DeviceSession& session = session_;
  Prompter& prompter = session.GetPrompter();
  const SettingsRead read = ReadSettingsFile(path);
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    prompter.ShowError(std::string(kSettingsFileError) + error->Text());
    return false;
  }
  const ViewerSettings& wanted = std::get<ViewerSettings>(read);
  if (session.Locked()) {
    prompter.ShowError(kLoadLockedError);
    return false;
  }

  std::optional<ViewerSettings> device;
  session.Runner().Run(kReadingStateText,
                       [&session, &device] { device = ReadDeviceSettings(session); });
  if (!device) {
    prompter.ShowError(kLoadUnansweredError);
    return false;
  }
  const std::vector<SettingsChange> changes = PlanSettings(ViewerFrames(session), *device, wanted);
  if (changes.empty()) {
    prompter.ShowInfo(kSettingsAlreadyHeld);
    return false;
  }
  if (!prompter.Confirm(ApplyQuestion(CompareSettings(wanted, *device)))) {
    return false;
  }

  panel.stopFollowing();
  SettingsSending sending;
  std::optional<std::vector<SettingsDifference>> found;
  session.Runner().Run(kSendingSettingsText,
                       [&session, &changes, &device, &wanted, &sending, &found] {
                         sending = SendSettingsChanges(session, changes, *device);
                         if (!sending.locked) {
                           found = VerifySettings(session, wanted);
                         }
                       });
  panel.catchUp();

  if (sending.locked) {
    prompter.ShowError(kLoadLockedError);
  } else if (const auto problem = LoadProblem(changes.size(), sending.sent, found)) {
    prompter.ShowError(*problem);
  } else {
    prompter.ShowInfo(kSettingsVerified);
  }
  return sending.sent > 0;
}

}  // namespace quintara
