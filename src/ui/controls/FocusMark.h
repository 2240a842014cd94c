#pragma once

class QPainter;
class QWidget;

namespace quintara::ui {

// The skin's mark of the control that holds the keyboard focus: a dotted green frame inside its
// edge. Drawn once the focus has moved by the keyboard (Tab) in the control's window, so a click
// leaves no frame behind.
void DrawFocusMark(QPainter& painter, const QWidget& control);

}  // namespace quintara::ui
