// A settings file as an operator might hand one over: any bytes at all, read as a multiviewer's
// and as a matrix switcher's. What passes the checks is whole and in range (it writes and reads
// back the same), and planning it against a unit gives the setters' frames (and the routing
// texts) only.
#include <variant>

#include "core/matrix/files/MatrixSettingsTransfer.h"
#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/protocol/ViewerFrames.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"

namespace quintara::fuzz {
namespace {

void FeedMatrixSettings(std::string_view text) {
  const MatrixSettingsRead read = ReadMatrixSettingsDocument(text);
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    QUINTARA_FUZZ_CHECK(!error->problem.empty());
    return;
  }
  const MatrixSettings& settings = std::get<MatrixSettings>(read);
  const MatrixSettingsRead again =
      ReadMatrixSettingsDocument(WriteMatrixSettingsDocument(settings, {}));
  QUINTARA_FUZZ_CHECK(std::holds_alternative<MatrixSettings>(again));
  QUINTARA_FUZZ_CHECK(std::get<MatrixSettings>(again) == settings);

  MatrixSettings unit;  // a unit of the kind that reports nothing: every route differs
  unit.kind = settings.kind;
  for (const MatrixSettingsChange& change :
       PlanMatrixSettings(0x01, LinkKind::Lan, unit, settings)) {
    QUINTARA_FUZZ_CHECK(change.Routing() ? change.bytes.back() == '.'
                                         : change.bytes.size() > frame::kCommandCodeOffset);
  }
}

}  // namespace

void FeedSettingsFile(Input input) {
  const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
  FeedMatrixSettings(text);
  const SettingsRead read = ReadSettingsDocument(text);
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    QUINTARA_FUZZ_CHECK(!error->problem.empty());
    return;
  }
  const ViewerSettings& settings = std::get<ViewerSettings>(read);
  const SettingsRead again = ReadSettingsDocument(WriteSettingsDocument(settings, {}));
  QUINTARA_FUZZ_CHECK(std::holds_alternative<ViewerSettings>(again));
  QUINTARA_FUZZ_CHECK(std::get<ViewerSettings>(again) == settings);

  ControllerRig rig(LinkKind::Lan);
  const std::vector<SettingsChange> changes =
      PlanSettings(ViewerFrames(rig.controller.Session()), ViewerSettings{}, settings);
  for (const SettingsChange& change : changes) {
    QUINTARA_FUZZ_CHECK(change.frame.size() > frame::kCommandCodeOffset);
    QUINTARA_FUZZ_CHECK(!change.commandName.empty() && !change.value.empty());
  }
}

}  // namespace quintara::fuzz
