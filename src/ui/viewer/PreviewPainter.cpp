#include "ui/viewer/PreviewPainter.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <cstddef>
#include <span>

#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/PreviewGeometry.h"
#include "ui/skin/Palette.h"

namespace quintara::ui {
namespace {

constexpr int kCanvasWidth = 720;
constexpr int kCanvasHeight = 480;
constexpr int kFrameWidth = 2;
// A window's number sits this far up and left of its frame's centre.
constexpr int kNumberOffset = 5;

constexpr QColor kCanvasGrey{152, 152, 152};
constexpr QColor kSilver{192, 192, 192};
constexpr QColor kInterior = skin::Ground;
constexpr QColor kGreen = skin::Green;

QColor ToColor(const Rgb& rgb) {
  return {rgb.r, rgb.g, rgb.b};
}

// Draws in canvas units; everything goes through the scale except the texts' own size.
class CanvasPainter {
 public:
  CanvasPainter(QPainter& painter, const DpiScale& scale)
      : painter_(painter), scale_(scale), metrics_(painter.font()) {}

  void Fill(const CanvasRect& r, const QColor& colour) {
    painter_.fillRect(scale_.Rect(r.x, r.y, r.width, r.height), colour);
  }

  // A frame of the given colour with the interior inside it.
  void Cell(const CanvasRect& r, const QColor& frame) {
    Fill(r, frame);
    Fill({r.x + kFrameWidth, r.y + kFrameWidth, r.width - 2 * kFrameWidth,
          r.height - 2 * kFrameWidth},
         kInterior);
  }

  void Number(const CanvasRect& r, int number) {
    Text({r.x + r.width / 2 - kNumberOffset, r.y + r.height / 2 - kNumberOffset},
         QString::number(number), kGreen, kInterior);
  }

  // Text with an opaque ground, its top-left corner at `at`.
  void Text(const CanvasPoint& at, const QString& text, const QColor& ink, const QColor& ground) {
    const QRect box(scale_.X(at.x), scale_.Y(at.y), metrics_.horizontalAdvance(text),
                    metrics_.height());
    painter_.fillRect(box, ground);
    painter_.setPen(ink);
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  }

  // A green shape with a black one-pixel rim, kept inside the rectangle.
  void Symbol(const CanvasRect& r) {
    painter_.setPen(Qt::black);
    painter_.setBrush(kGreen);
    painter_.drawRect(Inside(r));
  }

  void Clock(const ClockFace& clock) {
    painter_.setPen(Qt::black);
    painter_.setBrush(kGreen);
    painter_.drawEllipse(Inside(clock.disc));
    const QPoint centre = Point(clock.centre);
    painter_.drawLine(centre, Point(clock.hourHand));
    painter_.drawLine(centre, Point(clock.minuteHand));
  }

 private:
  QPoint Point(const CanvasPoint& p) const { return {scale_.X(p.x), scale_.Y(p.y)}; }

  // A one-pixel pen strokes one pixel past a QRect's right and bottom edges; this rect keeps the
  // outline on the rectangle's own last column and row.
  QRect Inside(const CanvasRect& r) const {
    const QRect scaled = scale_.Rect(r.x, r.y, r.width, r.height);
    return scaled.adjusted(0, 0, -1, -1);
  }

  QPainter& painter_;
  const DpiScale& scale_;
  QFontMetrics metrics_;
};

void PaintSwitcherGrid(CanvasPainter& canvas, const ViewerState& viewer) {
  for (const LayoutRect& cell : viewer.SwitcherRects) {
    const CanvasRect r{cell.x, cell.y, cell.width, cell.height};
    canvas.Cell(r, kGreen);
    canvas.Number(r, cell.number);
  }
}

// The entry of the per-window tables that window `index` of the layout draws from: a
// single-window layout shows the window its code names.
std::size_t EntryOf(std::uint8_t layoutCode, std::size_t index) {
  return layoutCode <= kWindowCount ? layoutCode - 1u : index;
}

void PaintLabel(CanvasPainter& canvas, const ViewerState& viewer, std::size_t index,
                std::size_t entry) {
  if (viewer.AllUmdOn != 1 || viewer.UmdOn[entry] != 1) {
    return;
  }
  // A window without an input has no label to show.
  const std::uint8_t source = viewer.WindowSource[entry];
  if (source < 1 || source > kInputCount) {
    return;
  }
  const auto placed = PlaceLabel(viewer.LayoutCode, index, viewer.UmdText[source - 1u]);
  if (!placed) {
    return;
  }
  canvas.Text(placed->at, QString::fromStdU16String(placed->text),
              ToColor(viewer.UmdTextRgb[entry]), ToColor(viewer.UmdBackRgb[entry]));
}

void PaintWindow(CanvasPainter& canvas, const ViewerState& viewer, std::size_t index, int number) {
  const auto drawing = WindowDrawingFor(viewer.LayoutCode, index);
  if (!drawing) {
    return;
  }
  const std::size_t entry = EntryOf(viewer.LayoutCode, index);
  canvas.Cell(drawing->frame, viewer.BorderOn == 1 ? kGreen : kSilver);
  canvas.Number(drawing->frame, number);
  PaintLabel(canvas, viewer, index, entry);
  if (viewer.AllMetersOn == 1 && viewer.MeterOn[entry] == 1) {
    canvas.Fill(drawing->meter, kGreen);
  }
  if (viewer.FormatStatusOn == 1) {
    canvas.Text(drawing->formatAt, QString::fromStdU16String(viewer.WindowFormatText[entry]),
                ToColor(viewer.FormatTextRgb[entry]), ToColor(viewer.FormatBackRgb[entry]));
  }
}

void PaintDecorations(CanvasPainter& canvas, std::uint8_t layoutCode) {
  const LayoutDecorations decorations = DecorationsOf(layoutCode);
  if (decorations.clock) {
    canvas.Clock(*decorations.clock);
  }
  for (const CanvasRect& bar : decorations.bars) {
    canvas.Symbol(bar);
  }
}

// The windows come from the layout table rather than WindowRects, so frames, numbers and
// labels always agree even before the mirror's tables are refreshed.
void PaintLayout(CanvasPainter& canvas, const ViewerState& viewer) {
  const std::span<const LayoutRect> windows = LayoutWindows(viewer.LayoutCode);
  if (windows.empty()) {
    return;
  }
  for (std::size_t k = 0; k < windows.size(); ++k) {
    PaintWindow(canvas, viewer, k, windows[k].number);
  }
  PaintDecorations(canvas, viewer.LayoutCode);
}

}  // namespace

void PaintPreview(QPainter& painter, const ViewerState& viewer, const DpiScale& scale,
                  std::uint8_t shownPage) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(QFont());
  CanvasPainter canvas(painter, scale);
  canvas.Fill({0, 0, kCanvasWidth, kCanvasHeight}, kCanvasGrey);
  if (shownPage == ViewerPage::Switcher) {
    PaintSwitcherGrid(canvas, viewer);
  } else {
    PaintLayout(canvas, viewer);
  }
  painter.restore();
}

QImage RenderPreview(const ViewerState& viewer, const DpiScale& scale, std::uint8_t shownPage) {
  QImage image(scale.X(kCanvasWidth), scale.Y(kCanvasHeight), QImage::Format_RGB32);
  QPainter painter(&image);
  PaintPreview(painter, viewer, scale, shownPage);
  return image;
}

}  // namespace quintara::ui
