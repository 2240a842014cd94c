#pragma once

#include <cstdint>

namespace quintara {

// What became of a command: it left on the link; the device is locked, so nothing was stored
// or sent; or it did not leave (no device chosen, the link could not send, no such item).
enum class CommandResult : std::uint8_t { Sent, RefusedLocked, NotSent };

}  // namespace quintara
