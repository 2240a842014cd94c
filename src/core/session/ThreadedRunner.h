#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/ExchangeRunner.h"
#include "core/Executor.h"

namespace quintara {

// Told on the owner's thread what each exchange is doing as it begins (the first, and each one
// that follows before the runner was idle again), and when the last one has been applied: a
// window shows that it is busy, and with what, in between.
class ExchangeObserver {
 public:
  virtual ~ExchangeObserver() = default;
  virtual void ExchangesBusy(std::string_view what) = 0;
  virtual void ExchangesIdle() = 0;
};

// Runs the wire part of each exchange on a worker thread of its own, one exchange at a time in
// the order started, and hands each continuation to the owner's thread through the executor.
// The next exchange starts once the previous continuation has run, so an exchange always starts
// from a mirror that holds everything learned before it. The worker touches nothing but what
// the wire part owns; the owner's thread is never blocked.
//
// Destroyed on the owner's thread: exchanges not yet started are dropped, the one on the wire
// ends (its protocol deadline bounds the wait) and its continuation is dropped, as are those
// already handed over and not yet run.
class ThreadedRunner {
 public:
  ThreadedRunner(Executor& owner, ExchangeObserver& observer);
  ~ThreadedRunner();
  ThreadedRunner(const ThreadedRunner&) = delete;
  ThreadedRunner& operator=(const ThreadedRunner&) = delete;

  // Owner's thread only; the continuation may start further exchanges, or destroy the runner.
  void Start(std::string_view what, WireWork work);
  // From the first exchange started until the last continuation has run.
  bool Busy() const { return pending_ > 0; }

 private:
  struct Queued {
    std::string what;
    WireWork work;
  };

  void WorkerLoop();
  // On the owner's thread once an exchange's continuation has run: the worker may go on.
  void Applied();

  Executor& owner_;
  ExchangeObserver& observer_;
  // Owner's thread only: exchanges started and not yet applied.
  std::uint32_t pending_ = 0;
  // Tells handed-over work whether the runner still exists: null once it is being destroyed.
  // Written and read on the owner's thread only; the worker only copies the weak handle.
  std::shared_ptr<ThreadedRunner*> self_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Queued> queue_;
  bool awaitingApply_ = false;
  bool stopping_ = false;
  std::thread worker_;  // started with the first exchange; owner's thread only
};

}  // namespace quintara
