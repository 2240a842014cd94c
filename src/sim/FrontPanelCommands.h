#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "sim/SimMultiviewer.h"

namespace quintara::sim {

// Carries out one line of front-panel input on the multiviewer, e.g. "layout 40". Empty when
// done (a blank line does nothing), else what was wrong with the line.
std::string RunFrontPanelCommand(SimMultiviewer& device, std::string_view line);

// The commands RunFrontPanelCommand takes, for the program's usage text.
std::string FrontPanelUsage();

// Reads front-panel commands from a descriptor (standard input) on its own thread and reports
// the lines it cannot carry out on standard error. End of input just ends the reading.
class FrontPanelConsole {
 public:
  FrontPanelConsole(std::shared_ptr<SimMultiviewer> device, int input);
  ~FrontPanelConsole();
  FrontPanelConsole(const FrontPanelConsole&) = delete;
  FrontPanelConsole& operator=(const FrontPanelConsole&) = delete;

  // Stops and joins the reader within about its poll interval; safe to call twice.
  void Stop();

 private:
  void Run();

  std::shared_ptr<SimMultiviewer> device_;
  int input_;
  std::atomic<bool> stopping_{false};
  std::thread reader_;
};

}  // namespace quintara::sim
