#include "server/hub/RequestContext.h"

namespace quintara::server {
namespace {

constexpr std::string_view kProgram = "quintara-server";

}  // namespace

void RequestPrompter::ShowError(std::string_view message) {
  if (err_ != nullptr) {
    *err_ << message << "\n";
  }
  errorShown_ = true;
}

bool RequestPrompter::Confirm(std::string_view /*message*/) {
  return false;
}

void RequestPrompter::ShowInfo(std::string_view message) {
  if (err_ != nullptr) {
    *err_ << message << "\n";
  }
}

RequestContext::RequestContext(const GlobalOptions& options, Controller& controller,
                               DeviceSession& device, RequestPrompter& prompter)
    : CommandContext(options, out, err, kProgram),
      controller_(controller),
      device_(device),
      prompter_(prompter) {
  prompter_.Serve(&err);
}

RequestContext::~RequestContext() {
  prompter_.Serve(nullptr);
}

std::string RequestContext::Problems() const {
  const std::string prefix = std::string(kProgram) + ": ";
  std::istringstream lines(err.str());
  std::string text;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(prefix)) {
      line.erase(0, prefix.size());
    }
    if (!line.empty()) {
      text += (text.empty() ? "" : "; ") + line;
    }
  }
  return text;
}

}  // namespace quintara::server
