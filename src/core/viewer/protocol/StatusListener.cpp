#include "core/viewer/protocol/StatusListener.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "core/link/ControlFrame.h"
#include "core/platform/EventSignal.h"
#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusReports.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {

// The reports on their way to the controller's thread, in the order they came, shared with the
// tasks that carry them there (those may run after the listener has gone). One drain task at a
// time is handed over, however many reports wait, and each takes a slice of them.
class StatusListener::Inbox : public std::enable_shared_from_this<Inbox> {
 public:
  enum class Kind : std::uint8_t { Report, Rejected, ReRead };

  Inbox(DeviceSession& session, Executor& executor)
      : identity(session.Entry().DeviceIdentity),
        counts(std::make_shared<HandOver>()),
        session_(session.weak_from_this()),
        executor_(executor),
        generation_(session.PanelGeneration()) {}

  // Worker: queues one report, the oldest going when kWaitingReports wait. A re-read report
  // raises its signal once its read-back has ended (or its panel has gone).
  void Add(const ReportBytes& report, Kind kind, std::shared_ptr<EventSignal> ended = nullptr);

  // The worker's thread: the reports this inbox takes, and what became of them.
  const std::array<std::uint8_t, 4> identity;
  const std::shared_ptr<HandOver> counts;
  // Set before the worker starts.
  ReportHook hook;
  bool reReadAfterOverflow = true;

  // The session's own thread: the derived tables follow a device-wide change once the device
  // has settled, while its panel lasts.
  void FinishReRead(std::uint8_t code);

 private:
  struct Entry {
    ReportBytes report;
    Kind kind = Kind::Report;
    std::shared_ptr<EventSignal> ended;
  };
  // Enough to keep the tasks few, small enough that a reader that must stop at a deadline
  // stops soon after it.
  static constexpr std::size_t kSlice = 16;

  void Drain();
  // True when the entry had the whole state read again.
  bool Deliver(DeviceSession& session, const Entry& entry);
  // The session while it exists and shows the panel the inbox began with; null otherwise.
  std::shared_ptr<DeviceSession> LiveSession() const;
  // A session gone: what waits is dropped, and a worker waiting for a re-read goes on.
  void DropAll();
  // Starts the read-back on the controller's runner; once its reply is in (and applied while
  // the panel lasts), `then` runs. What is handed over meanwhile waits until then: applied
  // before the image, a change the device made after it was read would be undone.
  void ReadBackNow(DeviceSession& session, std::function<void(bool panelLasts)> then);
  // Once the read-back is in: a drain that found it running is taken up again.
  void ResumeAfterReRead();

  // Work handed over may outlive the session (a search lets a device go): it is dropped then.
  const std::weak_ptr<DeviceSession> session_;
  Executor& executor_;
  const std::uint64_t generation_;
  std::mutex mutex_;
  std::deque<Entry> entries_;
  bool drainPosted_ = false;
  bool overflowed_ = false;  // reports were lost since the inbox was last empty
  bool reReading_ = false;   // the controller's thread only
};

void StatusListener::Inbox::Add(const ReportBytes& report, Kind kind,
                                std::shared_ptr<EventSignal> ended) {
  bool post = false;
  {
    const std::lock_guard lock(mutex_);
    // The worker waits while a re-read report waits, so the oldest is never one.
    if (entries_.size() >= kWaitingReports) {
      if (entries_.front().kind == Kind::Report) {
        counts->overflowed.fetch_add(1, std::memory_order_relaxed);
        overflowed_ = true;
      }
      entries_.pop_front();
    }
    entries_.push_back({report, kind, std::move(ended)});
    post = !std::exchange(drainPosted_, true);
  }
  if (post) {
    executor_.Post([inbox = shared_from_this()] { inbox->Drain(); });
  }
}

std::shared_ptr<DeviceSession> StatusListener::Inbox::LiveSession() const {
  std::shared_ptr<DeviceSession> session = session_.lock();
  return session && session->PanelGeneration() == generation_ ? session : nullptr;
}

void StatusListener::Inbox::DropAll() {
  std::deque<Entry> dropped;
  {
    const std::lock_guard lock(mutex_);
    dropped.swap(entries_);
    drainPosted_ = false;
  }
  for (const Entry& entry : dropped) {
    if (entry.kind != Kind::Rejected) {
      counts->dropped.fetch_add(1, std::memory_order_relaxed);
    }
    if (entry.ended) {
      entry.ended->Raise();
    }
  }
}

