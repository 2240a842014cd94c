#include "core/viewer/panel/SystemPresenter.h"

#include <functional>

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/state/ViewerRefresh.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara {
namespace {

// Send, settle, read back on the runner's worker, so the window paints meanwhile; the refresh
// follows on the caller's thread. Takes only the controller: the page that asked may be gone
// by the time the runner returns.
void Recall(DeviceSession& session, std::string_view what, const std::function<void()>& send) {
  session.Runner().Run(what, [&session, &send] {
    send();
    session.GetClock().SleepMs(session.Timing().recallPauseMs);
    // Unanswered, the status line says so and the page shows the mirror as it was.
    static_cast<void>(ReadBack(session));
  });
  RefreshAll(session.Viewer());
  session.ViewerViews().Notify([](ViewerView& view) { view.RepaintPreview(); });
}

}  // namespace

std::optional<int> SystemPresenter::OutputFormatItem() const {
  if (const auto item = quintara::OutputFormatItem(session_.Viewer().OutputFormat)) {
    return static_cast<int>(*item);
  }
  return std::nullopt;
}

std::optional<int> SystemPresenter::ChooseOutputFormat(int item) {
  if (session_.RefuseWhileLocked()) {
    // A stored code no item has would leave the refused pick on show; the list goes back to
    // what it showed before instead.
    const int shown = OutputFormatItem().value_or(shownFormatItem_);
    shownFormatItem_ = shown;
    return shown;
  }
  if (item < 0 || static_cast<std::size_t>(item) >= kOutputFormats.size()) {
    return std::nullopt;
  }
  shownFormatItem_ = item;
  const std::uint8_t code = kOutputFormats[static_cast<std::size_t>(item)].code;
  static_cast<void>(ViewerCommands(session_).SetOutputFormat(code));
  return std::nullopt;
}

SystemSwitches SystemPresenter::Switches() const {
  const ViewerState& viewer = session_.Viewer();
  return {viewer.FormatStatusOn != 0, viewer.AudioAlarmOn != 0, viewer.TimecodeOn != 0};
}

std::optional<bool> SystemPresenter::Toggle(ViewerSwitch which) {
  if (session_.RefuseWhileLocked()) {
    return std::nullopt;
  }
  ViewerState& viewer = session_.Viewer();
  ViewerCommands commands(session_);
  switch (which) {
    case ViewerSwitch::FormatStatus: {
      const std::uint8_t on = viewer.FormatStatusOn == 0 ? 1 : 0;
      static_cast<void>(commands.SetFormatStatus(on));
      return on != 0;
    }
    case ViewerSwitch::AudioAlarm: {
      const std::uint8_t on = viewer.AudioAlarmOn == 0 ? 1 : 0;
      static_cast<void>(commands.SetAudioAlarm(on));
      return on != 0;
    }
    case ViewerSwitch::Timecode: {
      const std::uint8_t on = viewer.TimecodeOn == 0 ? 1 : 0;
      static_cast<void>(commands.SetTimecode(on));
      return on != 0;
    }
    default:
      return std::nullopt;
  }
}

void SystemPresenter::SaveCustom(std::uint8_t memory) {
  static_cast<void>(ViewerCommands(session_).SendCustomMemory(ViewerCode::SaveCustom, memory));
}

void SystemPresenter::LoadCustom(std::uint8_t memory) {
  DeviceSession& session = session_;
  Recall(session, kLoadingCustomText, [&session, memory] {
    static_cast<void>(ViewerCommands(session).SendCustomMemory(ViewerCode::LoadCustom, memory));
  });
}

bool SystemPresenter::LoadDefaults() {
  if (session_.RefuseWhileLocked()) {
    return false;
  }
  DeviceSession& session = session_;
  Recall(session, kLoadingDefaultsText,
         [&session] { static_cast<void>(ViewerCommands(session).LoadDefaults()); });
  ViewerState& viewer = session.Viewer();
  viewer.AudioWindowItem = 0;
  viewer.ColourWindowItem = 0;
  viewer.ColourSourceItem = 0;
  return true;
}

}  // namespace quintara
