#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/state/ViewerSettings.h"

namespace quintara {

class DeviceSession;

// Saving a multiviewer's settings and applying them to a unit. The functions that take a
// StateRequest are wire parts, for an exchange's worker: they touch nothing of the session but
// its link, and hand back the replies they read. The others run on the owner's thread; those
// without a StateRequest run their exchanges there too (the command line).

// Reads the device's whole state back; its settings, or nothing when it did not answer.
std::optional<ViewerSettings> ReadDeviceSettings(DeviceSession& session);
// A read-back's reply applied to the mirror as ReadDeviceSettings applies it.
std::optional<ViewerSettings> ApplySettingsReply(DeviceSession& session, const StateReply& reply);
// What the last read-back told of the unit beyond its settings.
ViewerFacts DeviceFacts(const DeviceSession& session);

// What a locked multiviewer leaves its operator with, from the window and the command line alike.
inline constexpr std::string_view kSettingsLockedText =
    "The multiviewer is locked: none of the settings was applied.\n"
    "Unlock it, then load the file again.";

// How sending went: the setters that went out, and whether the multiviewer showed itself locked
// (nothing more is sent then).
struct SettingsSending {
  std::size_t sent = 0;
  bool locked = false;
};

// Sends the changes in order, each as its own frame on the current link, to a multiviewer that
// held the settings device; fewer than planned when a send failed. Nothing goes out while this
// controller holds the lock. A multiviewer locked from elsewhere tells nobody: it only ignores
// its setters. So the first one is read back before the rest go out, and a unit that took
// nothing of it is taken as locked and left as it was.
SettingsSending SendSettingsChanges(DeviceSession& session, std::span<const SettingsChange> changes,
                                    const ViewerSettings& device);

// The wire part of SendSettingsChanges, for a unit this controller does not hold locked: how
// sending went, and the reply of the read-back on the way (none when nothing went out).
struct SettingsDelivery {
  SettingsSending sending;
  std::optional<StateReply> probe;
};
SettingsDelivery DeliverSettingsChanges(DeviceSession& session, const StateRequest& readBack,
                                        std::span<const SettingsChange> changes,
                                        const ViewerSettings& device);

// Reads the state back and lists where the device differs from the wanted settings; nothing
// when it did not answer.
std::optional<std::vector<SettingsDifference>> VerifySettings(DeviceSession& session,
                                                              const ViewerSettings& wanted);
// VerifySettings once its read-back's reply is in.
std::optional<std::vector<SettingsDifference>> ApplyVerification(DeviceSession& session,
                                                                 const StateReply& reply,
                                                                 const ViewerSettings& wanted);

}  // namespace quintara
