#pragma once

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "core/CommandLine.h"
#include "core/CommandResult.h"
#include "core/Controller.h"
#include "core/platform/Clock.h"
#include "core/platform/Prompter.h"

namespace quintara::cli {

// Exit statuses of quintara-cli.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitNoDevice = 1;      // no device answered, or the device did not answer
inline constexpr int kExitUsage = 2;         // the arguments cannot be used; no command was sent
                                             // (only the search, when the device's kind decides)
inline constexpr int kExitLinkSetup = 3;     // this machine's end of the link could not be set up:
                                             // a local port held elsewhere, no socket to be had,
                                             // a serial port that cannot be opened
inline constexpr int kExitNotApplied = 4;    // the device's settings and the file disagree:
                                             // mv import found the device locked, or its state
                                             // read back differs; mv export found a value no
                                             // settings file carries
inline constexpr int kExitOutputFailed = 5;  // the command succeeded, but its results could not
                                             // be written: standard output, an export's FILE

// Keeps what the window's name field would show.
class NameFieldRecorder final : public ControllerObserver {
 public:
  void NameFieldChanged(std::u16string_view text) override { name = text; }
  std::u16string name;
};

// Thrown for arguments that cannot be used; the command line prints it and exits with 2.
struct UsageError {
  std::string message;
};

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

// One invocation's controller, on the link the options name.
class CliSession {
 public:
  CliSession(const GlobalOptions& options, const LinkTiming& timing, std::ostream& out,
             std::ostream& err, ControllerObserver& observer);

  // Searches and prints what answered.
  int Discover();
  // Searches and selects the device to command: the one at --device or on the serial line.
  // kExitSuccess once it is selected; kExitUsage when it is of a kind the command group set
  // with ExpectDevicesOf does not drive.
  int Connect();
  // The device must be of a kind whose command word this is ("mv", "matrix").
  void ExpectDevicesOf(std::string_view commandWord, std::string_view deviceNoun) {
    expectedWord_ = commandWord;
    expectedNoun_ = deviceNoun;
  }
  // Prints that a command went to the selected device, or returns the failure's exit status; a
  // refusal of a locked device is said on stderr as the status line says it.
  int ReportSent(std::string_view commandName, CommandResult result);
  int ReportSent(std::string_view commandName, bool sent);
  // The exit status of an exchange that got no answer: 3 when the local end of the link could
  // not be set up (said on stderr), else 1 with the given line on stderr.
  int Unanswered(std::string_view what);
  // The device the command goes to, as the list names it, made safe for a terminal: for text
  // output and messages.
  std::string SelectedLine() const;
  // The same line as the device sent it: for JSON documents, which escape it themselves.
  std::string SelectedListLine() const;

  Controller& GetController() { return controller_; }
  // The session of the selected device: what the device commands work with.
  DeviceSession& Device() { return controller_.Session(); }
  const GlobalOptions& Options() const { return options_; }
  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }

 private:
  bool OpenLink();
  std::string Where() const;
  std::optional<int> FindDevice() const;
  // 3, with the reason on stderr, when the last socket could not be set up here.
  std::optional<int> LinkSetupFailure();

  const GlobalOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  SystemClock clock_;
  ConsolePrompter prompter_;
  std::ostringstream unheardDiagnostics_;  // without --verbose
  Controller controller_;
  std::string_view expectedWord_;
  std::string_view expectedNoun_;
};

}  // namespace quintara::cli
