#include "core/link/Link.h"

namespace quintara::exchange_steps {

bool LooksOver(const Exchange& exchange, int look, std::int64_t elapsedMs) {
  // A look that begins exactly at the end of the window still runs.
  return exchange.attempts > 0 ? look >= exchange.attempts : elapsedMs > exchange.windowMs;
}

std::optional<ExchangeOutcome> Follow(const Exchange& exchange, Verdict verdict, Clock& clock) {
  switch (verdict) {
    case Verdict::Accepted:
      return ExchangeOutcome::Answered;
    case Verdict::GaveUp:
      return ExchangeOutcome::Unanswered;
    case Verdict::KeepWaitingAfterGap:
      clock.SleepMs(exchange.gapMs);
      return std::nullopt;
    case Verdict::KeepWaiting:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace quintara::exchange_steps
