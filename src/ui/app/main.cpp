// quintara: the desktop control panel.
#include <iostream>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "ui/app/Application.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const quintara::CommandLine commandLine = quintara::ParseCommandLine(args);
  if (!commandLine.error.empty() || commandLine.options.help || !commandLine.arguments.empty()) {
    std::ostream& out = commandLine.options.help ? std::cout : std::cerr;
    if (!commandLine.error.empty()) {
      out << "quintara: " << commandLine.error << "\n";
    }
    out << "Usage: quintara [options]\nThe Quintara control panel.\n\n"
        << quintara::GlobalOptionsHelp()
        << "  (--serial PORT adds PORT to the link settings' port list)\n";
    return commandLine.options.help ? 0 : 2;
  }
  // The window scales itself by the screen's dpi; Qt must not scale it a second time.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  quintara::ui::Application app(argc, argv);
  quintara::ui::MainWindow::Options options;
  options.link = commandLine.options.link;
  if (commandLine.options.serialPort) {
    options.serialPorts.extraPorts.push_back(*commandLine.options.serialPort);
  }
  return app.Run(options);
}
