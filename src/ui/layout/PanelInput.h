#pragma once

class QKeyEvent;
class QWidget;

// What every device panel does with keys and lists.
namespace quintara::ui {

// Takes Enter and Escape, which must neither close a panel or page nor activate a control;
// true when the key was one of them.
bool SwallowEnterAndEscape(QKeyEvent* event);

// Selects an item of a list as the program, not the operator: no change handler runs.
// -1 leaves the list without a selection.
void SelectQuietly(QWidget* list, int item);

}  // namespace quintara::ui
