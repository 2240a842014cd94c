#pragma once

#include "ui/controls/BitmapButton.h"

namespace quintara::ui {

// The button every skinned window uses: a BitmapButton that paints no background of its own, so
// the window's skin shows wherever the bitmap does not cover the button. (Its background would be
// shaded images, and the skin never makes any.)
class ShadeButton : public BitmapButton {
  Q_OBJECT

 public:
  using BitmapButton::BitmapButton;

 protected:
  void DrawButtonBackground(QPainter& painter, const QRect& rect) override;
};

}  // namespace quintara::ui
