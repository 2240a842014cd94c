#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/viewer/state/ViewerSettings.h"

namespace quintara {

class DeviceSession;

// Saving a multiviewer's settings and applying them to a unit. These run the exchanges
// directly: a window calls them inside its exchange runner, and they touch nothing but the
// controller and its mirror.

// Reads the device's whole state back; its settings, or nothing when it did not answer.
std::optional<ViewerSettings> ReadDeviceSettings(DeviceSession& session);
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

// Reads the state back and lists where the device differs from the wanted settings; nothing
// when it did not answer.
std::optional<std::vector<SettingsDifference>> VerifySettings(DeviceSession& session,
                                                              const ViewerSettings& wanted);

}  // namespace quintara
