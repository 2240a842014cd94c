#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quintara {

// Where the preview draws what on its 720 x 480 canvas, beside the windows themselves
// (LayoutGeometry.h). The preview and the Mode page's layout pictures both draw from here.

struct CanvasPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

struct CanvasRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

// How one window of a layout is drawn, in canvas coordinates.
struct WindowDrawing {
  CanvasRect frame;      // the window's frame: its rectangle, or shrunk for a layout with gaps
  CanvasRect meter;      // the audio meter bar
  CanvasPoint formatAt;  // top-left corner of the format status text
};

// The drawing of window `index` (0-based, in the layout's window order) of a layout; nothing for
// a code without windows or an index beyond them.
std::optional<WindowDrawing> WindowDrawingFor(std::uint8_t layoutCode, std::size_t index);

// A UMD label as drawn: its top-left corner and the text, cut with "..." where the window has no
// room for the whole label.
struct PlacedLabel {
  CanvasPoint at;
  std::u16string text;
};
std::optional<PlacedLabel> PlaceLabel(std::uint8_t layoutCode, std::size_t index,
                                      std::u16string_view label);

// What some layouts show in the space their windows leave free.
struct ClockFace {
  CanvasRect disc;     // the disc's bounding box
  CanvasPoint centre;  // the hands start here
  CanvasPoint hourHand;
  CanvasPoint minuteHand;
};
struct LayoutDecorations {
  std::optional<ClockFace> clock;
  std::span<const CanvasRect> bars;  // the bar symbols' rectangles
};
LayoutDecorations DecorationsOf(std::uint8_t layoutCode);

}  // namespace quintara
