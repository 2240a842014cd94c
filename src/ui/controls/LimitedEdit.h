#pragma once

#include <QLineEdit>

namespace quintara::ui {

// A line edit that refuses typed characters above code 128 and the backslash, which the
// device's labels cannot carry. Pasted text is not filtered.
class LimitedEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

  // The typed text with the refused characters taken out.
  static QString Typable(const QString& typed);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Composed characters (dead keys, input methods) are typed too and go through the same filter.
  void inputMethodEvent(QInputMethodEvent* event) override;
};

}  // namespace quintara::ui
