#include "ui/app/QtExecutor.h"

#include <QMetaObject>

namespace quintara::ui {

void QtExecutor::Post(std::function<void()> task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  QMetaObject::invokeMethod(
      this, [this] { RunPosted(); }, Qt::QueuedConnection);
}

void QtExecutor::Hold() {
  held_ = true;
}

void QtExecutor::Release() {
  held_ = false;
  RunPosted();
}

void QtExecutor::RunPosted() {
  while (!held_) {
    std::function<void()> task;
    {
      const std::lock_guard lock(mutex_);
      if (tasks_.empty()) {
        return;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace quintara::ui
