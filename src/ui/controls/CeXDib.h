#pragma once

#include <QImage>

class QPainter;

namespace quintara::ui {

// A holder for one shade image of a shaded button. Nothing in the program generates shades, so
// in practice it stays empty and drawing it paints nothing.
class CCeXDib {
 public:
  void Clear() { image_ = {}; }
  // Unscaled, plain copy with its top-left corner at (x, y).
  void Draw(QPainter& painter, int x, int y) const;

 private:
  QImage image_;
};

}  // namespace quintara::ui
