#include "ui/skin/LayoutPictures.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>

#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/PreviewGeometry.h"
#include "ui/skin/SkinPainters.h"

namespace quintara::ui::skin {
namespace {

constexpr double kMargin = 5;

// Canvas to bitmap, one scale for both axes so the windows keep the preview's proportions.
// Only the part of the canvas the layout uses is shown, which lets the wide, low buttons of the
// middle-row layouts fill their width.
class CanvasMap {
 public:
  CanvasMap(QSize size, const QRectF& used) {
    scale_ = std::min((size.width() - 2 * kMargin) / used.width(),
                      (size.height() - 2 * kMargin) / used.height());
    originX_ = (size.width() - used.width() * scale_) / 2 - used.x() * scale_;
    originY_ = (size.height() - used.height() * scale_) / 2 - used.y() * scale_;
  }

  double X(int x) const { return originX_ + x * scale_; }
  double Y(int y) const { return originY_ + y * scale_; }
  QPointF Point(CanvasPoint c) const { return {X(c.x), Y(c.y)}; }

  // Rounded to whole pixels, so windows that touch on the canvas share a pixel edge here.
  QRect Rect(const CanvasRect& r) const {
    const int left = Pixel(X(r.x));
    const int top = Pixel(Y(r.y));
    return {left, top, Pixel(X(r.x + r.width)) - left, Pixel(Y(r.y + r.height)) - top};
  }
  QRectF RectF(const CanvasRect& r) const {
    return {X(r.x), Y(r.y), r.width * scale_, r.height * scale_};
  }

 private:
  static int Pixel(double v) { return static_cast<int>(std::lround(v)); }

  double scale_ = 1;
  double originX_ = 0;
  double originY_ = 0;
};

QRectF UsedArea(std::uint8_t layoutCode, const LayoutDecorations& decorations) {
  QRectF used;
  const auto add = [&used](int x, int y, int width, int height) {
    used = used.united(QRectF(x, y, width, height));
  };
  for (const LayoutRect& w : LayoutWindows(layoutCode)) {
    add(w.x, w.y, w.width, w.height);
  }
  if (decorations.clock) {
    const CanvasRect& d = decorations.clock->disc;
    add(d.x, d.y, d.width, d.height);
  }
  for (const CanvasRect& b : decorations.bars) {
    add(b.x, b.y, b.width, b.height);
  }
  return used.isEmpty() ? QRectF(0, 0, 720, 480) : used;
}

}  // namespace

void PaintLayoutPicture(QPainter& p, QSize size, std::uint8_t layoutCode, bool selected) {
  PaintPlate(p, size);
  const QColor ink = selected ? Green : IdleGrey;
  const LayoutDecorations decorations = DecorationsOf(layoutCode);
  const CanvasMap map(size, UsedArea(layoutCode, decorations));

  // Frames as filled pixel rectangles rather than strokes: crisp, and exactly where the map puts
  // them.
  p.setRenderHint(QPainter::Antialiasing, false);
  const std::span<const LayoutRect> windows = LayoutWindows(layoutCode);
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const std::optional<WindowDrawing> drawing = WindowDrawingFor(layoutCode, i);
    if (!drawing) {
      continue;
    }
    const QRect frame = map.Rect(drawing->frame);
    p.fillRect(frame, ink);
    p.fillRect(frame.adjusted(1, 1, -1, -1), Shadow);
    // A number needs about 14 pixels of window to stay legible.
    if (frame.width() >= 14 && frame.height() >= 14) {
      const int px = std::clamp(frame.height() * 2 / 5, 8, 14);
      p.setPen(ink);
      p.setFont(SkinFont(px, QFont::DemiBold));
      p.drawText(frame, Qt::AlignCenter, QString::number(windows[i].number));
    }
  }

  for (const CanvasRect& bar : decorations.bars) {
    p.fillRect(map.Rect(bar), ink);
  }

  if (decorations.clock) {
    const ClockFace& clock = *decorations.clock;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.5));
    p.setBrush(Shadow);
    p.drawEllipse(map.RectF(clock.disc).adjusted(0.75, 0.75, -0.75, -0.75));
    p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(map.Point(clock.centre), map.Point(clock.hourHand));
    p.drawLine(map.Point(clock.centre), map.Point(clock.minuteHand));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(map.Point(clock.centre), 2, 2);
  }
}

}  // namespace quintara::ui::skin
