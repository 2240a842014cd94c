#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "core/Executor.h"

namespace quintara {

// An executor for programs without an event loop: tasks queue up from any thread and run when
// the owning thread drains the queue.
class TaskQueue final : public Executor {
 public:
  void Post(std::function<void()> task) override;
  // Runs what is queued now, and what is posted meanwhile, until the deadline passes.
  void RunUntil(std::chrono::steady_clock::time_point deadline);
  // Waits for one task until the deadline and runs it; false when none came.
  bool RunOne(std::chrono::steady_clock::time_point deadline);
  // Runs what is queued now, without waiting; how many tasks ran.
  std::size_t RunPending();
  // How many tasks wait.
  std::size_t Pending() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace quintara
