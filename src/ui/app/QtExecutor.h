#pragma once

#include <QObject>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "core/Executor.h"

namespace quintara::ui {

// Runs posted work on the GUI thread, one task at a time and in order: a task that opens a
// message box finishes before the next one starts.
class QtExecutor final : public QObject, public Executor {
  Q_OBJECT

 public:
  explicit QtExecutor(QObject* parent = nullptr) : QObject(parent) {}

  void Post(std::function<void()> task) override;
  // How many tasks wait to run.
  std::size_t Waiting() const;

 private:
  void RunPosted();

  mutable std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  std::atomic<bool> scheduled_{false};  // a turn of RunPosted is on its way
  bool draining_ = false;               // GUI thread only: a task is running
};

}  // namespace quintara::ui
