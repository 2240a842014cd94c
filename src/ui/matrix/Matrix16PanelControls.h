#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the sixteen-channel matrix panel.
namespace Matrix16PanelId {
// Input, output and status button n (1-16).
constexpr int Input(int n) {
  return 1155 + n;
}
constexpr int Output(int n) {
  return 1171 + n;
}
constexpr int Status(int n) {
  return 1081 + n;
}
inline constexpr int BacklightTime = 1054;
inline constexpr int OutputFormat = 1074;
inline constexpr int Apply = 1188;
inline constexpr int Refresh = 1189;
inline constexpr int OneToAll = 1190;
inline constexpr int OneToOne = 1191;
inline constexpr int OutputFormatLabel = 1192;
inline constexpr int BacklightTimeLabel = 1193;
inline constexpr int BrightnessLabel = 1194;
inline constexpr int BrightnessText = 1196;
inline constexpr int Brightness = 1197;
}  // namespace Matrix16PanelId

ControlTable Matrix16PanelControls();

}  // namespace quintara::ui
