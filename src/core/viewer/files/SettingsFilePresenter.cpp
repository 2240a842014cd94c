#include "core/viewer/files/SettingsFilePresenter.h"

#include <memory>
#include <optional>
#include <span>
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

// What loading a file carries from its read-back to the setters and on to the report.
struct LoadJob {
  DeviceSession& session;
  ViewerSettings wanted;
  SettingsFilePresenter::PanelSteps panel;
};

// What the setters' exchange brought back from the wire.
struct Delivered {
  SettingsDelivery delivery;
  std::optional<StateReply> verification;
};

void WriteSettings(DeviceSession& session, const StateReply& reply,
                   const std::filesystem::path& path) {
  Prompter& prompter = session.GetPrompter();
  const std::optional<ViewerSettings> settings = ApplySettingsReply(session, reply);
  if (!settings) {
    prompter.ShowError(kSaveUnansweredError);
    return;
  }
  const auto document = ExportDocument(*settings, DeviceFacts(session));
  if (const auto* refused = std::get_if<SettingsFileError>(&document)) {
    prompter.ShowError(std::string(kSaveFailedError) + std::string(kNotExportable) +
                       refused->Text());
    return;
  }
  if (const auto error = WriteSettingsFile(path, std::get<std::string>(document))) {
    prompter.ShowError(std::string(kSaveFailedError) + *error);
  }
}

// The wire part of the setters: nothing goes out while this controller holds the lock.
Delivered Deliver(DeviceSession& session, const StateRequest& readBack, bool locked,
                  std::span<const SettingsChange> changes, const ViewerSettings& device) {
  Delivered delivered;
  if (locked) {
    delivered.delivery.sending = {.sent = 0, .locked = true};
    return delivered;
  }
  delivered.delivery = DeliverSettingsChanges(session, readBack, changes, device);
  if (!delivered.delivery.sending.locked) {
    delivered.verification = FetchState(session, readBack);
  }
  return delivered;
}

void ReportLoad(const LoadJob& job, std::size_t planned, const Delivered& delivered) {
  DeviceSession& session = job.session;
  if (delivered.delivery.probe) {
    static_cast<void>(ApplySettingsReply(session, *delivered.delivery.probe));
  }
  std::optional<std::vector<SettingsDifference>> found;
  if (delivered.verification) {
    found = ApplyVerification(session, *delivered.verification, job.wanted);
  }
  job.panel.catchUp();

  Prompter& prompter = session.GetPrompter();
  const SettingsSending& sending = delivered.delivery.sending;
  if (sending.locked) {
    prompter.ShowError(kLoadLockedError);
  } else if (const auto problem = LoadProblem(planned, sending.sent, found)) {
    prompter.ShowError(*problem);
  } else {
    prompter.ShowInfo(kSettingsVerified);
  }
}

// Once the device's settings are in: the plan, the operator's word, and the setters.
void ConfirmAndSend(const std::shared_ptr<const LoadJob>& job, const StateReply& reply) {
  DeviceSession& session = job->session;
  Prompter& prompter = session.GetPrompter();
  const std::optional<ViewerSettings> device = ApplySettingsReply(session, reply);
  if (!device) {
    prompter.ShowError(kLoadUnansweredError);
    return;
  }
  std::vector<SettingsChange> changes = PlanSettings(ViewerFrames(session), *device, job->wanted);
  if (changes.empty()) {
    prompter.ShowInfo(kSettingsAlreadyHeld);
    return;
  }
  if (!prompter.Confirm(ApplyQuestion(CompareSettings(job->wanted, *device)))) {
    return;
  }
  job->panel.stopFollowing();
  session.Runner().Start(
      kSendingSettingsText,
      [job, readBack = PrepareReadBack(session), locked = session.Locked(),
       changes = std::move(changes), device = *device]() -> Continuation {
        return [job, planned = changes.size(),
                delivered = Deliver(job->session, readBack, locked, changes, device)] {
          ReportLoad(*job, planned, delivered);
        };
      });
}

}  // namespace

void SettingsFilePresenter::Save(const std::filesystem::path& path) {
  DeviceSession& session = session_;
  if (const auto refused = CheckSettingsFileTarget(path)) {
    session.GetPrompter().ShowError(std::string(kSaveFailedError) + *refused);
    return;
  }
  session.Runner().Start(kReadingStateText,
                         [&session, readBack = PrepareReadBack(session), path]() -> Continuation {
                           return [&session, reply = FetchState(session, readBack), path] {
                             WriteSettings(session, reply, path);
                           };
                         });
}

void SettingsFilePresenter::Load(const std::filesystem::path& path, const PanelSteps& panel) {
  DeviceSession& session = session_;
  Prompter& prompter = session.GetPrompter();
  SettingsRead read = ReadSettingsFile(path);
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    prompter.ShowError(std::string(kSettingsFileError) + error->Text());
    return;
  }
  if (session.Locked()) {
    prompter.ShowError(kLoadLockedError);
    return;
  }
  auto job = std::make_shared<const LoadJob>(
      LoadJob{session, std::move(std::get<ViewerSettings>(read)), panel});
  session.Runner().Start(
      kReadingStateText, [job, readBack = PrepareReadBack(session)]() -> Continuation {
        return [job, reply = FetchState(job->session, readBack)] { ConfirmAndSend(job, reply); };
      });
}

}  // namespace quintara
