#include "core/TaskQueue.h"

namespace quintara {

void TaskQueue::Post(std::function<void()> task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_one();
}

void TaskQueue::RunUntil(std::chrono::steady_clock::time_point deadline) {
  while (RunOne(deadline)) {
  }
}

bool TaskQueue::RunOne(std::chrono::steady_clock::time_point deadline) {
  std::function<void()> task;
  {
    std::unique_lock lock(mutex_);
    if (!posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) {
      return false;
    }
    task = std::move(tasks_.front());
    tasks_.pop_front();
  }
  task();
  return true;
}

std::size_t TaskQueue::Pending() const {
  const std::lock_guard lock(mutex_);
  return tasks_.size();
}

std::size_t TaskQueue::RunPending() {
  std::size_t ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      const std::lock_guard lock(mutex_);
      if (tasks_.empty()) {
        return ran;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    ++ran;
  }
}

}  // namespace quintara
