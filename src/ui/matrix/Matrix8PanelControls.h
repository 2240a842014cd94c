#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the eight-channel matrix panel.
namespace Matrix8PanelId {
// Input, output and status button n (1-8).
constexpr int Input(int n) {
  return 1053 + n;
}
constexpr int Output(int n) {
  return 1061 + n;
}
constexpr int Status(int n) {
  return 1127 + n;
}
inline constexpr int BacklightTime = 1074;
inline constexpr int Apply = 1082;
inline constexpr int OneToAll = 1136;
inline constexpr int OneToOne = 1137;
inline constexpr int Refresh = 1138;
inline constexpr int Brightness = 1139;
inline constexpr int BrightnessText = 1140;
}  // namespace Matrix8PanelId

// The panel's controls at a horizontal resolution: Apply and Refresh sit a little further right
// on screens above 120 dpi.
ControlTable Matrix8PanelControls(int dpiX);

}  // namespace quintara::ui
