#include "core/viewer/files/SettingsTransfer.h"

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/state/ViewerRefresh.h"

namespace quintara {

std::optional<ViewerSettings> ReadDeviceSettings(DeviceSession& session) {
  if (ReadBack(session) != ExchangeOutcome::Answered) {
    return std::nullopt;  // the mirror holds an older image again, not the device's state
  }
  RefreshFormatTexts(session.Viewer());
  return SettingsOf(session.Viewer());
}

ViewerFacts DeviceFacts(const DeviceSession& session) {
  const ViewerState& viewer = session.Viewer();
  return {std::u16string(session.NameText()), session.AddressMode(), viewer.WindowSignal,
          viewer.WindowFormatText};
}

SettingsSending SendSettingsChanges(DeviceSession& session, std::span<const SettingsChange> changes,
                                    const ViewerSettings& device) {
  if (session.Locked()) {
    return {.sent = 0, .locked = true};
  }
  SettingsSending sending;
  for (const SettingsChange& change : changes) {
    if (!session.SendFrame(change.frame)) {
      break;
    }
    if (++sending.sent == 1 && ReadDeviceSettings(session) == device) {
      sending.locked = true;
      break;
    }
  }
  return sending;
}

std::optional<std::vector<SettingsDifference>> VerifySettings(DeviceSession& session,
                                                              const ViewerSettings& wanted) {
  const std::optional<ViewerSettings> device = ReadDeviceSettings(session);
  if (!device) {
    return std::nullopt;
  }
  return CompareSettings(wanted, *device);
}

}  // namespace quintara
