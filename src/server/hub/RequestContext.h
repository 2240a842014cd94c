#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandContext.h"
#include "core/platform/Prompter.h"

namespace quintara::server {

// The service has no operator at a desk: what the window would show in a box goes into the
// answer of the request being served; a confirmation is never given.
class RequestPrompter final : public Prompter {
 public:
  void ShowError(std::string_view message) override;
  bool Confirm(std::string_view message) override;
  void ShowInfo(std::string_view message) override;
  // Where the messages of the request being served go; null between requests.
  void Serve(std::ostream* err) {
    err_ = err;
    errorShown_ = false;
  }
  bool ErrorShown() const { return errorShown_; }

 private:
  std::ostream* err_ = nullptr;
  bool errorShown_ = false;
};

// The streams a request's command writes to, made before the context that writes them.
struct RequestStreams {
  std::ostringstream out;
  std::ostringstream err;
};

// One request's command on a device the service holds: the command line's words, checks and
// texts, with its results kept for the answer instead of printed.
class RequestContext final : private RequestStreams, public cli::CommandContext {
 public:
  RequestContext(const GlobalOptions& options, Controller& controller, DeviceSession& device,
                 RequestPrompter& prompter);
  ~RequestContext();

  int Connect() override { return WrongKind().value_or(cli::kExitSuccess); }
  DeviceSession& Device() override { return device_; }
  Controller& GetController() override { return controller_; }
  std::string SelectedListLine() const override { return device_.ListLine(); }

  // What the command printed: its JSON documents, one a line.
  std::string Output() const { return out.str(); }
  // What it said went wrong, without the program's name in front.
  std::string Problems() const;

 private:
  bool ErrorShown() const override { return prompter_.ErrorShown(); }

  Controller& controller_;
  DeviceSession& device_;
  RequestPrompter& prompter_;
};

}  // namespace quintara::server
