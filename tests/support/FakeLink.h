#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "core/link/ControlFrame.h"
#include "core/link/Link.h"

namespace quintara::test {

// A link without a transport, for tests of the protocol: it records what was sent and lets each
// look of an exchange find the next scripted arrival (nothing, once the script has run out; an
// exchange by the window then ends unanswered).
class FakeLink final : public Link {
 public:
  using Bytes = std::vector<std::uint8_t>;

  SendResult SendFrame(std::span<const std::uint8_t> frame, const std::optional<Ipv4Address>&,
                       SerialPause pause, BusyPort) override {
    sent.emplace_back(frame.begin(), frame.end());
    pauses.push_back(pause);
    return reachable ? SendResult::Sent : SendResult::Failed;
  }

  ExchangeOutcome RunExchange(const Exchange& exchange) override {
    if (!reachable) {
      return ExchangeOutcome::NotSent;
    }
    sent.emplace_back(exchange.request.begin(), exchange.request.end());
    lastExchange = exchange;
    for (looks = 0; exchange.attempts == 0 ? !arrivals.empty() : looks < exchange.attempts;
         ++looks) {
      std::optional<Bytes> next;
      if (!arrivals.empty()) {
        next = std::move(arrivals.front());
        arrivals.pop_front();
      }
      std::optional<Arrival> arrival;
      if (next) {
        arrival = Arrival{*next, false, sender};
      }
      const Verdict verdict = exchange.judge(arrival);
      if (verdict == Verdict::Accepted) {
        ++looks;
        return ExchangeOutcome::Answered;
      }
      if (verdict == Verdict::GaveUp) {
        ++looks;
        return ExchangeOutcome::Unanswered;
      }
    }
    return ExchangeOutcome::Unanswered;
  }

  bool reachable = true;
  Ipv4Address sender = Ipv4Address::Loopback();
  std::deque<std::optional<Bytes>> arrivals;
  // (code, payload bytes) of every frame sent, in order.
  std::vector<std::vector<int>> CodesAndPayloads() const {
    std::vector<std::vector<int>> shown;
    for (const auto& frame : sent) {
      std::vector<int> line{frame.at(frame::kCommandCodeOffset)};
      for (std::size_t i = frame::kPayloadOffset; i + 3 < frame.size(); ++i) {
        line.push_back(frame[i]);
      }
      shown.push_back(line);
    }
    return shown;
  }

  std::vector<Bytes> sent;
  std::vector<SerialPause> pauses;
  std::optional<Exchange> lastExchange;
  int looks = 0;
};

}  // namespace quintara::test
