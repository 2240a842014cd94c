#include "cli/CommandContext.h"

#include "cli/Json.h"
#include "cli/TerminalText.h"

namespace quintara::cli {

int CommandContext::ReportSent(std::string_view commandName, bool sent) {
  return ReportSent(commandName, sent ? CommandResult::Sent : CommandResult::NotSent);
}

int CommandContext::ReportSent(std::string_view commandName, CommandResult result) {
  lastResult_ = result;
  if (result == CommandResult::RefusedLocked) {
    Problem() << kLockedRefusalText << "\n";
    return kExitNoDevice;
  }
  if (result != CommandResult::Sent) {
    if (const std::optional<int> failure = LinkSetupFailure()) {
      return *failure;
    }
    return ErrorShown() ? kExitUsage : kExitNoDevice;
  }
  if (options_.json) {
    PrintJson(out_, {{"sent", commandName}, {"device", SelectedListLine()}});
  } else {
    out_ << commandName << " sent to " << SelectedLine() << "\n";
  }
  return kExitSuccess;
}

int CommandContext::Unanswered(std::string_view what) {
  if (const std::optional<int> failure = LinkSetupFailure()) {
    return *failure;
  }
  err_ << what << "\n";
  return kExitNoDevice;
}

std::optional<int> CommandContext::LinkSetupFailure() {
  const std::string& failure = GetController().Network().SetupFailure();
  if (options_.serialPort || failure.empty()) {
    return std::nullopt;
  }
  Problem() << failure << "\n";
  return kExitLinkSetup;
}

std::optional<int> CommandContext::WrongKind() {
  const DeviceKindInfo* kind = Device().Kind();
  if (expectedWord_.empty() || (kind != nullptr && kind->commandWord == expectedWord_)) {
    return std::nullopt;
  }
  err_ << "the device is not a " << expectedNoun_ << "\n";
  return kExitUsage;
}

std::string CommandContext::SelectedLine() const {
  return TerminalText(SelectedListLine());
}

}  // namespace quintara::cli
