#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "core/CommandLine.h"
#include "core/CommandResult.h"
#include "core/Controller.h"

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
                                             // an import found the device locked, or its
                                             // state read back differs; an export found a
                                             // value no settings file carries
inline constexpr int kExitOutputFailed = 5;  // the command succeeded, but its results could not
                                             // be written: standard output, an export FILE

// Thrown for arguments that cannot be used; the caller says so and sends nothing.
struct UsageError {
  std::string message;
};

// Keeps what the window's name field would show.
class NameFieldRecorder final : public ControllerObserver {
 public:
  void NameFieldChanged(std::u16string_view text) override { name = text; }
  std::u16string name;
};

// What one device command works with: the device it goes to, where its results and messages
// go, and how its outcome becomes an exit status. quintara-cli makes one per invocation, which
// searches for its device; quintara-server one per request, for a device it holds already.
class CommandContext {
 public:
  CommandContext(const GlobalOptions& options, std::ostream& out, std::ostream& err,
                 std::string_view program)
      : options_(options), out_(out), err_(err), program_(program) {}
  CommandContext(const CommandContext&) = delete;
  CommandContext& operator=(const CommandContext&) = delete;

  // Makes the command's device ready: kExitSuccess, or the failure's exit status (kExitUsage
  // when it is of a kind the group set with ExpectDevicesOf does not drive).
  virtual int Connect() = 0;
  // The session of the device the command goes to.
  virtual DeviceSession& Device() = 0;
  virtual Controller& GetController() = 0;
  // The device as the list names it, as the device sent it: for JSON documents, which escape
  // it themselves.
  virtual std::string SelectedListLine() const = 0;

  // The device must be of a kind whose command word this is ("mv", "matrix").
  void ExpectDevicesOf(std::string_view commandWord, std::string_view deviceNoun) {
    expectedWord_ = commandWord;
    expectedNoun_ = deviceNoun;
  }
  // Prints that a command went to the device, or returns the failure's exit status; a refusal
  // of a locked device is said on stderr as the status line says it.
  int ReportSent(std::string_view commandName, CommandResult result);
  int ReportSent(std::string_view commandName, bool sent);
  // The exit status of an exchange that got no answer: 3 when the local end of the link could
  // not be set up (said on stderr), else 1 with the given line on stderr.
  int Unanswered(std::string_view what);
  // The same line made safe for a terminal: for text output and messages.
  std::string SelectedLine() const;
  // What the last ReportSent was told; nothing before one.
  std::optional<CommandResult> LastResult() const { return lastResult_; }

  const GlobalOptions& Options() const { return options_; }
  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }
  // Err with the program's name in front: for refusals and failures.
  std::ostream& Problem() { return err_ << program_ << ": "; }

 protected:
  ~CommandContext() = default;
  // True once an operator message was shown for this command (an error box in the window).
  virtual bool ErrorShown() const = 0;
  // 3, with the reason on stderr, when the last socket could not be set up here.
  std::optional<int> LinkSetupFailure();
  // kExitUsage, said on stderr, when the device is not of the expected kind.
  std::optional<int> WrongKind();

 private:
  const GlobalOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  std::string_view program_;
  std::string_view expectedWord_;
  std::string_view expectedNoun_;
  std::optional<CommandResult> lastResult_;
};

}  // namespace quintara::cli
