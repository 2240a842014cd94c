#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the System page.
namespace SystemPageId {
inline constexpr int OutputFormat = 1051;
inline constexpr int LoadDefault = 1052;
inline constexpr int FormatStatus = 1116;
inline constexpr int AudioAlarm = 1117;
inline constexpr int Timecode = 1118;
inline constexpr int SaveCustom1 = 1119;
inline constexpr int SaveCustom2 = 1120;
inline constexpr int LoadCustom1 = 1121;
inline constexpr int LoadCustom2 = 1122;
}  // namespace SystemPageId

ControlTable SystemPageControls();

}  // namespace quintara::ui
