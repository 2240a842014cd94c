#include "ui/skin/SkinPainters.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>

namespace quintara::ui::skin {
namespace {

// A 1-pixel outline on the pixel grid: the half-pixel inset keeps antialiased edges sharp.
QRectF Outline(QSize size) {
  return QRectF(0.5, 0.5, size.width() - 1, size.height() - 1);
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

// Pixel sizes, not points, so the bitmaps look the same at every screen dpi.
QFont SkinFont(int pixelSize, QFont::Weight weight) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  // Captions are the skin's own Latin text, which the face has: no fallback faces to look up,
  // a search through every installed font that would cost the start-up milliseconds.
  font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

void PaintPlate(QPainter& p, QSize size) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(PlateEdge, 1));
  p.setBrush(Plate);
  p.drawRoundedRect(Outline(size), 5, 5);
}

void PaintLampButton(QPainter& p, QSize size, const QString& caption, int pixelSize, bool on) {
  PaintPlate(p, size);
  const QFont font = SkinFont(pixelSize, QFont::DemiBold);
  const int textWidth = QFontMetrics(font).horizontalAdvance(caption);
  constexpr int kLampRoom = 14;
  const int left = (size.width() - kLampRoom - textWidth) / 2;
  const QPointF lamp(left + 4, size.height() / 2.0);
  p.setPen(QPen(on ? Green : IdleGrey, 1.5));
  p.setBrush(on ? QBrush(Green) : QBrush(Shadow));
  p.drawEllipse(lamp, 4, 4);
  p.setPen(on ? Green : IdleGrey);
  p.setFont(font);
  p.drawText(QRect(left + kLampRoom, 0, textWidth + 1, size.height()),
             Qt::AlignLeft | Qt::AlignVCenter, caption);
}

void PaintPageCanvas(QPainter& p, QSize size) {
  p.scale(size.width() / 490.0, size.height() / 420.0);
  p.fillRect(QRect(0, 0, 490, 420), ControlGround);
}

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

void PaintPanelBackground(QPainter& p, QSize size) {
  p.fillRect(QRect(QPoint(0, 0), size), ControlGround);
}

namespace {

// The tab icons sit in a 30 x 24 box centred on `c`, stroked or filled in `ink`.
void PaintTabIcon(QPainter& p, Tab tab, QPointF c, const QColor& ink) {
  p.setRenderHint(QPainter::Antialiasing);
  const QPen stroke(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  switch (tab) {
    case Tab::Layout:
      // Four screens of a 2 x 2 layout.
      p.setPen(stroke);
      p.setBrush(Qt::NoBrush);
      for (const double dx : {-14.0, 1.0}) {
        for (const double dy : {-11.0, 1.0}) {
          p.drawRoundedRect(QRectF(c.x() + dx, c.y() + dy, 13, 10), 1.5, 1.5);
        }
      }
      break;
    case Tab::Switcher: {
      // Three inputs routed across to three outputs, two of the routes crossing.
      static constexpr std::array<std::pair<int, int>, 3> kRoutes{{{0, 2}, {1, 0}, {2, 1}}};
      p.setPen(stroke);
      for (const auto& [from, to] : kRoutes) {
        p.drawLine(QPointF(c.x() - 12, c.y() - 9 + 9 * from),
                   QPointF(c.x() + 12, c.y() - 9 + 9 * to));
      }
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      for (int row = 0; row < 3; ++row) {
        p.drawEllipse(QPointF(c.x() - 13, c.y() - 9 + 9 * row), 2.5, 2.5);
        p.drawEllipse(QPointF(c.x() + 13, c.y() - 9 + 9 * row), 2.5, 2.5);
      }
      break;
    }
    case Tab::Umd:
      // A screen with the label bar under it.
      p.setPen(stroke);
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(c.x() - 15, c.y() - 12, 30, 17), 2, 2);
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      p.drawRoundedRect(QRectF(c.x() - 11, c.y() + 8, 22, 5), 1.5, 1.5);
      break;
    case Tab::Audio: {
      // Meter bars of different levels on one base line.
      static constexpr std::array<double, 5> kLevels{10, 19, 24, 15, 21};
      p.setPen(Qt::NoPen);
      p.setBrush(ink);
      for (std::size_t i = 0; i < kLevels.size(); ++i) {
        const double x = c.x() - 14 + 6 * static_cast<double>(i);
        p.drawRoundedRect(QRectF(x, c.y() + 12 - kLevels[i], 4, kLevels[i]), 1, 1);
      }
      break;
    }
    case Tab::Colours: {
      // Swatches in falling strengths of the ink, so the icon stays in the state's colour.
      static constexpr std::array<int, 6> kAlpha{255, 205, 160, 120, 205, 160};
      p.setPen(Qt::NoPen);
      for (std::size_t i = 0; i < kAlpha.size(); ++i) {
        QColor swatch = ink;
        swatch.setAlpha(kAlpha[i]);
        p.setBrush(swatch);
        const double x = c.x() - 14 + 10 * static_cast<double>(i % 3);
        const double y = c.y() - 10 + 11 * static_cast<double>(i / 3);
        p.drawRoundedRect(QRectF(x, y, 8, 9), 1.5, 1.5);
      }
      break;
    }
    case Tab::Controls: {
      // Three sliders, each knob at its own setting.
      static constexpr std::array<double, 3> kKnobs{-6, 7, -1};
      for (std::size_t i = 0; i < kKnobs.size(); ++i) {
        const double y = c.y() - 9 + 9 * static_cast<double>(i);
        p.setPen(stroke);
        p.drawLine(QPointF(c.x() - 14, y), QPointF(c.x() + 14, y));
        p.setPen(QPen(Plate, 1.5));
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(c.x() + kKnobs[i] - 3, y - 4, 6, 8), 1.5, 1.5);
      }
      break;
    }
  }
}

const char* TabCaption(Tab tab) {
  switch (tab) {
    case Tab::Audio:
      return "AUDIO";
    case Tab::Colours:
      return "COLORS";
    case Tab::Controls:
      return "CONTROLS";
    case Tab::Layout:
      return "LAYOUT";
    case Tab::Switcher:
      return "SWITCHER";
    case Tab::Umd:
      return "UMD OVERLAY";
  }
  return "";
}

// The largest caption font, down to a floor, that leaves a few pixels either side.
QFont FittingFont(const QString& text, int room, int largest, int smallest) {
  for (int px = largest; px > smallest; --px) {
    const QFont font = SkinFont(px, QFont::DemiBold);
    if (QFontMetrics(font).horizontalAdvance(text) <= room) {
      return font;
    }
  }
  return SkinFont(smallest, QFont::DemiBold);
}

// Captions right-aligned to end just left of a list's box.
void PaintListCaptions(QPainter& p, const char* prefix) {
  p.setPen(LabelGrey);
  p.setFont(SkinFont(11, QFont::DemiBold));
  for (int w = 1; w <= 16; ++w) {
    p.drawText(QRect(300, 30 + 23 * (w - 1), 60, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("%1 %2").arg(QLatin1String(prefix)).arg(w));
  }
}

// The page sits on the panel's grey; a rule keeps the buttons' area apart from the lists.
void PaintPageGround(QPainter& p, QSize size) {
  PaintPageCanvas(p, size);
  p.fillRect(QRect(304, 22, 1, 376), Rule);
}

}  // namespace

void PaintTab(QPainter& p, QSize size, Tab tab, bool selected) {
  PaintPlate(p, size);
  const QColor ink = selected ? Green : IdleGrey;
  const double cx = size.width() / 2.0;
  PaintTabIcon(p, tab, QPointF(cx, 24), ink);

  const QString caption = QString::fromLatin1(TabCaption(tab));
  p.setPen(ink);
  p.setFont(FittingFont(caption, size.width() - 8, 11, 8));
  p.drawText(QRect(0, 44, size.width(), 16), Qt::AlignHCenter | Qt::AlignVCenter, caption);

  if (selected) {
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF({QPointF(cx, 65), QPointF(cx + 6, 72), QPointF(cx - 6, 72)}));
  }
}

