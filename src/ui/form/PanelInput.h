#pragma once

class QKeyEvent;
class QMouseEvent;
class QWidget;

// What every device panel does with keys and lists.
namespace quintara::ui {

// Takes Enter and Escape, which must neither close a panel or page nor activate a control;
// true when the key was one of them.
bool SwallowEnterAndEscape(QKeyEvent* event);

// Keeps a press on a panel, its pages or its preview where it is: only the main window's own
// background drags the window and takes the focus from the name field.
void KeepPress(QMouseEvent* event);

// Selects an item of a list as the program, not the operator: no change handler runs.
// -1 leaves the list without a selection.
void SelectQuietly(QWidget* list, int item);

}  // namespace quintara::ui
