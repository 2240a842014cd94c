#include "core/viewer/files/SettingsTransfer.h"

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/StateImageDecoder.h"
#include "core/viewer/state/ViewerRefresh.h"

namespace quintara {
namespace {

// The settings an image holds, without the mirror: what the worker compares.
ViewerSettings SettingsOfImage(const StateImageBytes& image) {
  ViewerState state;
  state.StateImage = image;
  static_cast<void>(DecodeStateImage(state));
  return SettingsOf(state);
}

}  // namespace

std::optional<ViewerSettings> ApplySettingsReply(DeviceSession& session, const StateReply& reply) {
  if (ApplyStateReply(session, reply) != ExchangeOutcome::Answered) {
    return std::nullopt;  // the mirror holds an older image again, not the device's state
  }
  RefreshFormatTexts(session.Viewer());
  return SettingsOf(session.Viewer());
}

std::optional<ViewerSettings> ReadDeviceSettings(DeviceSession& session) {
  return ApplySettingsReply(session, FetchState(session, PrepareReadBack(session)));
}

ViewerFacts DeviceFacts(const DeviceSession& session) {
  const ViewerState& viewer = session.Viewer();
  return {std::u16string(session.NameText()), session.AddressMode(), viewer.WindowSignal,
          viewer.WindowFormatText};
}

SettingsDelivery DeliverSettingsChanges(DeviceSession& session, const StateRequest& readBack,
                                        std::span<const SettingsChange> changes,
                                        const ViewerSettings& device) {
  SettingsDelivery delivery;
  for (const SettingsChange& change : changes) {
    if (!session.SendFrame(change.frame)) {
      break;
    }
    if (++delivery.sending.sent == 1) {
      delivery.probe = FetchState(session, readBack);
      if (delivery.probe->Answered() && SettingsOfImage(delivery.probe->image) == device) {
        delivery.sending.locked = true;
        break;
      }
    }
  }
  return delivery;
}

SettingsSending SendSettingsChanges(DeviceSession& session, std::span<const SettingsChange> changes,
                                    const ViewerSettings& device) {
  if (session.Locked()) {
    return {.sent = 0, .locked = true};
  }
  const SettingsDelivery delivery =
      DeliverSettingsChanges(session, PrepareReadBack(session), changes, device);
  if (delivery.probe) {
    static_cast<void>(ApplySettingsReply(session, *delivery.probe));
  }
  return delivery.sending;
}

std::optional<std::vector<SettingsDifference>> ApplyVerification(DeviceSession& session,
                                                                 const StateReply& reply,
                                                                 const ViewerSettings& wanted) {
  const std::optional<ViewerSettings> device = ApplySettingsReply(session, reply);
  if (!device) {
    return std::nullopt;
  }
  return CompareSettings(wanted, *device);
}

std::optional<std::vector<SettingsDifference>> VerifySettings(DeviceSession& session,
                                                              const ViewerSettings& wanted) {
  return ApplyVerification(session, FetchState(session, PrepareReadBack(session)), wanted);
}

}  // namespace quintara
