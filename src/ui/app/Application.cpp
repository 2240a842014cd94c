#include "ui/app/Application.h"

#include "ui/app/QtPrompter.h"
#include "ui/skin/SkinStyle.h"

namespace quintara::ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Quintara"));
  ApplySkinStyle(*this);
}

int Application::Run(const MainWindow::Options& options) {
  QtPrompter prompter;
  MainWindow window(options, prompter);
  window.show();
  return exec();
}

}  // namespace quintara::ui
