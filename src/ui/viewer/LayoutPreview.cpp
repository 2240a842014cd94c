#include "ui/viewer/LayoutPreview.h"

#include <QEvent>
#include <QMetaObject>
#include <QPainter>
#include <algorithm>
#include <chrono>

#include "ui/viewer/PreviewPainter.h"

namespace quintara::ui {
namespace {

constexpr int kCanvasWidth = 720;
constexpr int kCanvasHeight = 480;
// Reports can arrive thousands of times a second; the picture follows at most once a frame.
constexpr std::chrono::milliseconds kFrame{16};

}  // namespace

LayoutPreview::LayoutPreview(const ViewerState& viewer, const PanelSelections& selections,
                             const DpiScale& scale, QWidget* parent)
    : QWidget(parent), viewer_(viewer), selections_(selections), scale_(scale) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(scale_.X(kCanvasWidth), scale_.Y(kCanvasHeight));
  frameTimer_.setSingleShot(true);
  connect(&frameTimer_, &QTimer::timeout, this, &LayoutPreview::ShowFrame);
}

void LayoutPreview::RequestRepaint() {
  if (repaintPending_.exchange(true)) {
    return;
  }
  // Widgets and their timers belong to the window's thread, so the scheduling happens there.
  QMetaObject::invokeMethod(
      this, [this] { ScheduleFrame(); }, Qt::QueuedConnection);
}

void LayoutPreview::ScheduleFrame() {
  std::chrono::milliseconds wait{0};
  if (sinceLastPaint_.isValid()) {
    const std::chrono::milliseconds since{sinceLastPaint_.elapsed()};
    wait = std::max(kFrame - since, std::chrono::milliseconds{0});
  }
  frameTimer_.start(wait);
}

void LayoutPreview::ShowFrame() {
  // Cleared before the paint: a request made from here on is drawn by this paint or a later one.
  repaintPending_.store(false);
  canvasStale_ = true;
  update();
}

void LayoutPreview::paintEvent(QPaintEvent* /*event*/) {
  const QSize size(scale_.X(kCanvasWidth), scale_.Y(kCanvasHeight));
  if (canvas_.size() != size) {
    canvas_ = QImage(size, QImage::Format_RGB32);
    canvas_.fill(QColor(152, 152, 152));  // the empty canvas, until there is a picture
    canvasStale_ = true;
  }
  // While an exchange runs the panel is disabled and a worker writes the mirror: the window goes
  // on showing the last picture and draws the new one once the exchange is over.
  if (canvasStale_ && isEnabled()) {
    QPainter offscreen(&canvas_);
    PaintPreview(offscreen, viewer_, scale_, selections_.CurrentPage);
    canvasStale_ = false;
    ++paintCount_;
    sinceLastPaint_.start();
  }
  QPainter(this).drawImage(0, 0, canvas_);
}

void LayoutPreview::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && isEnabled() && canvasStale_) {
    update();
  }
  QWidget::changeEvent(event);
}

}  // namespace quintara::ui
