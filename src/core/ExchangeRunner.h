#pragma once

#include <functional>
#include <string_view>
#include <utility>

namespace quintara {

// What an exchange that can wait is doing, for the status line.
inline constexpr std::string_view kSearchingText = "Searching...";
inline constexpr std::string_view kReadingStateText = "Reading the device...";

// What an exchange hands back to the owner's thread: the work that applies what it learned.
using Continuation = std::function<void()>;
// The wire part of an exchange: it talks to the device and touches only what it owns (its
// link, its request, its reply), never the mirror or the face; what it learned travels in the
// continuation it returns.
using WireWork = std::function<Continuation()>;

// A wire part that returns what it learned, and the step that applies it on the owner's thread.
template <typename Result, typename Apply>
WireWork Applying(std::function<Result()> exchange, Apply apply) {
  return [exchange = std::move(exchange), apply = std::move(apply)]() -> Continuation {
    return [result = exchange(), apply] { apply(result); };
  };
}

// Runs the exchanges that can wait: the searches, the read-backs, the matrix queries, the recall
// of defaults and memories. Each keeps its protocol timing; a window keeps painting meanwhile,
// shows that it is busy and drops the operator's input. Exchanges never overlap.
class ExchangeRunner {
 public:
  virtual ~ExchangeRunner() = default;
  // Starts an exchange; its continuation runs on the owner's thread once the wire part ended,
  // possibly before Start returns. Only the owner's thread starts exchanges.
  virtual void Start(std::string_view what, WireWork work) = 0;
};

// For programs without a window: the exchange and its continuation run on the calling thread.
class DirectRunner final : public ExchangeRunner {
 public:
  void Start(std::string_view, WireWork work) override { work()(); }
};

}  // namespace quintara
