#pragma once

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/CommandContext.h"
#include "core/CommandLine.h"
#include "core/Controller.h"
#include "core/platform/Clock.h"
#include "core/platform/Prompter.h"

namespace quintara::cli {

// Operator messages go to stderr, exactly as the boxes would show them.
class ConsolePrompter final : public Prompter {
 public:
  explicit ConsolePrompter(std::ostream& err) : err_(err) {}
  void ShowError(std::string_view message) override;
  bool Confirm(std::string_view message) override;
  void ShowInfo(std::string_view message) override;
  bool ErrorShown() const { return errorShown_; }

 private:
  std::ostream& err_;
  bool errorShown_ = false;
};

// One invocation's controller, on the link the options name; its device is the one at
// --device or on the serial line.
class CliSession final : public CommandContext {
 public:
  CliSession(const GlobalOptions& options, const LinkTiming& timing, std::ostream& out,
             std::ostream& err, ControllerObserver& observer);

  // Searches and prints what answered.
  int Discover();
  // Searches and selects the device to command.
  int Connect() override;
  // The session of the selected device.
  DeviceSession& Device() override { return controller_.Session(); }
  Controller& GetController() override { return controller_; }
  std::string SelectedListLine() const override;

 private:
  bool ErrorShown() const override { return prompter_.ErrorShown(); }
  bool OpenLink();
  std::string Where() const;
  std::optional<int> FindDevice() const;

  SystemClock clock_;
  ConsolePrompter prompter_;
  std::ostringstream unheardDiagnostics_;  // without --verbose
  Controller controller_;
  bool searched_ = false;  // the device was found and selected
};

}  // namespace quintara::cli
