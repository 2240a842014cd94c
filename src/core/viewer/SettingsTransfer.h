#pragma once

#include <optional>
#include <span>
#include <vector>

#include "core/viewer/ViewerSettings.h"

namespace quintara {

class Controller;

// Saving a multiviewer's settings and applying them to a unit. These run the exchanges
// directly: a window calls them inside its exchange runner, and they touch nothing but the
// controller and its mirror.

// Reads the device's whole state back; its settings, or nothing when it did not answer.
std::optional<ViewerSettings> ReadDeviceSettings(Controller& controller);
// What the last read-back told of the unit beyond its settings.
ViewerFacts DeviceFacts(const Controller& controller);

// Sends the changes in order, each as its own frame on the current link; nothing while the
// device is locked. How many were sent: fewer than planned when a send failed.
std::size_t SendSettingsChanges(Controller& controller, std::span<const SettingsChange> changes);

// Reads the state back and lists where the device differs from the wanted settings; nothing
// when it did not answer.
std::optional<std::vector<SettingsDifference>> VerifySettings(Controller& controller,
                                                              const ViewerSettings& wanted);

}  // namespace quintara
