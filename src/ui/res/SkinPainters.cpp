#include "ui/res/SkinPainters.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace quintara::ui::skin {
namespace {

// Pixel sizes, not points, so the bitmaps look the same at every screen dpi.
QFont SkinFont(int pixelSize, QFont::Weight weight) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

// A 1-pixel outline on the pixel grid: the half-pixel inset keeps antialiased edges sharp.
QRectF Outline(QSize size) {
  return QRectF(0.5, 0.5, size.width() - 1, size.height() - 1);
}

void PaintPlate(QPainter& p, QSize size) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(PlateEdge, 1));
  p.setBrush(Plate);
  p.drawRoundedRect(Outline(size), 5, 5);
}

void PaintMark(QPainter& p, Mark mark, QPointF centre) {
  switch (mark) {
    case Mark::None:
      break;
    case Mark::Magnifier:
      p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(centre + QPointF(-1.5, -1.5), 4.5, 4.5);
      p.drawLine(centre + QPointF(1.8, 1.8), centre + QPointF(5.5, 5.5));
      break;
    case Mark::PortIdle:
      p.setPen(QPen(IdleGrey, 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(centre, 4, 4);
      break;
    case Mark::PortLive:
      p.setPen(Qt::NoPen);
      p.setBrush(Green);
      p.drawEllipse(centre, 4.5, 4.5);
      break;
  }
}

}  // namespace

void PaintWindowIcon(QPainter& p, QSize size) {
  // Four screens of a multiviewer, the first one live; integer tiles stay sharp at 16 px.
  const int s = std::min(size.width(), size.height());
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(PlateEdge, 1));
  p.setBrush(Ground);
  p.drawRoundedRect(Outline(QSize(s, s)), s * 0.18, s * 0.18);

  const int margin = s * 3 / 16;
  const int gap = std::max(1, s / 16);
  const int tile = (s - 2 * margin - gap) / 2;
  const int origin = (s - 2 * tile - gap) / 2;
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 2; ++column) {
      const QRect r(origin + column * (tile + gap), origin + row * (tile + gap), tile, tile);
      p.fillRect(r, row == 0 && column == 0 ? Green : IdleGrey);
    }
  }
}

void PaintMainBackground(QPainter& p, QSize size) {
  // Laid out on the 1280 x 720 design canvas: title line, status line, device row from y 75,
  // panel area at (20, 160, 1240, 540). Drawn at the size asked and stretched by the window.
  p.scale(size.width() / 1280.0, size.height() / 720.0);
  p.fillRect(QRect(0, 0, 1280, 35), Plate);
  p.fillRect(QRect(0, 35, 1280, 1), Shadow);
  p.fillRect(QRect(20, 145, 1240, 1), Rule);
  p.fillRect(QRect(20, 160, 1240, 540), Rule);
  p.fillRect(QRect(21, 161, 1238, 538), ControlGround);
}

void PaintSettingsBackground(QPainter& p, QSize size) {
  // The dialog has no frame of its own, so its border and title are part of the picture.
  p.scale(size.width() / 440.0, size.height() / 486.0);
  p.fillRect(QRect(0, 0, 440, 1), Rule);
  p.fillRect(QRect(0, 485, 440, 1), Rule);
  p.fillRect(QRect(0, 0, 1, 486), Rule);
  p.fillRect(QRect(439, 0, 1, 486), Rule);

  p.setPen(Green);
  p.setFont(SkinFont(15, QFont::Bold));
  p.drawText(QRect(16, 4, 300, 22), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Link Settings"));

  // Serial settings above the rule, the device's addressing below it.
  p.fillRect(QRect(20, 225, 400, 1), Rule);

  struct Row {
    int y;
    const char* text;
  };
  static constexpr Row kRows[] = {
      {30, "Link"}, {80, "Serial Port"}, {130, "Baud Rate"}, {250, "IP Mode"}, {300, "IP Address"}};
  p.setPen(LabelGrey);
  p.setFont(SkinFont(14, QFont::Normal));
  for (const Row& row : kRows) {
    p.drawText(QRect(24, row.y, 140, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromLatin1(row.text));
  }
}

void PaintCaptionButton(QPainter& p, QSize size, const QString& caption, Mark mark) {
  PaintPlate(p, size);

  const QFont font = SkinFont(14, QFont::DemiBold);
  const int textWidth = QFontMetrics(font).horizontalAdvance(caption);
  const int markWidth = mark == Mark::None ? 0 : 18;
  const int left = (size.width() - markWidth - textWidth) / 2;
  PaintMark(p, mark, QPointF(left + 6, size.height() / 2.0));

  p.setPen(Green);
  p.setFont(font);
  p.drawText(QRect(left + markWidth, 0, textWidth + 1, size.height()),
             Qt::AlignLeft | Qt::AlignVCenter, caption);
}

void PaintLock(QPainter& p, QSize size, bool locked) {
  PaintPlate(p, size);

  const QColor ink = locked ? Green : IdleGrey;
  // The glyph's axis runs through the middle of pixel column cx, so odd-width strokes and the
  // 21 px body fall on whole pixels. The body stays put between the two states.
  const int cx = size.width() / 2;
  const double axis = cx + 0.5;
  const int bodyTop = size.height() / 2 - 1;

  // Shackle: a 14 px wide arch. Closed, both legs enter the body; open, it is lifted and its
  // left leg stands free above the body.
  const double archBase = bodyTop - 1 - (locked ? 0 : 4);
  QPainterPath shackle;
  shackle.moveTo(axis + 7, bodyTop);
  shackle.lineTo(axis + 7, archBase);
  shackle.arcTo(QRectF(axis - 7, archBase - 7, 14, 14), 0, 180);
  shackle.lineTo(axis - 7, locked ? bodyTop : archBase + 1);
  p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shackle);

  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawRoundedRect(QRect(cx - 10, bodyTop, 21, 14), 2.5, 2.5);

  p.setBrush(Plate);
  p.drawEllipse(QPointF(axis, bodyTop + 5.5), 2.5, 2.5);
  p.drawRect(QRect(cx - 1, bodyTop + 6, 3, 5));
}

}  // namespace quintara::ui::skin
