#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "core/ExchangeRunner.h"
#include "core/link/ControlFrame.h"
#include "core/link/Link.h"
#include "core/viewer/state/ViewerState.h"

namespace quintara {

class DeviceSession;

// The multiviewer's reply to ReadState: the whole frame, of which bytes 18-806 are the image.
inline constexpr std::size_t kStateReplySize = 809;
inline constexpr std::size_t kStateImageOffset = frame::kValuesOffset;

// A datagram the network read-back takes: long enough, code 0x0A, from a multiviewer.
bool IsStateReply(std::span<const std::uint8_t> datagram);

// A read-back made ready on the owner's thread: the request and the link's timing, by value.
struct StateRequest {
  Frame request;
  LinkKind kind = LinkKind::Lan;
  int windowMs = 0;
  int serialPollMs = 0;
};
StateRequest PrepareReadBack(const DeviceSession& session);

// What a read-back brought back: the image only when the device answered.
struct StateReply {
  ExchangeOutcome outcome = ExchangeOutcome::NotSent;
  StateImageBytes image{};
  bool Answered() const { return outcome == ExchangeOutcome::Answered; }
};

// The wire part of a read-back, for an exchange's worker: asks the device for its whole state
// and keeps the image of its reply. Of the session it uses only the link.
[[nodiscard]] StateReply FetchState(DeviceSession& session, const StateRequest& request);

// On the owner's thread: an answered reply becomes the mirror's image and is decoded into it.
// Without a reply (Unanswered) the mirror stays as it was and the status line names the silent
// device; when nothing could be sent at all (NotSent: no device selected, serial port closed)
// nothing is decoded either.
ExchangeOutcome ApplyStateReply(DeviceSession& session, const StateReply& reply);

// Reads the multiviewer's whole state in one exchange and decodes it into the mirror, on the
// calling thread.
[[nodiscard]] ExchangeOutcome ReadBack(DeviceSession& session);

// The read-back as an exchange to start: the reply is applied on the owner's thread, then
// `then` runs with its outcome.
WireWork ReadBackWork(DeviceSession& session, std::function<void(ExchangeOutcome)> then);

}  // namespace quintara
