#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the UMD page.
namespace UmdPageId {
inline constexpr int AllUmd = 1115;
// The label switch and the label field of input 1-16.
constexpr int UmdSwitch(int input) {
  return 1126 + input;
}
constexpr int Label(int input) {
  return 1030 + input;
}
// Nobody sees it; it takes the focus when a click on the page ends an edit.
inline constexpr int FocusTarget = 1047;
}  // namespace UmdPageId

ControlTable UmdPageControls();

}  // namespace quintara::ui
