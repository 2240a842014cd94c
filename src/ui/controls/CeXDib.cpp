#include "ui/controls/CeXDib.h"

#include <QPainter>

namespace quintara::ui {

void CCeXDib::Draw(QPainter& painter, int x, int y) const {
  if (image_.isNull()) {
    return;
  }
  const QPainter::CompositionMode mode = painter.compositionMode();
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(x, y, image_);
  painter.setCompositionMode(mode);
}

}  // namespace quintara::ui
