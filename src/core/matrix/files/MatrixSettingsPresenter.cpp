#include "core/matrix/files/MatrixSettingsPresenter.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/session/DeviceSession.h"

namespace quintara {
namespace {

constexpr std::string_view kDevice = "matrix switcher";

bool IsMatrix(const DeviceSession& session) {
  return session.Kind() != nullptr && session.Kind()->commandWord == "matrix";
}

// What loading a file carries from its first read to the commands and on to the report.
struct LoadJob {
  DeviceSession& session;
  MatrixSettings wanted;
  Continuation catchUp;
};

// What the commands' exchange brought back from the wire.
struct Delivered {
  std::size_t sent = 0;
  MatrixSettingsReplies verification;
};

void WriteSettings(DeviceSession& session, const MatrixSettingsReplies& replies,
                   const std::filesystem::path& path) {
  Prompter& prompter = session.GetPrompter();
  const std::optional<MatrixSettings> settings = ApplyMatrixReplies(session, replies);
  if (!settings) {
    prompter.ShowError(kMatrixSaveUnansweredError);
    return;
  }
  const auto document = ExportMatrixDocument(*settings, MatrixDeviceFacts(session));
  if (const auto* refused = std::get_if<SettingsFileError>(&document)) {
    prompter.ShowError(std::string(kSaveFailedError) + std::string(kMatrixNotExportable) +
                       refused->Text());
    return;
  }
  if (const auto error = WriteSettingsFile(path, std::get<std::string>(document))) {
    prompter.ShowError(std::string(kSaveFailedError) + *error);
  }
}

void ReportLoad(const LoadJob& job, const std::vector<MatrixSettingsChange>& changes,
                const Delivered& delivered) {
  DeviceSession& session = job.session;
  NoteMatrixRoutesSent(session, changes, delivered.sent);
  const std::optional<std::vector<SettingsDifference>> found =
      ApplyMatrixVerification(session, delivered.verification, job.wanted);
  Prompter& prompter = session.GetPrompter();
  if (const auto problem = LoadProblem(kDevice, changes.size(), delivered.sent, found)) {
    prompter.ShowError(*problem);
  } else {
    prompter.ShowInfo(kSettingsVerified);
  }
  // Only once the operator has read how it went: a switcher's panel reads the switcher as it
  // opens, and those reads would wait behind the message, leaving a panel without its values.
  if (job.catchUp) {
    job.catchUp();
  }
}

// Once the switcher's settings are in: the plan, the operator's word, and the commands.
void ConfirmAndSend(const std::shared_ptr<const LoadJob>& job,
                    const MatrixSettingsReplies& replies) {
  DeviceSession& session = job->session;
  Prompter& prompter = session.GetPrompter();
  const std::optional<MatrixSettings> device = ApplyMatrixReplies(session, replies);
  if (!device) {
    prompter.ShowError(kMatrixLoadUnansweredError);
    return;
  }
  if (session.Locked()) {  // as its status has just said
    prompter.ShowError(kMatrixLoadLockedError);
    return;
  }
  std::vector<MatrixSettingsChange> changes = PlanMatrixSettings(
      session.Entry().DeviceAddress, session.CurrentLink(), *device, job->wanted);
  if (changes.empty()) {
    prompter.ShowInfo(kMatrixSettingsAlreadyHeld);
    return;
  }
  if (!prompter.Confirm(ApplyQuestion(kDevice, CompareMatrixSettings(job->wanted, *device)))) {
    return;
  }
  session.Runner().Start(
      kSendingSettingsText,
      [job, queries = PrepareMatrixRead(session), changes = std::move(changes)]() -> Continuation {
        Delivered delivered{DeliverMatrixChanges(job->session, changes),
                            FetchMatrixSettings(job->session, queries)};
        return [job, changes, delivered = std::move(delivered)] {
          ReportLoad(*job, changes, delivered);
        };
      });
}

}  // namespace

void MatrixSettingsPresenter::Save(const std::filesystem::path& path) {
  DeviceSession& session = session_;
  Prompter& prompter = session.GetPrompter();
  if (!IsMatrix(session)) {
    prompter.ShowError(std::string(kSaveFailedError) + std::string(kNotAMatrixSwitcher));
    return;
  }
  if (const auto refused = CheckSettingsFileTarget(path)) {
    prompter.ShowError(std::string(kSaveFailedError) + *refused);
    return;
  }
  session.Runner().Start(kReadingStateText,
                         [&session, queries = PrepareMatrixRead(session), path]() -> Continuation {
                           return [&session, replies = FetchMatrixSettings(session, queries),
                                   path] { WriteSettings(session, replies, path); };
                         });
}

void MatrixSettingsPresenter::Load(const std::filesystem::path& path, Continuation catchUp) {
  DeviceSession& session = session_;
  Prompter& prompter = session.GetPrompter();
  MatrixSettingsRead read = ReadMatrixSettingsFile(path);
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    prompter.ShowError(std::string(kSettingsFileError) + error->Text());
    return;
  }
  MatrixSettings& wanted = std::get<MatrixSettings>(read);
  if (const auto mismatch = KindMismatch(wanted.kind, session.Kind())) {
    prompter.ShowError(std::string(kSettingsFileError) + *mismatch);
    return;
  }
  if (session.Locked()) {
    prompter.ShowError(kMatrixLoadLockedError);
    return;
  }
  auto job =
      std::make_shared<const LoadJob>(LoadJob{session, std::move(wanted), std::move(catchUp)});
  session.Runner().Start(kReadingStateText,
                         [job, queries = PrepareMatrixRead(session)]() -> Continuation {
                           return [job, replies = FetchMatrixSettings(job->session, queries)] {
                             ConfirmAndSend(job, replies);
                           };
                         });
}

}  // namespace quintara
