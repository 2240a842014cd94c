#include "ui/form/PanelInput.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace quintara::ui {

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

void KeepPress(QMouseEvent* event) {
  event->accept();
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
