#include "ui/app/QtExecutor.h"

#include <QMetaObject>

namespace quintara::ui {

void QtExecutor::Post(std::function<void()> task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  QMetaObject::invokeMethod(this, &QtExecutor::RunPosted, Qt::QueuedConnection);
}

void QtExecutor::Hold() {
  held_ = true;
}

void QtExecutor::Release() {
  held_ = false;
  // Inside a task the drain that runs it goes on once the task returns.
  if (!draining_) {
    RunPosted();
  }
}

void QtExecutor::RunPosted() {
  if (draining_) {
    return;  // a nested event loop inside a task: the next task waits for this one
  }
  draining_ = true;
  while (!held_) {
    std::function<void()> task;
    {
      const std::lock_guard lock(mutex_);
      if (tasks_.empty()) {
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
