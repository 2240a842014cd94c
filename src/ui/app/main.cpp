// quintara: the desktop control panel.
#include <iostream>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/presets/PresetStore.h"
#include "ui/app/Application.h"

namespace {

std::string WindowUsage() {
  return "Usage: quintara [options]\nThe Quintara control panel.\n\n" +
         quintara::GlobalOptionsHelp(quintara::OptionSet::Window);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const quintara::CommandLine commandLine =
      quintara::ParseCommandLine(args, quintara::OptionSet::Window);
  if (!commandLine.error.empty() || !commandLine.arguments.empty()) {
    const std::string error = commandLine.error.empty()
                                  ? "unexpected argument " + commandLine.arguments.front()
                                  : commandLine.error;
    std::cerr << "quintara: " << error << "\n" << WindowUsage();
    return 2;
  }
  if (commandLine.options.help) {
    std::cout << WindowUsage();
    return 0;
  }
  if (commandLine.options.version) {
    std::cout << quintara::VersionLine("quintara");
    return 0;
  }
  // The window scales itself by the screen's dpi; Qt must not scale it a second time.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  quintara::ui::Application app(argc, argv);
  quintara::ui::MainWindow::Options options;
  options.link = commandLine.options.link;
  if (commandLine.options.serialPort) {
    options.serialPorts.extraPorts.push_back(*commandLine.options.serialPort);
  }
  options.presetFolder = commandLine.options.presetDir
                             ? std::optional<std::filesystem::path>(*commandLine.options.presetDir)
                             : quintara::DefaultPresetFolder();
  return app.Run(options);
}
