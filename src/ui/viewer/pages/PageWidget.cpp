#include "ui/viewer/pages/PageWidget.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>

#include "ui/res/Palette.h"
#include "ui/res/Skin.h"

namespace quintara::ui {

PageWidget::PageWidget(int backgroundId, QWidget* parent)
    : QWidget(parent), backgroundId_(backgroundId) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

ControlColours PageWidget::Colours() {
  return {{skin::ListBlue, skin::ControlGround}, {Qt::black, skin::Green}};
}

void PageWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPixmap& background = Skin::Bitmap(backgroundId_);
  if (background.isNull()) {
    painter.fillRect(rect(), skin::ControlGround);
  } else {
    painter.drawPixmap(rect(), background);
  }
  // The black frame that marks the page area of the panel.
  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PageWidget::keyPressEvent(QKeyEvent* event) {
  if (!SwallowEnterAndEscape(event)) {
    QWidget::keyPressEvent(event);
  }
}

bool SwallowEnterAndEscape(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return true;
    default:
      return false;
  }
}

void SelectQuietly(QWidget* list, int item) {
  auto* combo = qobject_cast<QComboBox*>(list);
  if (combo == nullptr) {
    return;
  }
  const QSignalBlocker quiet(combo);
  combo->setCurrentIndex(item >= 0 && item < combo->count() ? item : -1);
}

}  // namespace quintara::ui
