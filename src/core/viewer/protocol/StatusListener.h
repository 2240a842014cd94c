#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "core/Executor.h"
#include "core/platform/UdpSocket.h"
#include "core/viewer/protocol/StatusReports.h"

namespace quintara {

class DeviceSession;

// Receives, on the one status socket, the reports multiviewers send on their own, and hands
// each to the session of the device whose identity it carries, on the sessions' thread through
// the executor; reports of devices it does not follow are dropped. The worker touches nothing
// of the sessions themselves; it owns its socket and the identities it filters by. What it hands
// over carries the panel generation its session had when followed, and is dropped once that
// panel, or the session itself, is gone.
class StatusListener {
 public:
  static constexpr std::size_t kBufferSize = 1400;
  // Reports waiting for the controller's thread, at the most. A device reports each change once,
  // and its longest honest burst, a settings file applied at once, is some 350 changes: this
  // leaves room for ten of them while the thread is held up, or while the state is read again
  // (up to 2 s). Beyond it the oldest go, and the state is read again once the rest are applied.
  static constexpr std::size_t kWaitingReports = 4096;

  // What became of the reports of the connected device. Each one accepted is applied to its
  // panel's generation (whatever the rules then keep of its values), dropped because that panel
  // is gone, or overflowed: the oldest waiting when kWaitingReports were; until then it is on
  // its way. Rejected ones carried the device's identity and a report code but were not a whole
  // frame of a multiviewer with values in range. The counts outlive the listener, as the reports
  // it handed over do.
  struct HandOver {
    std::atomic<std::uint64_t> accepted{0};
    std::atomic<std::uint64_t> applied{0};
    std::atomic<std::uint64_t> dropped{0};
    std::atomic<std::uint64_t> overflowed{0};
    std::atomic<std::uint64_t> rejected{0};
  };

  // Follows this session first; its counts are Counts(), its hook and re-read rule the setters'.
  StatusListener(DeviceSession& session, UdpSocket statusSocket, Executor& executor);
  ~StatusListener();
  StatusListener(const StatusListener&) = delete;
  StatusListener& operator=(const StatusListener&) = delete;

  // Called on the controller's thread with each report of the connected device once it was
  // applied (applied is false when the rules dropped it, or when it was rejected); a re-read
  // report before its re-read.
  using ReportHook = std::function<void(std::span<const std::uint8_t>, bool applied)>;
  // Before Start.
  void SetReportHook(ReportHook hook);
  // Whether the state is read again after reports overflowed (on unless set before Start): a
  // listener that only shows what arrives has no mirror to put right.
  void SetReReadAfterOverflow(bool reRead);

  // Follows one more device, before or after Start, with a hook of its own; the counts of its
  // reports. Following a device with the identity of one followed already (a new session of a
  // device a search lost and found again) takes the place of the older.
  std::shared_ptr<const HandOver> Follow(DeviceSession& session, ReportHook hook = {});

  void Start();
  // Ends the worker and closes the status socket; returns once the worker has ended. What it
  // had handed over still runs, or is dropped with the panel.
  void Stop();
  bool Running() const { return running_.load(); }
  // The counts of the session followed first.
  std::shared_ptr<const HandOver> Counts() const;

 private:
  class Inbox;

  void Run();
  void Handle(std::span<const std::uint8_t> datagram);
  // The inbox of the followed device the datagram names, and what the check made of it.
  std::shared_ptr<Inbox> InboxOf(std::span<const std::uint8_t> datagram, ReportCheck& check) const;
  // The read-back of a device-wide change, on the session's thread after what waits before it;
  // returns once it has ended, or false when stopped first.
  bool ReRead(Inbox& inbox, const ReportBytes& report);
  // Sleeps unless stopped first; false when stopped.
  bool Pause(int milliseconds);

  UdpSocket socket_;
  Executor& executor_;
  const int reReadPauseMs_;
  const std::shared_ptr<Inbox> first_;
  mutable std::mutex inboxesMutex_;
  std::vector<std::shared_ptr<Inbox>> inboxes_;
  int wake_ = -1;
  std::atomic<bool> running_{false};
  std::thread worker_;
};

}  // namespace quintara