void StatusListener::Inbox::FinishReRead(std::uint8_t code) {
  if (const std::shared_ptr<DeviceSession> session = LiveSession()) {
    quintara::FinishReRead(*session, code);
  }
}

void StatusListener::Inbox::Drain() {
  if (reReading_) {
    return;  // the read-back's end drains what waits; drainPosted_ keeps further posts away
  }
  const std::shared_ptr<DeviceSession> session = session_.lock();
  if (!session) {
    DropAll();
    return;
  }
  std::array<Entry, kSlice> slice;
  std::size_t taken = 0;
  bool more = false;
  bool overflowed = false;
  {
    const std::lock_guard lock(mutex_);
    for (; taken < kSlice && !entries_.empty(); ++taken) {
      slice[taken] = std::move(entries_.front());
      entries_.pop_front();
    }
    more = !entries_.empty();
    drainPosted_ = more;
    if (!more) {
      overflowed = std::exchange(overflowed_, false);
    }
  }
  bool readAgain = overflowed && reReadAfterOverflow;
  for (std::size_t n = 0; n < taken; ++n) {
    if (Deliver(*session, slice[n])) {
      readAgain = false;  // a device-wide change has read it already
    }
  }
  if (readAgain && session->PanelGeneration() == generation_) {
    // What was lost is read from the device; the pages keep their selections, as after a
    // memory is loaded.
    ReadBackNow(*session, [inbox = shared_from_this()](bool panelLasts) {
      if (panelLasts) {
        inbox->FinishReRead(ViewerCode::LoadCustom);
      }
    });
  }
  if (more) {
    executor_.Post([inbox = shared_from_this()] { inbox->Drain(); });
  }
}

bool StatusListener::Inbox::Deliver(DeviceSession& session, const Entry& entry) {
  const bool panelLasts = session.PanelGeneration() == generation_;
  const std::span<const std::uint8_t> report = entry.report.View();
  if (entry.kind == Kind::Rejected) {
    if (panelLasts && hook) {
      hook(report, false);
    }
    return false;
  }
  (panelLasts ? counts->applied : counts->dropped).fetch_add(1, std::memory_order_relaxed);
  if (entry.kind == Kind::Report) {
    if (panelLasts) {
      const bool applied = ApplyStatusReport(session, report);
      if (hook) {
        hook(report, applied);
      }
    }
    return false;
  }
  if (!panelLasts) {
    entry.ended->Raise();
    return false;
  }
  if (hook) {
    hook(report, true);
  }
  // Unanswered or not, what follows refreshes from the mirror as it then is. The worker takes
  // no report until the read-back has ended.
  ReadBackNow(session, [ended = entry.ended](bool) { ended->Raise(); });
  return true;
}

void StatusListener::Inbox::ReadBackNow(DeviceSession& session,
                                        std::function<void(bool panelLasts)> then) {
  reReading_ = true;
  // The session is held until the read-back's reply has been applied or dropped.
  session.Runner().Start(kReadingStateText,
                         [session = session.shared_from_this(), request = PrepareReadBack(session),
                          inbox = shared_from_this(), then = std::move(then)]() -> Continuation {
                           return [session, reply = FetchState(*session, request), inbox, then] {
                             const bool panelLasts =
                                 session->PanelGeneration() == inbox->generation_;
                             if (panelLasts) {
                               static_cast<void>(ApplyStateReply(*session, reply));
                             }
                             then(panelLasts);
                             inbox->ResumeAfterReRead();
                           };
                         });
}

void StatusListener::Inbox::ResumeAfterReRead() {
  reReading_ = false;
  bool waiting = false;
  {
    const std::lock_guard lock(mutex_);
    waiting = drainPosted_;
  }
  if (waiting) {
    executor_.Post([inbox = shared_from_this()] { inbox->Drain(); });
  }
}

StatusListener::StatusListener(DeviceSession& session, UdpSocket statusSocket, Executor& executor)
    : socket_(std::move(statusSocket)),
      executor_(executor),
      reReadPauseMs_(session.Timing().reReadPauseMs),
      first_(std::make_shared<Inbox>(session, executor)),
      inboxes_{first_},
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (wake_ < 0) {
    throw std::system_error(errno, std::generic_category(), "status listener wake-up");
  }
}

