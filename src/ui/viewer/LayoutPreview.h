#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <atomic>

#include "core/viewer/panel/PanelSelections.h"
#include "core/viewer/state/ViewerState.h"
#include "ui/form/DpiScale.h"

namespace quintara::ui {

// The left half of the multiviewer panel: a picture of what the multiviewer puts on its output,
// drawn from the mirror and, on the Switcher page, the switcher grid. Not interactive.
class LayoutPreview : public QWidget {
  Q_OBJECT

 public:
  LayoutPreview(const ViewerState& viewer, const PanelSelections& selections, const DpiScale& scale,
                QWidget* parent = nullptr);

  // Asks for the picture to be drawn again; from any thread. The paint happens on the window's
  // thread, and every request made before it is folded into that one paint.
  void RequestRepaint();
  // How many times the picture was drawn from the mirror.
  int PaintCount() const { return paintCount_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // On the window's thread: shows the next frame no sooner than a frame after the last paint.
  void ScheduleFrame();
  void ShowFrame();

  const ViewerState& viewer_;
  const PanelSelections& selections_;
  DpiScale scale_;
  std::atomic<bool> repaintPending_{false};
  QImage canvas_;            // drawn off-screen, shown in one step
  bool canvasStale_ = true;  // the mirror changed since the canvas was drawn
  int paintCount_ = 0;
  QTimer frameTimer_;
  QElapsedTimer sinceLastPaint_;
};

}  // namespace quintara::ui
