#include "core/viewer/panel/ModeLayout.h"

#include <algorithm>

#include "core/viewer/state/LayoutGeometry.h"

namespace quintara {
namespace {

constexpr std::uint8_t kLastSingleWindowCode = 16;
constexpr std::uint8_t kSourceLists = 16;

std::optional<int> ItemOfCount(std::uint8_t windowCount) {
  const auto* found = std::ranges::find(kWindowCounts, windowCount);
  if (found == kWindowCounts.end()) {
    return std::nullopt;
  }
  return static_cast<int>(found - kWindowCounts.begin());
}

// The button lit for a layout: the one of its code; the eleven- and twelve-window groups have
// one button each, lit whatever the variant.
std::optional<std::uint8_t> HighlightedButton(std::uint8_t layoutCode) {
  const std::uint8_t count = WindowCountOf(layoutCode);
  if (count == 11 || count == 12) {
    return static_cast<std::uint8_t>(count * 10 + 1);
  }
  if (layoutCode == 0 || !IsKnownLayout(layoutCode)) {
    return std::nullopt;
  }
  return layoutCode;
}

}  // namespace

std::uint8_t WindowCountOf(std::uint8_t layoutCode) {
  return static_cast<std::uint8_t>(layoutCode <= kLastSingleWindowCode ? 1 : layoutCode / 10);
}

std::uint8_t WindowCountOfItem(int item) {
  return item >= 0 && static_cast<std::size_t>(item) < kWindowCounts.size()
             ? kWindowCounts[static_cast<std::size_t>(item)]
             : 0;
}

std::uint8_t EnabledSourceLists(std::uint8_t windowCount) {
  return windowCount == 1 ? 0 : std::min(windowCount, kSourceLists);
}

ModeLayoutView ModeLayoutFor(std::uint8_t layoutCode) {
  const std::uint8_t count = WindowCountOf(layoutCode);
  ModeLayoutView view;
  view.windowCountItem = ItemOfCount(count);
  if (view.windowCountItem) {
    view.visibleGroup = count;
  }
  view.highlighted = HighlightedButton(layoutCode);
  view.enabledSourceLists = EnabledSourceLists(count);
  return view;
}

}  // namespace quintara
