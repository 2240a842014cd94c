#pragma once

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace quintara::ui {

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace quintara::ui
