#include "ui/controls/FocusMark.h"

#include <QPainter>
#include <QWidget>

#include "ui/skin/Palette.h"

namespace quintara::ui {

void DrawFocusMark(QPainter& painter, const QWidget& control) {
  if (!control.hasFocus() || !control.window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
    return;
  }
  painter.save();
  painter.setPen(QPen(skin::Green, 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(control.rect().adjusted(1, 1, -2, -2));
  painter.restore();
}

}  // namespace quintara::ui
