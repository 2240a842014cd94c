#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the Switcher page.
namespace SwitcherPageId {
// The input list of output 1-16; the ids skip 1082.
constexpr int Output(int output) {
  return output <= 8 ? 1073 + output : 1074 + output;
}
inline constexpr int OneToOne = 1114;
}  // namespace SwitcherPageId

ControlTable SwitcherPageControls();

}  // namespace quintara::ui
