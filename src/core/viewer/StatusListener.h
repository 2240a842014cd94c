#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

#include "core/Executor.h"
#include "core/platform/UdpSocket.h"

namespace quintara {

class Controller;

// Receives the reports a multiviewer sends on its own, keeps those of the connected device and
// hands each to the controller's thread through the executor. The worker touches nothing of the
// controller itself; it owns its socket and the identity it filters by. What it hands over
// carries the panel generation it started in and is dropped once that panel is gone.
class StatusListener {
 public:
  static constexpr std::size_t kBufferSize = 1400;

  // What became of the reports this listener accepted: each is applied to its panel's
  // generation (whatever the rules then keep of its values) or dropped because that panel is
  // gone, never both; until then it is on its way. The counts outlive the listener, as the
  // reports it handed over do.
  struct HandOver {
    std::atomic<std::uint64_t> accepted{0};  // of the connected device, long enough for their code
    std::atomic<std::uint64_t> applied{0};
    std::atomic<std::uint64_t> dropped{0};
  };

  StatusListener(Controller& controller, UdpSocket statusSocket,
                 std::array<std::uint8_t, 4> identity, Executor& executor);
  ~StatusListener();
  StatusListener(const StatusListener&) = delete;
  StatusListener& operator=(const StatusListener&) = delete;

  // Called on the controller's thread with each report of the connected device once it was
  // applied (applied is false when the rules dropped it); a re-read report before its re-read.
  using ReportHook = std::function<void(std::span<const std::uint8_t>, bool applied)>;
  void SetReportHook(ReportHook hook) { reportHook_ = std::move(hook); }

  void Start();
  // Ends the worker and closes the status socket; returns once the worker has ended.
  void Stop();
  bool Running() const { return running_.load(); }
  std::shared_ptr<const HandOver> Counts() const { return counts_; }

 private:
  void Run();
  void Handle(std::span<const std::uint8_t> datagram);
  // Hands the task over to the controller's thread, to run only while the panel lasts. The task
  // that carries an accepted report counts it as applied or dropped.
  enum class Tally { Report, None };
  void PostForPanel(std::function<void()> task, Tally tally);
  // The read-back of a device-wide change, through the controller's exchange runner; returns
  // once it has ended, or false when stopped first.
  bool ReRead();
  // Sleeps unless stopped first; false when stopped.
  bool Pause(int milliseconds);

  Controller& controller_;
  UdpSocket socket_;
  const std::array<std::uint8_t, 4> identity_;
  Executor& executor_;
  const int reReadPauseMs_;
  const std::uint64_t generation_;
  ReportHook reportHook_;
  const std::shared_ptr<HandOver> counts_ = std::make_shared<HandOver>();
  int wake_ = -1;
  std::atomic<bool> running_{false};
  std::thread worker_;
};

}  // namespace quintara
