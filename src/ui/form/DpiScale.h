#pragma once

#include <QRect>

namespace quintara::ui {

// Layout coordinates are 96-dpi units: x and widths scale by dpiX / 96, y and heights by
// dpiY / 96, each truncated. Bitmap button sizes are pixels and are not scaled.
struct DpiScale {
  int dpiX = 96;
  int dpiY = 96;

  int X(int units) const { return units * dpiX / 96; }
  int Y(int units) const { return units * dpiY / 96; }
  QRect Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
  }
  // A control placed in units with a size in pixels.
  QRect PixelSized(int x, int y, int width, int height) const {
    return {X(x), Y(y), width, height};
  }
  // A control placed and as wide in units, as high in pixels.
  QRect PixelHigh(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), height};
  }
};

}  // namespace quintara::ui
