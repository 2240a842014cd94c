#include "ui/viewer/LayoutPreview.h"

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

LayoutPreview::LayoutPreview(const ViewerState& viewer, const DpiScale& scale, QWidget* parent)
    : QWidget(parent), viewer_(viewer), scale_(scale) {
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
  update();
}

void LayoutPreview::paintEvent(QPaintEvent* /*event*/) {
  const QSize size(scale_.X(kCanvasWidth), scale_.Y(kCanvasHeight));
  if (canvas_.size() != size) {
    canvas_ = QImage(size, QImage::Format_RGB32);
  }
  {
    QPainter offscreen(&canvas_);
    PaintPreview(offscreen, viewer_, scale_);
  }
  QPainter(this).drawImage(0, 0, canvas_);
  ++paintCount_;
  sinceLastPaint_.start();
}

}  // namespace quintara::ui
