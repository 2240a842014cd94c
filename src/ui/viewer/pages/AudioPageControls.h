#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the Audio page.
namespace AudioPageId {
inline constexpr int Source = 1074;     // OFF, WIN 1 ... WIN 16
inline constexpr int MeterOn = 1141;    // the chosen window's meter on
inline constexpr int MeterOff = 1142;   // ... and off
inline constexpr int Window = 1075;     // the window whose meter the page shows
inline constexpr int Channels = 1077;   // that meter's channel pair
inline constexpr int AllMeters = 1146;  // the global meter switch
}  // namespace AudioPageId

ControlTable AudioPageControls();

}  // namespace quintara::ui
