#pragma once

#include <QApplication>
#include <QByteArray>
#include <QComboBox>

namespace quintara::test {

// The one QApplication of a GUI test binary, made on first use on the offscreen platform, with
// Qt's own high-dpi scaling off as in the program.
inline QApplication& GuiApp() {
  static int argc = 1;
  static char name[] = "gui_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  // Never destroyed: Qt's input devices, made by the first synthetic event, outlive a static app
  // object at exit and would be deleted twice.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Picks an item of a list as the operator does: the list shows it and reports the pick, also of
// the item it showed already.
inline void Pick(QComboBox* list, int item) {
  list->setCurrentIndex(item);
  emit list->activated(item);
}

}  // namespace quintara::test
