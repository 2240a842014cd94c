#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// The main window's controls, by their numbers in its layout.
namespace MainWindowId {
inline constexpr int Minimise = 1000;
inline constexpr int Close = 1001;
inline constexpr int Search = 1002;
inline constexpr int DeviceList = 1003;
inline constexpr int LinkSettings = 1004;
inline constexpr int Lock = 1005;
inline constexpr int VersionLine = 1006;
inline constexpr int StatusLine = 1007;
inline constexpr int PanelArea = 1008;
inline constexpr int NameField = 1147;
inline constexpr int FocusSink = 1148;
}  // namespace MainWindowId

ControlTable MainWindowControls();

}  // namespace quintara::ui
