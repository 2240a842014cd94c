#include "ui/skin/UmdPictures.h"

#include <QPainter>

#include "ui/skin/SkinPainters.h"

namespace quintara::ui::skin {

void PaintUmdBackground(QPainter& p, QSize size) {
  PaintPageCanvas(p, size);
  p.fillRect(QRect(242, 85, 1, 310), Rule);
}

void PaintAllUmdSwitch(QPainter& p, QSize size, bool on) {
  PaintLampButton(p, size, QStringLiteral("ALL UMD ON"), 14, on);
}

void PaintUmdSwitch(QPainter& p, QSize size, int input, bool on) {
  PaintLampButton(p, size, QStringLiteral("SDI %1").arg(input), 12, on);
}

}  // namespace quintara::ui::skin
