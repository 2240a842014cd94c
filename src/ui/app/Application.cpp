#include "ui/app/Application.h"

#include "ui/app/QtPrompter.h"

namespace quintara::ui {

CKORVEL_16_ZUZEApp::CKORVEL_16_ZUZEApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Quintara"));
}

int CKORVEL_16_ZUZEApp::Run(const CKORVEL_16_ZUZEDlg::Options& options) {
  QtPrompter prompter;
  CKORVEL_16_ZUZEDlg window(options, prompter);
  window.show();
  return exec();
}

}  // namespace quintara::ui
