#pragma once

#include <QPalette>
#include <QString>

class QApplication;

namespace quintara::ui {

// The skin of everything the windows do not paint themselves: lists and their pop-ups, edits,
// menus, message boxes, dialogs and push buttons, and how each looks while disabled. One
// palette and one style sheet for the whole application, so no widget is ever left in the
// platform's light default and no window styles its controls one by one. The windows still
// give their lists and edits their own text colour (white or the list blue); the skin keeps it.
QPalette SkinPalette();
QString SkinStyleSheet();

// Puts the skin on the application: a fixed base style, the palette and the style sheet.
void ApplySkinStyle(QApplication& app);

}  // namespace quintara::ui
