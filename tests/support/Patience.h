#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace quintara::test {

// How long a test waits for what it expects. Generous, as CI is a loaded two-core machine: a
// wait whose condition holds returns at once, so only a failing test pays for it.
inline constexpr std::chrono::seconds kPatience{30};
inline constexpr int kPatienceMs = 30'000;

// Looks at the condition every millisecond until it holds; false when the timeout passed first.
// For tests without an event loop to run meanwhile (the GUI tests use QTest::qWaitFor).
bool AwaitCondition(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = kPatience);

// Waits until a UDP socket of this machine is bound to the local port, as /proc/net/udp lists
// it. Binding the port to find out would race with the program that is about to bind it.
bool AwaitUdpPortBound(std::uint16_t port, std::chrono::milliseconds timeout = kPatience);

}  // namespace quintara::test
