#include "core/session/ThreadedRunner.h"

namespace quintara {

ThreadedRunner::ThreadedRunner(Executor& owner, ExchangeObserver& observer)
    : owner_(owner), observer_(observer), self_(std::make_shared<ThreadedRunner*>(this)) {}

ThreadedRunner::~ThreadedRunner() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (worker_.joinable()) {
    worker_.join();
  }
  *self_ = nullptr;  // continuations handed over and not yet run find nobody and are dropped
}

void ThreadedRunner::Start(std::string_view what, WireWork work) {
  if (!worker_.joinable()) {
    worker_ = std::thread([this] { WorkerLoop(); });  // a window that never waits has no worker
  }
  if (pending_++ == 0) {
    observer_.ExchangesBusy(what);
  }
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back({std::string(what), std::move(work)});
  }
  wake_.notify_all();
}

void ThreadedRunner::WorkerLoop() {
  const std::weak_ptr<ThreadedRunner*> alive = self_;
  for (;;) {
    WireWork work;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || (!awaitingApply_ && !queue_.empty()); });
      if (stopping_) {
        return;
      }
      work = std::move(queue_.front().work);
      queue_.pop_front();
      awaitingApply_ = true;
    }
    Continuation continuation = work();
    owner_.Post([alive, continuation = std::move(continuation)] {
      const std::shared_ptr<ThreadedRunner*> runner = alive.lock();
      if (!runner || *runner == nullptr) {
        return;
      }
      if (continuation) {
        continuation();
      }
      if (*runner != nullptr) {  // the continuation may have closed what owns the runner
        (*runner)->Applied();
      }
    });
  }
}

void ThreadedRunner::Applied() {
  std::string next;
  {
    const std::lock_guard lock(mutex_);
    awaitingApply_ = false;
    if (!queue_.empty()) {
      next = queue_.front().what;
    }
  }
  wake_.notify_all();
  if (--pending_ == 0) {
    observer_.ExchangesIdle();
  } else if (!next.empty()) {
    observer_.ExchangesBusy(next);
  }
}

}  // namespace quintara
