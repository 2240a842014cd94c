#include "ui/app/QtExecutor.h"

#include <QMetaObject>
#include <chrono>

namespace quintara::ui {
namespace {

constexpr std::chrono::milliseconds kSlice{8};

}  // namespace

void QtExecutor::Post(std::function<void()> task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  // One turn of the event loop is asked for at a time, however many tasks arrive meanwhile.
  if (!scheduled_.exchange(true)) {
    QMetaObject::invokeMethod(this, &QtExecutor::RunPosted, Qt::QueuedConnection);
  }
}

std::size_t QtExecutor::Waiting() const {
  const std::lock_guard lock(mutex_);
  return tasks_.size();
}

void QtExecutor::RunPosted() {
  scheduled_ = false;  // what is posted from here on asks for another turn
  if (draining_) {
    return;  // a nested event loop inside a task: the next task waits for this one
  }
  draining_ = true;
  // A steady stream of reports must not starve painting and input: after a slice of work the
  // rest waits for the next turn of the event loop.
  const auto sliceEnd = std::chrono::steady_clock::now() + kSlice;
  for (;;) {
    std::function<void()> task;
    {
      const std::lock_guard lock(mutex_);
      if (tasks_.empty()) {
        break;
      }
      if (std::chrono::steady_clock::now() >= sliceEnd) {
        if (!scheduled_.exchange(true)) {
          QMetaObject::invokeMethod(this, &QtExecutor::RunPosted, Qt::QueuedConnection);
        }
        break;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
  draining_ = false;
}

}  // namespace quintara::ui
