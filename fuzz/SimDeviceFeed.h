#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "fuzz/MessageScript.h"
#include "sim/SimDevice.h"

namespace quintara::fuzz {

// Delivers what a simulated device receives: each message as a UDP datagram from the
// controller's address, or, on the serial line, the messages as one byte stream cut by the
// device's framer. Hands every reply and every report the device sends to `check`.
void DeliverToDevice(sim::SimDevice& device, bool serialLine, const std::vector<Message>& messages,
                     const std::function<void(std::span<const std::uint8_t>)>& check);

// A frame as the devices send it: shaped, its Length its size, its sum right.
bool IsWholeFrame(std::span<const std::uint8_t> frame);

}  // namespace quintara::fuzz
