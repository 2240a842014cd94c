// The runner of exchanges off the owner's thread: order, hand-over, and what becomes of
// exchanges whose owner goes away. Run under the thread sanitizer with the core tests.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/TaskQueue.h"
#include "core/session/ThreadedRunner.h"
#include "support/Patience.h"
#include "support/TaskLoop.h"

namespace quintara {
namespace {

class RecordingObserver final : public ExchangeObserver {
 public:
  void ExchangesBusy(std::string_view what) override {
    events.push_back("busy " + std::string(what));
  }
  void ExchangesIdle() override { events.push_back("idle"); }
  std::vector<std::string> events;
};

class ThreadedRunnerTest : public ::testing::Test {
 protected:
  TaskQueue owner;
  RecordingObserver observer;
  std::optional<ThreadedRunner> runner{std::in_place, owner, observer};
  const std::thread::id ownerThread = std::this_thread::get_id();
};

TEST_F(ThreadedRunnerTest, ExchangesRunOneAfterAnotherOffTheOwnerAndApplyOnItInOrder) {
  std::atomic<int> applied = 0;
  std::vector<int> order;  // the owner's thread only
  std::atomic<bool> wireOffOwner = true;
  std::atomic<bool> startedAfterPreviousApplied = true;
  for (int k = 0; k < 3; ++k) {
    runner->Start(
        "Reading the device...",
        Applying(std::function<int()>([&, k] {
                   wireOffOwner = wireOffOwner && std::this_thread::get_id() != ownerThread;
                   startedAfterPreviousApplied = startedAfterPreviousApplied && applied == k;
                   return k * 10;
                 }),
                 [&](int result) {
                   EXPECT_EQ(std::this_thread::get_id(), ownerThread);
                   order.push_back(result);
                   ++applied;
                 }));
  }
  EXPECT_TRUE(runner->Busy());
  ASSERT_TRUE(test::RunTasksUntil(owner, [&] { return applied == 3; }));
  EXPECT_EQ(order, (std::vector<int>{0, 10, 20}));
  EXPECT_TRUE(wireOffOwner);
  EXPECT_TRUE(startedAfterPreviousApplied);
  EXPECT_FALSE(runner->Busy());
  // Each exchange says what it does as it begins; idle once, after the last.
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"busy Reading the device...", "busy Reading the device...",
                                      "busy Reading the device...", "idle"}));
}

// The status line follows: the search, then the read-back its result started.
TEST_F(ThreadedRunnerTest, AContinuationThatStartsAnotherExchangeKeepsTheRunnerBusy) {
  bool secondApplied = false;
  runner->Start("Searching...", [&]() -> Continuation {
    return [&] {
      runner->Start("Reading the device...", []() -> Continuation { return [] {}; });
      runner->Start("Reading the device...",
                    [&]() -> Continuation { return [&] { secondApplied = true; }; });
    };
  });
  ASSERT_TRUE(test::RunTasksUntil(owner, [&] { return secondApplied && !runner->Busy(); }));
  EXPECT_EQ(observer.events,
            (std::vector<std::string>{"busy Searching...", "busy Reading the device...",
                                      "busy Reading the device...", "idle"}));
}

// The owner goes on meanwhile (reports keep arriving and are applied); an owner that goes away
// while an exchange is on the wire never sees its continuation, and a continuation may itself
// close the owner with exchanges still queued.
TEST_F(ThreadedRunnerTest, AnOwnerThatGoesAwayDropsWhatWasStillToBeApplied) {
  std::latch onTheWire(1);
  std::latch replyArrives(1);
  bool continued = false;
  runner->Start("Reading the device...", [&]() -> Continuation {
    onTheWire.count_down();
    replyArrives.wait();
    return [&] { continued = true; };
  });
  onTheWire.wait();
  int reportsApplied = 0;
  std::thread reports([&] {
    for (int k = 0; k < 100; ++k) {
      owner.Post([&] { ++reportsApplied; });
    }
  });
  reports.join();
  ASSERT_TRUE(test::RunTasksUntil(owner, [&] { return reportsApplied == 100; }));
  replyArrives.count_down();
  runner.reset();
  owner.RunPending();
  EXPECT_FALSE(continued);

  runner.emplace(owner, observer);
  runner->Start("Reading the device...", [&]() -> Continuation { return [&] { runner.reset(); }; });
  runner->Start("Reading the device...",
                [&]() -> Continuation { return [&] { continued = true; }; });
  ASSERT_TRUE(test::RunTasksUntil(owner, [&] { return !runner.has_value(); }));
  owner.RunPending();
  EXPECT_FALSE(continued);
}

}  // namespace
}  // namespace quintara
