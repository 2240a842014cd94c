#include "core/viewer/panel/SystemPresenter.h"

#include <utility>

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/protocol/ViewerFrames.h"
#include "core/viewer/state/ViewerRefresh.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara {
namespace {

// The wire part of a recall: the send, the device's time to settle, the read-back.
StateReply RecallOnTheWire(DeviceSession& session, const std::optional<Frame>& send, int pauseMs,
                           const StateRequest& readBack) {
  if (send) {
    static_cast<void>(session.SendFrame(*send));
  }
  session.GetClock().SleepMs(pauseMs);
  return FetchState(session, readBack);
}

}  // namespace

void SystemPresenter::Recall(std::string_view what, std::optional<Frame> send, Continuation besides,
                             Continuation recalled) {
  DeviceSession& session = session_;
  // The mirror is the session's: it takes what the device recalled even when the page that
  // asked has gone by then; only what the page shows goes with it.
  const Continuation shown = recalled ? lifetime_.Guard(std::move(recalled)) : Continuation();
  session.Runner().Start(
      what,
      [&session, send = std::move(send), besides, shown, pauseMs = session.Timing().recallPauseMs,
       readBack = PrepareReadBack(session)]() -> Continuation {
        return
            [&session, besides, shown, reply = RecallOnTheWire(session, send, pauseMs, readBack)] {
              // Unanswered, the status line says so and the page shows the mirror as it was.
              static_cast<void>(ApplyStateReply(session, reply));
              RefreshAll(session.Viewer());
              session.ViewerViews().Notify([](ViewerView& view) { view.RepaintPreview(); });
              if (besides) {
                besides();
              }
              if (shown) {
                shown();
              }
            };
      });
}

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

void SystemPresenter::LoadCustom(std::uint8_t memory, Continuation recalled) {
  std::optional<Frame> send;
  if (!session_.RefuseWhileLocked()) {
    send = ViewerFrames(session_).OneValue(ViewerCode::LoadCustom, memory);
  }
  Recall(kLoadingCustomText, std::move(send), {}, std::move(recalled));
}

bool SystemPresenter::LoadDefaults(Continuation recalled) {
  if (session_.RefuseWhileLocked()) {
    return false;
  }
  DeviceSession& session = session_;
  // The panel that asked may have gone by the time the defaults are in; whichever is open then
  // starts its pages' items afresh.
  Recall(
      kLoadingDefaultsText, ViewerFrames(session_).OneValue(ViewerCode::LoadDefaults, 0x00),
      [&session] {
        if (PanelSelections* panel = session.Panel()) {
          panel->AudioWindowItem = 0;
          panel->ColourWindowItem = 0;
          panel->ColourSourceItem = 0;
        }
      },
      std::move(recalled));
  return true;
}

}  // namespace quintara
