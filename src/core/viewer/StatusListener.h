#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <thread>

#include "core/Executor.h"
#include "core/platform/UdpSocket.h"

namespace quintara {

class Controller;

// Receives the reports a multiviewer sends on its own, keeps those of the connected device and
// hands each to the controller's thread through the executor. The worker touches nothing of the
// controller itself; it owns its socket and the identity it filters by.
class StatusListener {
 public:
  static constexpr std::size_t kBufferSize = 1400;

  StatusListener(Controller& controller, UdpSocket statusSocket,
                 std::array<std::uint8_t, 4> identity, Executor& executor);
  ~StatusListener();
  StatusListener(const StatusListener&) = delete;
  StatusListener& operator=(const StatusListener&) = delete;

  // Called on the controller's thread with each accepted report, before it is applied.
  using ReportHook = std::function<void(std::span<const std::uint8_t>)>;
  void SetReportHook(ReportHook hook) { reportHook_ = std::move(hook); }

  void Start();
  // Ends the worker and closes the status socket; returns once the worker has ended.
  void Stop();
  bool Running() const { return running_.load(); }

 private:
  void Run();
  void Handle(std::span<const std::uint8_t> datagram);
  // Sleeps unless stopped first; false when stopped.
  bool Pause(int milliseconds);

  Controller& controller_;
  UdpSocket socket_;
  const std::array<std::uint8_t, 4> identity_;
  Executor& executor_;
  const int reReadPauseMs_;
  ReportHook reportHook_;
  int wake_ = -1;
  std::atomic<bool> running_{false};
  std::thread worker_;
};

}  // namespace quintara
