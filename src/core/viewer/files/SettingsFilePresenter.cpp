#include "core/viewer/files/SettingsFilePresenter.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "core/files/SettingsReport.h"
#include "core/session/DeviceSession.h"
#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/files/SettingsTransfer.h"
#include "core/viewer/protocol/ViewerFrames.h"
#include "core/viewer/state/ViewerSettings.h"

namespace quintara {
namespace {

constexpr std::string_view kDevice = "multiviewer";

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
  } else if (const auto problem = LoadProblem(kDevice, planned, sending.sent, found)) {
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
  if (!prompter.Confirm(ApplyQuestion(kDevice, CompareSettings(job->wanted, *device)))) {
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
