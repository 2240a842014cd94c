#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "core/platform/Clock.h"
#include "core/platform/Ipv4Address.h"

namespace quintara {

// Whether the serial line pauses after a frame is written; a few senders skip the pause. The
// network always pauses after a command datagram.
enum class SerialPause { After, None };

// Whether a command still leaves when another program holds the local command port: the
// matrix switchers' value setters and queries then go out from a port of the system's choosing
// (their replies come back to it).
enum class BusyPort { Refuse, SendAnyway };

// Who receives an exchange's request on the network; the serial line has one peer.
enum class Audience { Device, SearchTargets };

// What one look at the link found. On the network: one datagram (cut to the exchange's buffer).
// On the serial line: every byte collected since the request.
struct Arrival {
  std::span<const std::uint8_t> bytes;
  bool truncated = false;  // network: the datagram did not fit the buffer
  Ipv4Address sender;      // network only
};

// How the protocol judges a look.
enum class Verdict {
  KeepWaiting,          // not the reply; look again at once (or when more arrives)
  KeepWaitingAfterGap,  // not the reply; look again after the exchange's gap
  Accepted,             // the reply: the exchange ends answered
  GaveUp,               // the exchange ends unanswered
};

// Judges what a look found; nothing when a counted look found nothing at all.
using ReplyJudge = std::function<Verdict(const std::optional<Arrival>&)>;

// One request and the wait for its reply. Looks go on while no more than windowMs has passed
// since startMs or, when attempts is set, for that many looks gapMs apart.
struct Exchange {
  // pauseAfterSendMs: the link's own pause after a frame (10 ms on the network, 20 ms on the line).
  static constexpr int kLinkPause = -1;

  std::span<const std::uint8_t> request;
  Audience audience = Audience::Device;
  // Network: the device the request goes to; nothing sends nothing (unless searching).
  std::optional<Ipv4Address> device;
  BusyPort busyPort = BusyPort::Refuse;
  std::int64_t startMs = 0;
  int windowMs = 0;
  int attempts = 0;
  int pauseAfterSendMs = 0;
  int gapMs = 0;
  // Serial line: the pause between asking how much arrived and reading it, and how much a look
  // takes (it reads only once at least readAtLeast bytes wait).
  int settleMs = 0;
  std::size_t readAtLeast = 1;
  std::size_t readAtMost = 256;
  // Network: the datagram buffer. Serial line: how many bytes are collected at most.
  std::size_t bufferSize = 1024;
  ReplyJudge judge;
};

// What became of a frame handed to a link.
enum class SendResult {
  Sent,      // the whole frame left
  NoDevice,  // the network was given no device to aim at: nothing left
  Failed,    // no socket or port to be had, or not the whole frame written
};

enum class ExchangeOutcome {
  NotSent,     // nothing could be sent (no socket, no device to aim at, port closed)
  Answered,    // the judge accepted a reply
  Unanswered,  // the window or the attempts ran out, or the judge gave up
};

// What both links do between looks.
namespace exchange_steps {
// True once the window or the attempts have run out.
bool LooksOver(const Exchange& exchange, int look, std::int64_t elapsedMs);
// The outcome when the verdict ends the exchange; otherwise nothing, once the gap it asks for
// has passed.
std::optional<ExchangeOutcome> Follow(const Exchange& exchange, Verdict verdict, Clock& clock);
}  // namespace exchange_steps

// The link a frame leaves by: the network or the serial line. Protocol code sends and waits only
// through it, whichever link is current.
class Link {
 public:
  virtual ~Link() = default;

  // The one way a command leaves the system: to the device at this address on the network (the
  // serial line has one peer and needs none).
  [[nodiscard]] virtual SendResult SendFrame(std::span<const std::uint8_t> frame,
                                             const std::optional<Ipv4Address>& device,
                                             SerialPause pause = SerialPause::After,
                                             BusyPort busyPort = BusyPort::Refuse) = 0;
  // Sends the request and waits, on the link's own descriptor, until the judge accepts a reply
  // or gives up, or the window or the attempts run out.
  [[nodiscard]] virtual ExchangeOutcome RunExchange(const Exchange& exchange) = 0;
};

}  // namespace quintara
