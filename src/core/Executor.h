#pragma once

#include <functional>

namespace quintara {

// Runs work on the thread that owns the controller. Worker threads hand everything that touches
// the mirrored state or the face through it.
class Executor {
 public:
  virtual ~Executor() = default;
  // Queues the task; tasks run one at a time, in the order they were posted.
  virtual void Post(std::function<void()> task) = 0;
};

}  // namespace quintara
