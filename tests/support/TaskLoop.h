#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

#include "core/TaskQueue.h"
#include "support/Patience.h"

namespace quintara::test {

// Runs what was handed over to the owner's queue until the condition holds, as an event loop
// would; false when the test's patience ran out first.
inline bool RunTasksUntil(TaskQueue& owner, const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    const auto now = std::chrono::steady_clock::now();
    if (now > deadline) {
      return false;
    }
    owner.RunOne(std::min(deadline, now + std::chrono::milliseconds(10)));
  }
  return true;
}

}  // namespace quintara::test
