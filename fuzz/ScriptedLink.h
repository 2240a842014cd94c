#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "core/link/ControlFrame.h"
#include "core/link/Link.h"
#include "fuzz/MessageScript.h"

namespace quintara::fuzz {

// A link without a transport whose exchanges find the scripted arrivals as the real links would
// offer them: on the network one datagram a look, cut to the exchange's buffer and marked
// truncated; on the serial line everything collected since the request, read as the line reads
// (at least readAtLeast, at most readAtMost a look, never more than the buffer holds). Once the
// script has run out a window ends unanswered and counted looks find nothing.
class ScriptedLink final : public Link {
 public:
  ScriptedLink(LinkKind kind, Ipv4Address sender) : kind_(kind), sender_(sender) {}

  void Add(Message arrival) { arrivals_.push_back(std::move(arrival)); }

  SendResult SendFrame(std::span<const std::uint8_t> frame, const std::optional<Ipv4Address>&,
                       SerialPause, BusyPort) override;
  ExchangeOutcome RunExchange(const Exchange& exchange) override;

  // What the judge accepted in each exchange so far: the arrival as it was offered, or nothing.
  const std::vector<std::optional<Message>>& Answers() const { return answers_; }
  std::size_t FramesSent() const { return framesSent_; }
  // The sender of the datagram offered at this look, counting from the first.
  static Ipv4Address SenderOf(Ipv4Address first, std::size_t datagram);

 private:
  std::optional<Message> NextDatagram(const Exchange& exchange, bool& truncated);
  ExchangeOutcome RunOnNetwork(const Exchange& exchange);
  ExchangeOutcome RunOnSerialLine(const Exchange& exchange);
  // The verdict's outcome, noting the accepted arrival; nothing while the exchange goes on.
  std::optional<ExchangeOutcome> Follow(Verdict verdict, std::span<const std::uint8_t> offered);

  const LinkKind kind_;
  const Ipv4Address sender_;
  std::deque<Message> arrivals_;
  std::size_t datagramsOffered_ = 0;
  std::vector<std::optional<Message>> answers_;
  std::size_t framesSent_ = 0;
};

}  // namespace quintara::fuzz
