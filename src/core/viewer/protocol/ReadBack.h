#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

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

// Reads the multiviewer's whole state in one exchange and decodes it into the mirror. Without a
// reply (Unanswered) the mirror stays as it was and the status line names the silent device;
// when nothing could be sent at all (NotSent: no device selected, serial port closed) nothing is
// decoded either.
[[nodiscard]] ExchangeOutcome ReadBack(DeviceSession& session);

}  // namespace quintara
