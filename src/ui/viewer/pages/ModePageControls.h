#pragma once

#include <cstdint>
#include <span>

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the Mode page.
namespace ModePageId {
inline constexpr int WindowCount = 1074;
// The source list of window 1-16.
constexpr int Source(int window) {
  return 1027 + window;
}
}  // namespace ModePageId

// One of the 36 layout buttons: its layout code, id, the group (window count) it belongs to and
// its two looks.
struct LayoutButton {
  std::uint8_t code;
  int id;
  std::uint8_t group;
  int normal;
  int selected;
};
std::span<const LayoutButton> LayoutButtons();
// The button of a code; null for a code no button has.
const LayoutButton* LayoutButtonOf(std::uint8_t code);

// The window-count list's items, in order.
std::span<const char* const> WindowCountItems();

ControlTable ModePageControls();

}  // namespace quintara::ui
