#include "core/link/SerialLink.h"

#include <algorithm>
#include <vector>

namespace quintara {

SendResult SerialLink::SendFrame(std::span<const std::uint8_t> frame,
                                 const std::optional<Ipv4Address>&, SerialPause pause, BusyPort) {
  if (!port_.IsOpen()) {
    return SendResult::Failed;
  }
  DiscardInput(port_);
  const std::size_t written = port_.SerialWrite(frame);
  if (pause == SerialPause::After) {
    clock_.SleepMs(timing_.serialSendPauseMs);
  }
  return written == frame.size() ? SendResult::Sent : SendResult::Failed;
}

ExchangeOutcome SerialLink::RunExchange(const Exchange& exchange) {
  if (!port_.IsOpen()) {
    return ExchangeOutcome::NotSent;
  }
  DiscardInput(port_);
  port_.SerialWrite(exchange.request);
  const int pause = exchange.pauseAfterSendMs == Exchange::kLinkPause ? timing_.serialSendPauseMs
                                                                      : exchange.pauseAfterSendMs;
  if (pause > 0) {
    clock_.SleepMs(pause);
  }
  std::vector<std::uint8_t> collected;
  collected.reserve(exchange.bufferSize);
  std::vector<std::uint8_t> chunk(exchange.readAtMost);
  for (int look = 0;; ++look) {
    const std::int64_t elapsed = clock_.NowMs() - exchange.startMs;
    if (exchange_steps::LooksOver(exchange, look, elapsed)) {
      return ExchangeOutcome::Unanswered;
    }
    // A queue that cannot be read (-1) is not a reply that has arrived.
    const int queued = port_.QueuedInput();
    if (exchange.settleMs > 0) {
      clock_.SleepMs(exchange.settleMs);
    }
    if (queued > 0 && static_cast<std::size_t>(queued) >= exchange.readAtLeast) {
      const std::size_t wanted = std::min(static_cast<std::size_t>(queued), chunk.size());
      const std::size_t got = BufferedRead(port_, std::span(chunk).first(wanted));
      // A device that keeps talking cannot overflow the input: what comes once it is full is
      // dropped, the reply being at the front.
      const std::size_t kept = std::min(got, exchange.bufferSize - collected.size());
      collected.insert(collected.end(), chunk.begin(),
                       chunk.begin() + static_cast<std::ptrdiff_t>(kept));
    }
    if (const std::optional<ExchangeOutcome> outcome = exchange_steps::Follow(
            exchange, exchange.judge(Arrival{collected, false, {}}), clock_)) {
      return *outcome;
    }
  }
}

}  // namespace quintara
