#include "core/viewer/state/PreviewGeometry.h"

#include <algorithm>
#include <array>

#include "core/viewer/state/LayoutGeometry.h"

namespace quintara {
namespace {

// Single-window layouts share one row, under this code.
constexpr std::uint8_t kSingle = 1;

std::uint8_t RowCode(std::uint8_t layoutCode) {
  return layoutCode <= 16 ? kSingle : layoutCode;
}

// Which windows of a layout a row covers: a range of window numbers, or the windows of one width.
struct Windows {
  int first = 1;
  int last = 16;
  int width = 0;  // 0: any width

  bool Cover(int number, const LayoutRect& rect) const {
    return number >= first && number <= last && (width == 0 || rect.width == width);
  }
};
constexpr Windows kAll{};
constexpr Windows Numbers(int first, int last) {
  return {first, last, 0};
}
constexpr Windows kLarge{1, 16, 360};  // the 360 x 240 windows
constexpr Windows kSmall{1, 16, 180};  // the 180 x 120 windows

using Codes = std::array<std::uint8_t, 4>;  // zero-padded

bool Lists(const Codes& codes, std::uint8_t code) {
  return std::ranges::find(codes, code) != codes.end();
}

// Frame: x + dx, y + dy, w + dw, h + dh. Meter and format status: relative to the window.
struct FrameRow {
  Codes codes;
  Windows windows;
  CanvasRect frameInset;
  CanvasRect meter;
  CanvasPoint format;
};

constexpr CanvasRect kSame{0, 0, 0, 0};

// The first row that covers a window applies.
constexpr FrameRow kFrames[] = {
    {{kSingle}, kAll, kSame, {20, 120, 45, 336}, {650, 10}},
    {{40}, kAll, kSame, {20, 60, 22, 168}, {290, 10}},
    {{41}, kAll, {40, 25, -56, -50}, {5, 72, 30, 133}, {274, 5}},
    {{42}, Numbers(1, 2), {40, 25, -80, -100}, {5, 60, 25, 98}, {250, 5}},
    {{42}, Numbers(3, 4), {40, 75, -80, -100}, {5, 110, 25, 98}, {250, 55}},
    {{60}, Numbers(1, 1), kSame, {20, 80, 30, 224}, {410, 10}},
    {{60}, Numbers(2, 6), kSame, {20, 40, 15, 112}, {170, 10}},
    {{61}, Numbers(1, 1), {40, 25, -52, -50}, {5, 92, 25, 189}, {398, 5}},
    {{61}, Numbers(2, 6), {40, 25, -52, -50}, {5, 52, 25, 77}, {158, 5}},
    {{80}, kAll, kSame, {20, 30, 20, 84}, {110, 5}},
    {{81}, kAll, {40, 25, -48, -50}, {5, 42, 20, 56}, {102, 5}},
    {{82, 83, 91}, kAll, {40, 25, -52, -50}, {5, 52, 25, 77}, {158, 5}},
    {{90}, kAll, kSame, {20, 40, 25, 112}, {170, 5}},
    {{92, 93, 101, 102}, kLarge, {40, 25, -52, -50}, {5, 72, 25, 133}, {278, 5}},
    {{92, 93, 101, 102}, kSmall, {40, 25, -52, -50}, {5, 42, 25, 49}, {98, 5}},
    {{100}, Numbers(1, 2), kSame, {20, 60, 22, 168}, {290, 10}},
    {{100}, Numbers(3, 10), kSame, {20, 30, 11, 84}, {110, 10}},
    {{111}, Numbers(1, 1), {32, 25, -44, -50}, {12, 72, 15, 133}, {278, 5}},
    {{111, 121, 161}, kSmall, {32, 25, -44, -50}, {12, 42, 15, 49}, {98, 5}},
    {{160}, kAll, kSame, {20, 30, 11, 72}, {110, 10}},
};

// A label of up to `limit` characters is drawn whole at (shortX - shortPerCharacter * n, shortY).
// A longer one is drawn whole at (longX - longPerCharacter * n, longY) when `cut` is 0, else its
// first `cut` characters and "..." at (longX, longY). Relative to the window.
struct LabelRow {
  Codes codes;
  Windows windows;
  int limit;
  int shortX, shortPerCharacter, shortY;
  int cut;
  int longX, longPerCharacter, longY;
};

constexpr LabelRow kLabels[] = {
    {{kSingle}, kAll, 20, 220, 0, 420, 7, 312, 0, 420},
    {{40}, kAll, 20, 80, 0, 210, 7, 132, 0, 210},
    {{41}, kAll, 20, 92, 0, 217, 7, 144, 0, 217},
    {{42}, Numbers(1, 2), 20, 80, 0, 167, 20, 132, 0, 167},
    {{42}, Numbers(3, 4), 20, 80, 0, 217, 20, 132, 0, 217},
    {{60}, Numbers(1, 1), 10, 240, 4, 280, 0, 240, 5, 280},
    {{60}, Numbers(2, 6), 10, 120, 4, 140, 10, 56, 0, 140},
    {{61}, Numbers(1, 1), 10, 147, 0, 297, 0, 254, 5, 261},
    {{61}, Numbers(2, 6), 10, 87, 0, 137, 10, 70, 0, 137},
    {{80}, kAll, 8, 90, 4, 97, 8, 42, 0, 97},
    {{81}, kAll, 8, 106, 4, 97, 8, 42, 0, 97},
    {{82, 83}, kAll, 10, 134, 4, 137, 10, 62, 0, 137},
    {{90}, kAll, 10, 120, 4, 140, 10, 56, 0, 140},
    {{91}, kAll, 8, 134, 4, 140, 8, 62, 0, 140},
    {{92, 93}, Numbers(1, 1), 8, 194, 4, 217, 0, 194, 8, 217},
    {{92, 93, 101, 102}, kSmall, 8, 104, 4, 97, 8, 40, 0, 97},
    {{100}, Numbers(1, 2), 8, 180, 6, 210, 0, 180, 5, 210},
    {{100}, Numbers(3, 10), 8, 90, 6, 97, 8, 34, 0, 105},
    {{101, 102}, Numbers(1, 2), 8, 194, 4, 217, 0, 194, 6, 217},
    {{111}, Numbers(1, 1), 8, 190, 4, 217, 0, 190, 8, 217},
    {{111, 121, 161}, kSmall, 8, 100, 4, 97, 8, 36, 0, 97},
    {{160}, kAll, 8, 90, 4, 97, 8, 32, 0, 97},
};

// The row of a table that covers a window, with the window's rectangle.
template <class Row, std::size_t N>
std::optional<std::pair<const Row*, LayoutRect>> Find(const Row (&table)[N],
                                                      std::uint8_t layoutCode, std::size_t index) {
  const std::span<const LayoutRect> windows = LayoutWindows(layoutCode);
  if (index >= windows.size()) {
    return std::nullopt;
  }
  const LayoutRect& rect = windows[index];
  const int number = static_cast<int>(index) + 1;
  const std::uint8_t code = RowCode(layoutCode);
  for (const Row& row : table) {
    if (Lists(row.codes, code) && row.windows.Cover(number, rect)) {
      return std::pair{&row, rect};
    }
  }
  return std::nullopt;
}

ClockFace Clock(int left, int top, int right, int bottom) {
  const CanvasPoint centre{(left + right) / 2, (top + bottom) / 2};
  constexpr int kHand = 45;
  return {{left, top, right - left, bottom - top},
          centre,
          {centre.x, centre.y - kHand},
          {centre.x + kHand, centre.y}};
}

constexpr CanvasRect kBars82[] = {{280, 40, 180, 30}, {280, 96, 180, 30}};
constexpr CanvasRect kBars83[] = {{280, 200, 180, 30}, {280, 256, 180, 30}};
constexpr CanvasRect kBars92[] = {{552, 180, 156, 45}, {552, 255, 156, 45}};
constexpr CanvasRect kBars93[] = {{552, 60, 156, 45}, {552, 135, 156, 45}};
constexpr CanvasRect kBars111[] = {
    {225, 375, 120, 30}, {225, 420, 120, 30}, {405, 375, 120, 30}, {405, 420, 120, 30}};
constexpr CanvasRect kBars121[] = {{368, 60, 164, 45}, {368, 135, 164, 45}};

}  // namespace

std::optional<WindowDrawing> WindowDrawingFor(std::uint8_t layoutCode, std::size_t index) {
  const auto found = Find(kFrames, layoutCode, index);
  if (!found) {
    return std::nullopt;
  }
  const auto& [row, r] = *found;
  const CanvasRect& inset = row->frameInset;
  return WindowDrawing{
      {r.x + inset.x, r.y + inset.y, r.width + inset.width, r.height + inset.height},
      {r.x + row->meter.x, r.y + row->meter.y, row->meter.width, row->meter.height},
      {r.x + row->format.x, r.y + row->format.y}};
}

std::optional<PlacedLabel> PlaceLabel(std::uint8_t layoutCode, std::size_t index,
                                      std::u16string_view label) {
  const auto found = Find(kLabels, layoutCode, index);
  if (!found) {
    return std::nullopt;
  }
  const auto& [row, r] = *found;
  const int n = static_cast<int>(label.size());
  if (n <= row->limit) {
    return PlacedLabel{{r.x + row->shortX - row->shortPerCharacter * n, r.y + row->shortY},
                       std::u16string(label)};
  }
  if (row->cut == 0) {
    return PlacedLabel{{r.x + row->longX - row->longPerCharacter * n, r.y + row->longY},
                       std::u16string(label)};
  }
  std::u16string cut(label.substr(0, static_cast<std::size_t>(row->cut)));
  cut += u"...";
  return PlacedLabel{{r.x + row->longX, r.y + row->longY}, std::move(cut)};
}

LayoutDecorations DecorationsOf(std::uint8_t layoutCode) {
  switch (layoutCode) {
    case 42:
      return {Clock(300, 180, 420, 300), {}};
    case 82:
      return {std::nullopt, kBars82};
    case 83:
      return {std::nullopt, kBars83};
    case 92:
      return {Clock(0, 150, 180, 330), kBars92};
    case 93:
      return {Clock(360, 30, 540, 210), kBars93};
    case 111:
      return {std::nullopt, kBars111};
    case 121:
      return {Clock(180, 30, 360, 210), kBars121};
    default:
      return {};
  }
}

}  // namespace quintara
