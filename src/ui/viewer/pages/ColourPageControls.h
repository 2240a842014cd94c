#pragma once

#include "core/viewer/panel/ColourPresenter.h"
#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the Colour page.
namespace ColourPageId {
inline constexpr int Source = 1032;  // All Windows, SDI 1 ... SDI 16
inline constexpr int UmdText = 1033;
inline constexpr int UmdBack = 1034;
inline constexpr int Window = 1035;  // All Windows, Window_01 ... Window_16
inline constexpr int FormatText = 1036;
inline constexpr int FormatBack = 1037;
inline constexpr int Border = 1074;  // OFF, ON
inline constexpr int TimecodeText = 1075;
inline constexpr int TimecodeBack = 1076;
}  // namespace ColourPageId

// The id of a colour list.
int ColourListId(ColourList list);

ControlTable ColourPageControls();

}  // namespace quintara::ui
