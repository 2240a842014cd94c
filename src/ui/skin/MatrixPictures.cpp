#include "ui/skin/MatrixPictures.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <array>

#include "ui/skin/SkinPainters.h"

namespace quintara::ui::skin {
namespace {

// Both backgrounds are stretched over the panel, 1240 x 540 at 96 dpi, and are painted in those
// units so that their frames line up with the panel's controls.
constexpr int kPanelWidth = 1240;
constexpr int kPanelHeight = 540;

void PaintPanelCanvas(QPainter& p, QSize size) {
  p.scale(size.width() / double{kPanelWidth}, size.height() / double{kPanelHeight});
  p.fillRect(QRect(0, 0, kPanelWidth, kPanelHeight), ControlGround);
  p.setRenderHint(QPainter::Antialiasing);
}

// A rounded frame around a row of buttons, its title set into the frame's top line.
void PaintSection(QPainter& p, const QRect& frame, const QString& title) {
  p.setPen(QPen(PlateEdge, 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(frame), 6, 6);

  const QFont font = SkinFont(13, QFont::Bold);
  const QRect room(frame.left() + 14, frame.top() - 10,
                   QFontMetrics(font).horizontalAdvance(title) + 12, 20);
  p.fillRect(room, ControlGround);
  p.setPen(LabelGrey);
  p.setFont(font);
  p.drawText(room, Qt::AlignCenter, title);
}

// The inputs', outputs' and output status' rows, one above the other; `tops` are their frames'
// top lines.
void PaintRowSections(QPainter& p, int left, int right, const std::array<int, 3>& tops,
                      int height) {
  static constexpr std::array<const char*, 3> kTitles{"INPUT", "OUTPUT", "OUTPUT STATUS"};
  for (std::size_t i = 0; i < kTitles.size(); ++i) {
    PaintSection(p, QRect(left, tops[i], right - left, height), QString::fromLatin1(kTitles[i]));
  }
}

// Inputs on the left routed to outputs on the right: one input fanned out to every output, or
// each input straight across to its own.
void PaintRoutes(QPainter& p, const QRectF& box, bool fanOut) {
  constexpr int kRows = 3;
  const double pitch = box.height() / kRows;
  const double screenHeight = pitch * 0.7;
  const double screenWidth = screenHeight * 1.6;
  const auto rowCentre = [&](int row) { return box.top() + pitch * (row + 0.5); };
  const double from = box.left() + screenWidth + 3;
  const double to = box.right() - screenWidth - 3;
  const double head = std::max(3.0, pitch * 0.25);

  for (int row = 0; row < kRows; ++row) {
    const double y = rowCentre(row);
    p.setPen(QPen(Green, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(from, fanOut ? box.center().y() : y), QPointF(to - head, y));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF({QPointF(to, y), QPointF(to - head - 1, y - head * 0.7),
                             QPointF(to - head - 1, y + head * 0.7)}));
  }

  p.setPen(QPen(IdleGrey, 1.2));
  p.setBrush(Shadow);
  const auto screen = [&](double x, double y) {
    p.drawRoundedRect(QRectF(x, y - screenHeight / 2, screenWidth, screenHeight), 1.5, 1.5);
  };
  for (int row = 0; row < kRows; ++row) {
    screen(box.right() - screenWidth, rowCentre(row));
    if (!fanOut) {
      screen(box.left(), rowCentre(row));
    }
  }
  if (fanOut) {
    screen(box.left(), box.center().y());
  }
}

// Captions right-aligned to end a little before the control they name.
void PaintCaption(QPainter& p, const QRect& room, const char* caption) {
  p.setPen(LabelGrey);
  p.setFont(SkinFont(13, QFont::DemiBold));
  p.drawText(room, Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(caption));
}

// The part of a bitmap still in view when a button of `view` size shows it centred and cuts the
// rest evenly from both edges. Which edge loses the odd pixel of an odd excess is the button's
// choice, so that row or column is left out of the view.
QRect CentredView(QSize size, QSize view) {
  const int dx = std::max(0, size.width() - view.width());
  const int dy = std::max(0, size.height() - view.height());
  return QRect((dx + 1) / 2, (dy + 1) / 2, size.width() - dx - dx % 2, size.height() - dy - dy % 2);
}

}  // namespace

void PaintMatrixNumber(QPainter& p, QSize size, int number, bool lit) {
  PaintPlate(p, size);
  const QColor ink = lit ? Green : IdleGrey;
  p.setPen(ink);
  p.setFont(SkinFont(size.height() * 2 / 5, QFont::Bold));
  p.drawText(QRect(0, 3, size.width(), size.height() - 14), Qt::AlignCenter,
             QString::number(number));

  // A bar under the number, filled when the channel is active.
  p.setPen(QPen(ink, 1));
  p.setBrush(lit ? QBrush(Green) : QBrush(Shadow));
  p.drawRoundedRect(QRectF(size.width() / 2.0 - 12, size.height() - 13.5, 24, 5), 2, 2);
}

void PaintMatrixAction(QPainter& p, QSize size, const QString& caption, QSize view, bool lit) {
  const QRect plate = CentredView(size, view);
  p.translate(plate.topLeft());
  PaintLampButton(p, plate.size(), caption, 14, lit);
}

void PaintMatrix8Background(QPainter& p, QSize size) {
  PaintPanelCanvas(p, size);
  // The rows of 65 x 60 buttons span x 80..621 at y 105, 255 and 405; Apply and Refresh stand
  // right of them from x 640.
  PaintRowSections(p, 70, 631, {85, 235, 385}, 90);
  // Each routing mode's pictogram over its button (One to all at y 180, One to one at y 305).
  PaintRoutes(p, QRectF(975, 120, 140, 54), true);
  PaintRoutes(p, QRectF(975, 245, 140, 54), false);
  // Left of the backlight's time list (y 420) and brightness bar (y 460), both from x 950.
  PaintCaption(p, QRect(780, 420, 160, 30), "Backlit Time");
  PaintCaption(p, QRect(780, 460, 160, 30), "Backlit Brightness");
}

void PaintMatrix16Background(QPainter& p, QSize size) {
  PaintPanelCanvas(p, size);
  // The rows of 70 x 63 buttons span x 40..1190 at y 50, 190 and 330. Apply (y 275..307) and
  // Refresh (y 420..452) fall between the frames.
  PaintRowSections(p, 30, 1200, {35, 175, 315}, 87);
  // Each routing mode's pictogram left of its button, both at y 480: One to all from x 110,
  // One to one from x 420.
  PaintRoutes(p, QRectF(34, 480, 70, 39), true);
  PaintRoutes(p, QRectF(344, 480, 70, 39), false);
}

}  // namespace quintara::ui::skin
