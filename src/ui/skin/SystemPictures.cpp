#include "ui/skin/SystemPictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

#include "ui/skin/SkinPainters.h"

namespace quintara::ui::skin {
namespace {

constexpr int kCaptionLeft = 44;  // right of the sign or toggle
// The page places its buttons 40 units apart while some are 45 pixels tall: every plate keeps to
// the top 36 pixels of its bitmap, so that the rows never overlap and all look alike.
constexpr int kPlateHeight = 36;

QSize PlateSize(QSize size) {
  return {size.width(), std::min(size.height(), kPlateHeight)};
}

// One caption size for the whole page: the largest at which its longest caption fits the
// narrowest button.
const QFont& CaptionFont() {
  static const QFont font = [] {
    const QString longest = QStringLiteral("Audio Alarm Enable");
    const int room = 181 - kCaptionLeft - 8;
    for (int px = 14; px > 11; --px) {
      const QFont candidate = SkinFont(px, QFont::DemiBold);
      if (QFontMetrics(candidate).horizontalAdvance(longest) <= room) {
        return candidate;
      }
    }
    return SkinFont(11, QFont::DemiBold);
  }();
  return font;
}

void PaintCaption(QPainter& p, QSize plate, const QString& caption, const QColor& ink) {
  const QRect room(kCaptionLeft, 0, plate.width() - kCaptionLeft - 8, plate.height());
  p.setPen(ink);
  p.setFont(CaptionFont());
  p.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, caption);
}

// A tray with an arrow going into it (save) or coming out of it (load).
void PaintTrayArrow(QPainter& p, QPointF c, bool into) {
  p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath tray;
  tray.moveTo(c + QPointF(-9, 3));
  tray.lineTo(c + QPointF(-9, 9));
  tray.lineTo(c + QPointF(9, 9));
  tray.lineTo(c + QPointF(9, 3));
  p.drawPath(tray);
  const double tip = into ? 4 : -9;
  const double tail = into ? -9 : 4;
  p.drawLine(c + QPointF(0, tail), c + QPointF(0, tip));
  const double back = into ? -4.5 : 4.5;
  p.drawLine(c + QPointF(-4.5, tip + back), c + QPointF(0, tip));
  p.drawLine(c + QPointF(4.5, tip + back), c + QPointF(0, tip));
}

// A circling arrow: back to where the device started.
void PaintRestoreArrow(QPainter& p, QPointF c) {
  p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(c.x() - 8, c.y() - 8, 16, 16), 100 * 16, 280 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(Green);
  const QPointF end = c + QPointF(-1.4, -8);
  p.drawPolygon(
      QPolygonF({end + QPointF(-5, 0), end + QPointF(1.5, -4.5), end + QPointF(1.5, 4.5)}));
}

}  // namespace

void PaintSystemBackground(QPainter& p, QSize size) {
  PaintPageCanvas(p, size);
  p.setPen(LabelGrey);
  p.setFont(SkinFont(11, QFont::DemiBold));
  p.drawText(QRect(20, 35, 150, 20), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("OUTPUT FORMAT"));
  // The format above, the switches and the memories below.
  p.fillRect(QRect(40, 66, 410, 1), Rule);
}

void PaintSwitchButton(QPainter& p, QSize size, const QString& caption, bool on) {
  const QSize plate = PlateSize(size);
  PaintPlate(p, plate);
  const QColor ink = on ? Green : IdleGrey;
  const double cy = plate.height() / 2.0;
  const QRectF track(12.5, cy - 7.5, 26, 15);
  p.setPen(QPen(ink, 1.5));
  p.setBrush(on ? QBrush(Green) : QBrush(Shadow));
  p.drawRoundedRect(track, 7.5, 7.5);
  p.setPen(Qt::NoPen);
  p.setBrush(on ? Plate : IdleGrey);
  p.drawEllipse(QPointF(on ? track.right() - 7.5 : track.left() + 7.5, cy), 4.5, 4.5);
  PaintCaption(p, plate, caption, ink);
}

void PaintRecallButton(QPainter& p, QSize size, const QString& caption, Recall kind) {
  const QSize plate = PlateSize(size);
  PaintPlate(p, plate);
  const QPointF sign(25, plate.height() / 2.0);
  switch (kind) {
    case Recall::Save:
      PaintTrayArrow(p, sign, true);
      break;
    case Recall::Load:
      PaintTrayArrow(p, sign, false);
      break;
    case Recall::Restore:
      PaintRestoreArrow(p, sign);
      break;
  }
  PaintCaption(p, plate, caption, Green);
}

}  // namespace quintara::ui::skin
