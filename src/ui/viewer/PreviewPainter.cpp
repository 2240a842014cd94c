#include "ui/viewer/PreviewPainter.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include "core/viewer/state/PreviewScene.h"
#include "ui/skin/Palette.h"

namespace quintara::ui {
namespace {

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
    Fill(WindowInterior(r), kInterior);
  }

  void Number(const CanvasRect& r, int number) {
    Text(NumberAt(r), QString::number(number), kGreen, kInterior);
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

QString Text(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

void PaintWindow(CanvasPainter& canvas, const SceneWindow& window) {
  canvas.Cell(window.frame, window.bordered ? kGreen : kSilver);
  canvas.Number(window.frame, window.number);
  if (window.label) {
    canvas.Text(window.label->at, Text(window.label->text), ToColor(window.label->ink),
                ToColor(window.label->ground));
  }
  if (window.meter) {
    canvas.Fill(*window.meter, kGreen);
  }
  if (window.format) {
    canvas.Text(window.format->at, Text(window.format->text), ToColor(window.format->ink),
                ToColor(window.format->ground));
  }
}

void PaintScene(CanvasPainter& canvas, const PreviewScene& scene) {
  for (const SceneWindow& window : scene.windows) {
    PaintWindow(canvas, window);
  }
  if (scene.clock) {
    canvas.Clock(*scene.clock);
  }
  for (const CanvasRect& symbol : scene.symbols) {
    canvas.Symbol(symbol);
  }
}

}  // namespace

void PaintPreview(QPainter& painter, const ViewerState& viewer, const DpiScale& scale,
                  std::uint8_t shownPage) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(QFont());
  CanvasPainter canvas(painter, scale);
  canvas.Fill({0, 0, kPreviewWidth, kPreviewHeight}, kCanvasGrey);
  PaintScene(canvas, ScenePreview(viewer, shownPage == ViewerPage::Switcher));
  painter.restore();
}

QImage RenderPreview(const ViewerState& viewer, const DpiScale& scale, std::uint8_t shownPage) {
  QImage image(scale.X(kPreviewWidth), scale.Y(kPreviewHeight), QImage::Format_RGB32);
  QPainter painter(&image);
  PaintPreview(painter, viewer, scale, shownPage);
  return image;
}

}  // namespace quintara::ui
