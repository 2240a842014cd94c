#include "ui/controls/LimitedEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace quintara::ui {
namespace {

bool Refused(QChar c) {
  return c.unicode() > 128 || c == u'\\';
}

}  // namespace

QString LimitedEdit::Typable(const QString& typed) {
  QString kept = typed;
  kept.removeIf(Refused);
  return kept;
}

void LimitedEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  const QString kept = Typable(typed);
  if (kept.size() == typed.size()) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (!kept.isEmpty()) {
    QKeyEvent filtered(event->type(), event->key(), event->modifiers(), kept, event->isAutoRepeat(),
                       static_cast<ushort>(event->count()));
    QLineEdit::keyPressEvent(&filtered);
  }
  event->accept();
}

void LimitedEdit::inputMethodEvent(QInputMethodEvent* event) {
  const QString kept = Typable(event->commitString());
  if (kept.size() == event->commitString().size()) {
    QLineEdit::inputMethodEvent(event);
    return;
  }
  QInputMethodEvent filtered(event->preeditString(), event->attributes());
  filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
  QLineEdit::inputMethodEvent(&filtered);
  event->accept();
}

}  // namespace quintara::ui
