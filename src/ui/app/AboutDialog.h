#pragma once

#include <QDialog>

namespace quintara::ui {

// The about box, opened from the main window's context menu: the window icon, the program's
// title and version line, and OK. Unlike the skinned windows it closes with Enter (OK) and
// Escape, as a box whose only answer is OK should.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace quintara::ui
