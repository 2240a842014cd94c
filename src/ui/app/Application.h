#pragma once

#include <QApplication>

#include "ui/app/MainWindow.h"

namespace quintara::ui {

// The application: one main window, run until it closes.
class Application : public QApplication {
  Q_OBJECT

 public:
  Application(int& argc, char** argv);

  // Shows the main window and runs until it closes; the program's exit status.
  int Run(const MainWindow::Options& options);
};

}  // namespace quintara::ui