std::shared_ptr<const StatusListener::HandOver> StatusListener::Follow(DeviceSession& session,
                                                                       ReportHook hook) {
  auto inbox = std::make_shared<Inbox>(session, executor_);
  inbox->reReadAfterOverflow = first_->reReadAfterOverflow;
  inbox->hook = std::move(hook);
  const std::lock_guard lock(inboxesMutex_);
  // A device found again after a search lost it has a new session: its reports go there.
  const auto same = std::ranges::find_if(
      inboxes_, [&inbox](const auto& followed) { return followed->identity == inbox->identity; });
  if (same != inboxes_.end()) {
    *same = inbox;
  } else {
    inboxes_.push_back(inbox);
  }
  return inbox->counts;
}

std::shared_ptr<const StatusListener::HandOver> StatusListener::Counts() const {
  return first_->counts;
}

std::shared_ptr<StatusListener::Inbox> StatusListener::InboxOf(
    std::span<const std::uint8_t> datagram, ReportCheck& check) const {
  const std::lock_guard lock(inboxesMutex_);
  for (const std::shared_ptr<Inbox>& inbox : inboxes_) {
    check = CheckReport(datagram, inbox->identity);
    if (check != ReportCheck::NotOurs) {
      return inbox;
    }
  }
  return nullptr;
}

StatusListener::~StatusListener() {
  Stop();
  close(wake_);
}

void StatusListener::SetReportHook(ReportHook hook) {
  first_->hook = std::move(hook);
}

void StatusListener::SetReReadAfterOverflow(bool reRead) {
  first_->reReadAfterOverflow = reRead;
}

void StatusListener::Start() {
  if (!worker_.joinable()) {
    running_ = true;
    worker_ = std::thread([this] { Run(); });
  }
}

void StatusListener::Stop() {
  running_ = false;
  if (worker_.joinable()) {
    eventfd_write(wake_, 1);
    worker_.join();
  }
  socket_.Close();
}

bool StatusListener::Pause(int milliseconds) {
  pollfd entry{wake_, POLLIN, 0};
  while (poll(&entry, 1, milliseconds) < 0 && errno == EINTR) {
  }
  return running_;
}

bool StatusListener::ReRead(Inbox& inbox, const ReportBytes& report) {
  // The read-back belongs to the session's thread; the worker waits until it has ended, or
  // until it is stopped. The signal outlives the worker, should the read-back end after it.
  const auto ended = std::make_shared<EventSignal>();
  inbox.Add(report, Inbox::Kind::ReRead, ended);
  std::array<pollfd, 2> watched{{{ended->Descriptor(), POLLIN, 0}, {wake_, POLLIN, 0}}};
  while (running_ && !ended->Raised()) {
    if (poll(watched.data(), watched.size(), -1) < 0 && errno != EINTR) {
      return false;
    }
  }
  return running_;
}

void StatusListener::Run() {
  std::vector<std::uint8_t> buffer(kBufferSize);
  while (running_) {
    std::array<pollfd, 2> watched{{{socket_.Descriptor(), POLLIN, 0}, {wake_, POLLIN, 0}}};
    if (poll(watched.data(), watched.size(), -1) < 0 && errno != EINTR) {
      break;
    }
    while (running_) {
      const std::optional<ReceivedDatagram> datagram = socket_.ReceiveFrom(buffer);
      if (!datagram) {
        break;
      }
      Handle(std::span<const std::uint8_t>(buffer).first(std::min(datagram->size, buffer.size())));
    }
  }
}

void StatusListener::Handle(std::span<const std::uint8_t> datagram) {
  ReportCheck check = ReportCheck::NotOurs;
  const std::shared_ptr<Inbox> inbox = InboxOf(datagram, check);
  switch (check) {
    case ReportCheck::NotOurs:
      return;
    case ReportCheck::Corrupt:
      inbox->counts->rejected.fetch_add(1, std::memory_order_relaxed);
      // Shown as dropped where reports are shown; nothing else of it goes on.
      if (inbox->hook) {
        inbox->Add(ReportBytes::Of(datagram), Inbox::Kind::Rejected);
      }
      return;
    case ReportCheck::Intact:
      break;
  }
  inbox->counts->accepted.fetch_add(1, std::memory_order_relaxed);
  // Only what the rules read is kept, not the datagram.
  const ReportBytes report = ReportBytes::Of(datagram);
  const std::uint8_t code = datagram[frame::kCommandCodeOffset];
  if (!IsReReadReport(code)) {
    inbox->Add(report, Inbox::Kind::Report);
    return;
  }
  // The whole state is read first; then the device is given time to settle before the
  // derived tables follow. No report is taken meanwhile, of any device this listener follows.
  if (ReRead(*inbox, report) && Pause(reReadPauseMs_)) {
    executor_.Post([inbox, code] { inbox->FinishReRead(code); });
  }
}

}  // namespace quintara
