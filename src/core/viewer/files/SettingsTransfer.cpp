#include "core/viewer/files/SettingsTransfer.h"

#include "core/Controller.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/state/ViewerRefresh.h"

namespace quintara {

std::optional<ViewerSettings> ReadDeviceSettings(Controller& controller) {
  if (ReadBack(controller) != ExchangeOutcome::Answered) {
    return std::nullopt;  // the mirror holds an older image again, not the device's state
  }
  RefreshFormatTexts(controller.Viewer());
  return SettingsOf(controller.Viewer());
}

ViewerFacts DeviceFacts(const Controller& controller) {
  const ViewerState& viewer = controller.Viewer();
  return {std::u16string(controller.NameText()), controller.AddressMode(), viewer.WindowSignal,
          viewer.WindowFormatText};
}

SettingsSending SendSettingsChanges(Controller& controller, std::span<const SettingsChange> changes,
                                    const ViewerSettings& device) {
  if (controller.Locked()) {
    return {.sent = 0, .locked = true};
  }
  SettingsSending sending;
  for (const SettingsChange& change : changes) {
    if (!controller.SendFrame(change.frame)) {
      break;
    }
    if (++sending.sent == 1 && ReadDeviceSettings(controller) == device) {
      sending.locked = true;
      break;
    }
  }
  return sending;
}

std::optional<std::vector<SettingsDifference>> VerifySettings(Controller& controller,
                                                              const ViewerSettings& wanted) {
  const std::optional<ViewerSettings> device = ReadDeviceSettings(controller);
  if (!device) {
    return std::nullopt;
  }
  return CompareSettings(wanted, *device);
}

}  // namespace quintara
