#include "core/viewer/state/LayoutGeometry.h"

#include <array>
#include <cstddef>

namespace quintara {
namespace {

constexpr LayoutRect Half(std::int32_t x, std::int32_t y) {
  return {x, y, 360, 240, 0};
}
constexpr LayoutRect Third(std::int32_t x, std::int32_t y) {
  return {x, y, 240, 160, 0};
}
constexpr LayoutRect Quarter(std::int32_t x, std::int32_t y) {
  return {x, y, 180, 120, 0};
}

// Windows are numbered by their position in the table, so reordering a table renumbers it.
template <std::size_t N>
constexpr std::array<LayoutRect, N> Numbered(std::array<LayoutRect, N> windows) {
  static_assert(N <= kWindowCount, "a layout has at most sixteen windows");
  for (std::size_t i = 0; i < N; ++i) {
    windows[i].number = static_cast<std::int32_t>(i + 1);
  }
  return windows;
}

template <std::size_t Columns, std::size_t Rows>
constexpr std::array<LayoutRect, Columns * Rows> Grid(std::int32_t width, std::int32_t height) {
  std::array<LayoutRect, Columns * Rows> cells{};
  for (std::size_t i = 0; i < cells.size(); ++i) {
    cells[i] = {static_cast<std::int32_t>(i % Columns) * width,
                static_cast<std::int32_t>(i / Columns) * height, width, height, 0};
  }
  return Numbered(cells);
}

constexpr std::array<LayoutRect, 16> kFullCanvas = [] {
  std::array<LayoutRect, 16> windows{};
  for (std::size_t i = 0; i < windows.size(); ++i) {
    windows[i] = {0, 0, 720, 480, static_cast<std::int32_t>(i + 1)};
  }
  return windows;
}();

constexpr auto kFour = Grid<2, 2>(360, 240);

constexpr auto kSix =
    Numbered(std::array{LayoutRect{0, 0, 480, 320, 0}, Third(480, 0), Third(480, 160),
                        Third(0, 320), Third(240, 320), Third(480, 320)});

constexpr auto kEightMiddle =
    Numbered(std::array{Quarter(0, 120), Quarter(180, 120), Quarter(360, 120), Quarter(540, 120),
                        Quarter(0, 240), Quarter(180, 240), Quarter(360, 240), Quarter(540, 240)});

// 82 and 83 leave a gap in the middle of the top or middle row for the bar symbol.
constexpr auto kEightGapTop =
    Numbered(std::array{Third(0, 0), Third(480, 0), Third(0, 160), Third(240, 160), Third(480, 160),
                        Third(0, 320), Third(240, 320), Third(480, 320)});

constexpr auto kEightGapMiddle =
    Numbered(std::array{Third(0, 0), Third(240, 0), Third(480, 0), Third(0, 160), Third(480, 160),
                        Third(0, 320), Third(240, 320), Third(480, 320)});

constexpr auto kNine = Grid<3, 3>(240, 160);

constexpr auto kNineCentre = Numbered(
    std::array{Half(180, 120), Quarter(0, 0), Quarter(180, 0), Quarter(360, 0), Quarter(540, 0),
               Quarter(0, 360), Quarter(180, 360), Quarter(360, 360), Quarter(540, 360)});

constexpr auto kNineCorner = Numbered(
    std::array{Half(0, 0), Quarter(0, 240), Quarter(180, 240), Quarter(360, 240), Quarter(540, 240),
               Quarter(0, 360), Quarter(180, 360), Quarter(360, 360), Quarter(540, 360)});

constexpr auto kTenTop = Numbered(std::array{
    Half(0, 0), Half(360, 0), Quarter(0, 240), Quarter(180, 240), Quarter(360, 240),
    Quarter(540, 240), Quarter(0, 360), Quarter(180, 360), Quarter(360, 360), Quarter(540, 360)});

constexpr auto kTenLeft = Numbered(std::array{
    Half(0, 0), Half(0, 240), Quarter(360, 0), Quarter(540, 0), Quarter(360, 120),
    Quarter(540, 120), Quarter(360, 240), Quarter(540, 240), Quarter(360, 360), Quarter(540, 360)});

constexpr auto kEleven =
    Numbered(std::array{Half(180, 120), Quarter(180, 0), Quarter(360, 0), Quarter(0, 0),
                        Quarter(0, 120), Quarter(0, 240), Quarter(0, 360), Quarter(540, 0),
                        Quarter(540, 120), Quarter(540, 240), Quarter(540, 360)});

constexpr auto kTwelve =
    Numbered(std::array{Quarter(180, 240), Quarter(360, 240), Quarter(180, 360), Quarter(360, 360),
                        Quarter(0, 0), Quarter(0, 120), Quarter(0, 240), Quarter(0, 360),
                        Quarter(540, 0), Quarter(540, 120), Quarter(540, 240), Quarter(540, 360)});

constexpr auto kSixteen = Grid<4, 4>(180, 120);

struct MultiWindowLayout {
  std::uint8_t code;
  std::span<const LayoutRect> windows;
};

constexpr std::array<MultiWindowLayout, 20> kMultiWindowLayouts{{
    {40, kFour},        {41, kFour},        {42, kFour},
    {60, kSix},         {61, kSix},         {80, kEightMiddle},
    {81, kEightMiddle}, {82, kEightGapTop}, {83, kEightGapMiddle},
    {90, kNine},        {91, kNine},        {92, kNineCentre},
    {93, kNineCorner},  {100, kTenTop},     {101, kTenTop},
    {102, kTenLeft},    {111, kEleven},     {121, kTwelve},
    {160, kSixteen},    {161, kSixteen},
}};

constexpr std::array<std::uint8_t, 36> kKnownCodes{
    1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,  13,  14,  15,  16,  40,  41,
    42, 60, 61, 80, 81, 82, 83, 90, 91, 92, 93, 100, 101, 102, 111, 121, 160, 161,
};

}  // namespace

std::span<const LayoutRect> LayoutWindows(std::uint8_t layoutCode) {
  if (layoutCode >= 1 && layoutCode <= kFullCanvas.size()) {
    return std::span(kFullCanvas).subspan(layoutCode - 1, 1);
  }
  for (const MultiWindowLayout& layout : kMultiWindowLayouts) {
    if (layout.code == layoutCode) {
      return layout.windows;
    }
  }
  return {};
}

bool IsKnownLayout(std::uint8_t layoutCode) {
  return !LayoutWindows(layoutCode).empty();
}

std::span<const std::uint8_t> KnownLayoutCodes() {
  return kKnownCodes;
}

}  // namespace quintara
