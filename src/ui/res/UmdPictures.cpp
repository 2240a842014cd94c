#include "ui/res/UmdPictures.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/res/SkinPainters.h"

namespace quintara::ui::skin {
namespace {

// A lamp left of the caption, lit when on, so the state reads without relying on colour alone.
void PaintLamp(QPainter& p, QPointF centre, bool on) {
  p.setPen(QPen(on ? Green : IdleGrey, 1.5));
  p.setBrush(on ? QBrush(Green) : QBrush(Shadow));
  p.drawEllipse(centre, 4, 4);
}

void PaintSwitch(QPainter& p, QSize size, const QString& caption, int pixelSize, bool on) {
  PaintPlate(p, size);
  const QFont font = SkinFont(pixelSize, QFont::DemiBold);
  const int textWidth = QFontMetrics(font).horizontalAdvance(caption);
  constexpr int kLampRoom = 14;
  const int left = (size.width() - kLampRoom - textWidth) / 2;
  PaintLamp(p, QPointF(left + 4, size.height() / 2.0), on);
  p.setPen(on ? Green : IdleGrey);
  p.setFont(font);
  p.drawText(QRect(left + kLampRoom, 0, textWidth + 1, size.height()),
             Qt::AlignLeft | Qt::AlignVCenter, caption);
}

}  // namespace

void PaintUmdBackground(QPainter& p, QSize size) {
  PaintPageCanvas(p, size);
  p.fillRect(QRect(242, 85, 1, 310), Rule);
}

void PaintAllUmdSwitch(QPainter& p, QSize size, bool on) {
  PaintSwitch(p, size, QStringLiteral("ALL UMD ON"), 14, on);
}

void PaintUmdSwitch(QPainter& p, QSize size, int input, bool on) {
  PaintSwitch(p, size, QStringLiteral("SDI %1").arg(input), 12, on);
}

}  // namespace quintara::ui::skin