void PaintModeBackground(QPainter& p, QSize size) {
  PaintPageGround(p, size);
  p.setPen(LabelGrey);
  p.setFont(SkinFont(11, QFont::DemiBold));
  p.drawText(QRect(10, 25, 85, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("PICTURE"));
  // The window count above, its layouts' buttons below.
  p.fillRect(QRect(22, 58, 272, 1), Rule);
  PaintListCaptions(p, "WIN");
}

void PaintSwitcherBackground(QPainter& p, QSize size) {
  PaintPageGround(p, size);
  PaintListCaptions(p, "OUT");
}

void PaintSingleLayout(QPainter& p, QSize size, int window, bool selected) {
  PaintPlate(p, size);
  const QColor ink = selected ? Green : IdleGrey;
  const double cx = size.width() / 2.0;

  // A small monitor: screen, neck and foot, with the window's number on the screen.
  const QRectF screen(cx - 21, 5.5, 42, 28);
  p.setPen(QPen(ink, 1.5));
  p.setBrush(Shadow);
  p.drawRoundedRect(screen, 2.5, 2.5);
  p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(cx, 34.5), QPointF(cx, 37.5));
  p.drawLine(QPointF(cx - 7, 38.5), QPointF(cx + 7, 38.5));

  p.setPen(ink);
  p.setFont(SkinFont(19, QFont::Bold));
  p.drawText(screen, Qt::AlignCenter, QString::number(window));
}

void PaintOneToOne(QPainter& p, QSize size) {
  PaintPlate(p, size);
  // Three pairs of screens, each input routed straight across to its own output.
  const double left = size.width() / 2.0 - 62;
  const double right = size.width() / 2.0 + 22;
  for (int row = 0; row < 3; ++row) {
    const double y = 11.5 + 26 * row;
    p.setPen(QPen(IdleGrey, 1.5));
    p.setBrush(Shadow);
    p.drawRoundedRect(QRectF(left, y, 40, 21), 2, 2);
    p.drawRoundedRect(QRectF(right, y, 40, 21), 2, 2);

    const double mid = y + 10.5;
    p.setPen(QPen(Green, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(left + 46, mid), QPointF(right - 9, mid));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF(
        {QPointF(right - 4, mid), QPointF(right - 10, mid - 4.5), QPointF(right - 10, mid + 4.5)}));

    p.setPen(IdleGrey);
    p.setFont(SkinFont(11, QFont::DemiBold));
    const QString number = QString::number(row + 1);
    p.drawText(QRectF(left, y, 40, 21), Qt::AlignCenter, number);
    p.drawText(QRectF(right, y, 40, 21), Qt::AlignCenter, number);
  }

  p.setPen(Green);
  p.setFont(SkinFont(13, QFont::DemiBold));
  p.drawText(QRect(0, 90, size.width(), 20), Qt::AlignCenter, QStringLiteral("ONE TO ONE"));
}

}  // namespace quintara::ui::skin
