#pragma once

#include <cstdint>
#include <span>

#include "core/viewer/state/ViewerState.h"

namespace quintara {

// The windows of a layout on the 720 x 480 canvas, in window order and numbered 1 ... n;
// codes 1-16 give one full-canvas window numbered by the code. Empty for an unknown code.
std::span<const LayoutRect> LayoutWindows(std::uint8_t layoutCode);

bool IsKnownLayout(std::uint8_t layoutCode);

// 1-16, 40-42, 60, 61, 80-83, 90-93, 100-102, 111, 121, 160, 161, ascending.
std::span<const std::uint8_t> KnownLayoutCodes();

}  // namespace quintara
