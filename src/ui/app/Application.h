#pragma once

#include <QApplication>

#include "ui/app/MainWindow.h"

namespace quintara::ui {

// The application: one main window, run until it closes.
class CKORVEL_16_ZUZEApp : public QApplication {
  Q_OBJECT

 public:
  CKORVEL_16_ZUZEApp(int& argc, char** argv);

  // Shows the main window and runs until it closes; the program's exit status.
  int Run(const CKORVEL_16_ZUZEDlg::Options& options);
};

}  // namespace quintara::ui
