#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace quintara {

// The Mode page's window-count list: item k offers layouts of this many windows.
inline constexpr std::array<std::uint8_t, 9> kWindowCounts{1, 4, 6, 8, 9, 10, 11, 12, 16};

// How many windows a layout code has: 1 for the single-window codes 1-16 (and 0), else its
// tens value.
std::uint8_t WindowCountOf(std::uint8_t layoutCode);

// The window count of an item of the window-count list; 0 for an item it does not have.
std::uint8_t WindowCountOfItem(int item);

// How many source lists (windows 1 ... n) take a choice with this many windows: none in a
// single-window layout.
std::uint8_t EnabledSourceLists(std::uint8_t windowCount);

// What the Mode page shows for the device's layout.
struct ModeLayoutView {
  std::optional<int> windowCountItem;        // nothing: the list keeps its selection
  std::optional<std::uint8_t> visibleGroup;  // the window count whose buttons show; nothing: none
  std::optional<std::uint8_t> highlighted;   // the layout button lit; nothing: none
  std::uint8_t enabledSourceLists = 0;
};
ModeLayoutView ModeLayoutFor(std::uint8_t layoutCode);

}  // namespace quintara
