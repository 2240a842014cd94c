#pragma once

#include <QWidget>

#include "ui/form/ControlFactory.h"
#include "ui/form/PanelInput.h"

namespace quintara::ui {

// What every page of the multiviewer panel shares: its background bitmap stretched over the
// page, the panels' list colours, and Enter and Escape taken so that neither key closes the
// page or activates one of its controls.
class PageWidget : public QWidget {
  Q_OBJECT

 public:
  // backgroundId: the skin bitmap of the page.
  PageWidget(int backgroundId, QWidget* parent);

  // Lists and edits: blue on the control grey; labels black on green.
  static ControlColours Colours();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int backgroundId_;
};

}  // namespace quintara::ui
