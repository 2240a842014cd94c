#include "fuzz/ScriptedLink.h"

#include <algorithm>

namespace quintara::fuzz {

SendResult ScriptedLink::SendFrame(std::span<const std::uint8_t>, const std::optional<Ipv4Address>&,
                                   SerialPause, BusyPort) {
  ++framesSent_;
  return SendResult::Sent;
}

Ipv4Address ScriptedLink::SenderOf(Ipv4Address first, std::size_t datagram) {
  first.octets[3] = static_cast<std::uint8_t>(first.octets[3] + datagram % 200);
  return first;
}

ExchangeOutcome ScriptedLink::RunExchange(const Exchange& exchange) {
  ++framesSent_;
  answers_.emplace_back();
  return kind_ == LinkKind::Lan ? RunOnNetwork(exchange) : RunOnSerialLine(exchange);
}

std::optional<ExchangeOutcome> ScriptedLink::Follow(Verdict verdict,
                                                    std::span<const std::uint8_t> offered) {
  switch (verdict) {
    case Verdict::Accepted:
      answers_.back() = Message(offered.begin(), offered.end());
      return ExchangeOutcome::Answered;
    case Verdict::GaveUp:
      return ExchangeOutcome::Unanswered;
    case Verdict::KeepWaiting:
    case Verdict::KeepWaitingAfterGap:
      break;
  }
  return std::nullopt;
}

std::optional<Message> ScriptedLink::NextDatagram(const Exchange& exchange, bool& truncated) {
  if (arrivals_.empty()) {
    return std::nullopt;
  }
  Message datagram = std::move(arrivals_.front());
  arrivals_.pop_front();
  truncated = datagram.size() > exchange.bufferSize;
  if (truncated) {
    datagram.resize(exchange.bufferSize);
  }
  return datagram;
}

ExchangeOutcome ScriptedLink::RunOnNetwork(const Exchange& exchange) {
  for (int look = 0;; ++look) {
    if (exchange.attempts > 0 ? look >= exchange.attempts : arrivals_.empty()) {
      return ExchangeOutcome::Unanswered;
    }
    bool truncated = false;
    const std::optional<Message> datagram = NextDatagram(exchange, truncated);
    std::optional<Arrival> arrival;
    if (datagram) {
      arrival = Arrival{*datagram, truncated, SenderOf(sender_, datagramsOffered_++)};
    }
    const std::span<const std::uint8_t> offered =
        datagram ? std::span<const std::uint8_t>(*datagram) : std::span<const std::uint8_t>();
    if (const auto outcome = Follow(exchange.judge(arrival), offered)) {
      return *outcome;
    }
  }
}

ExchangeOutcome ScriptedLink::RunOnSerialLine(const Exchange& exchange) {
  std::vector<std::uint8_t> queued;
  Message collected;
  for (int look = 0;; ++look) {
    if (exchange.attempts > 0 && look >= exchange.attempts) {
      return ExchangeOutcome::Unanswered;
    }
    const bool readable = !queued.empty() && queued.size() >= exchange.readAtLeast;
    if (arrivals_.empty() && !readable && exchange.attempts == 0) {
      return ExchangeOutcome::Unanswered;  // nothing more comes before the window ends
    }
    if (!arrivals_.empty()) {
      queued.insert(queued.end(), arrivals_.front().begin(), arrivals_.front().end());
      arrivals_.pop_front();
    }
    if (!queued.empty() && queued.size() >= exchange.readAtLeast) {
      const std::size_t got = std::min(queued.size(), exchange.readAtMost);
      const std::size_t kept = std::min(got, exchange.bufferSize - collected.size());
      collected.insert(collected.end(), queued.begin(),
                       queued.begin() + static_cast<std::ptrdiff_t>(kept));
      queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(got));
    }
    // A buffer of its own for each look, so a read past what was collected is caught.
    const Message offered = collected;
    if (const auto outcome = Follow(exchange.judge(Arrival{offered, false, {}}), offered)) {
      return *outcome;
    }
  }
}

}  // namespace quintara::fuzz
