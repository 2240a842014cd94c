#include "ui/controls/ShadeButtonST.h"

namespace quintara::ui {
namespace {

constexpr std::size_t kNormalShade = 0;
constexpr std::size_t kHoverShade = 3;

}  // namespace

void CShadeButtonST::DrawButtonBackground(QPainter& painter, const QRect&) {
  if (!IsHovered()) {
    shades_[kNormalShade].Draw(painter, 0, 0);
  } else if (IsPressedLook()) {
    shades_[kHoverShade].Draw(painter, 1, 1);
  } else {
    shades_[kHoverShade].Draw(painter, 0, 0);
  }
}

}  // namespace quintara::ui
