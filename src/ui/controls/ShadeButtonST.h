#pragma once

#include <array>

#include "ui/controls/ButtonST.h"
#include "ui/controls/CeXDib.h"

namespace quintara::ui {

// The button every skinned window uses: a CButtonST whose background is its shade images
// instead of a flat fill. The shades are never made, so the background is left unpainted.
class CShadeButtonST : public CButtonST {
  Q_OBJECT

 public:
  using CButtonST::CButtonST;

 protected:
  void DrawButtonBackground(QPainter& painter, const QRect& rect) override;

 private:
  // The first is drawn at rest, the fourth while hovered; the others are never drawn.
  std::array<CCeXDib, 6> shades_;
};

}  // namespace quintara::ui
