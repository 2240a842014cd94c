#pragma once

#include <functional>
#include <string_view>

namespace quintara {

// What an exchange that can wait is doing, for the status line.
inline constexpr std::string_view kSearchingText = "Searching...";
inline constexpr std::string_view kReadingStateText = "Reading the device...";

// Runs the exchanges that can wait: the searches, the read-backs, the matrix queries, the recall
// of defaults and memories. Each keeps its protocol timing; a window keeps painting meanwhile,
// shows that it is busy and drops the operator's input. Run returns once the exchange has ended.
// Only the controller's thread calls it, and never while another exchange runs.
class ExchangeRunner {
 public:
  virtual ~ExchangeRunner() = default;
  virtual void Run(std::string_view what, const std::function<void()>& exchange) = 0;
};

// For programs without a window: the exchange runs on the calling thread.
class DirectRunner final : public ExchangeRunner {
 public:
  void Run(std::string_view, const std::function<void()>& exchange) override { exchange(); }
};

}  // namespace quintara
