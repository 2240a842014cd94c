#include "ui/viewer/pages/PageWidget.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/skin/Palette.h"
#include "ui/skin/Skin.h"

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

}  // namespace quintara::ui
