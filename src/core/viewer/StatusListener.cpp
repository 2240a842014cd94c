#include "core/viewer/StatusListener.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>
#include <vector>

#include "core/Controller.h"
#include "core/link/ControlFrame.h"
#include "core/platform/EventSignal.h"
#include "core/viewer/ReadBack.h"
#include "core/viewer/StatusReports.h"

namespace quintara {

StatusListener::StatusListener(Controller& controller, UdpSocket statusSocket,
                               std::array<std::uint8_t, 4> identity, Executor& executor)
    : controller_(controller),
      socket_(std::move(statusSocket)),
      identity_(identity),
      executor_(executor),
      reReadPauseMs_(controller.Timing().reReadPauseMs),
      generation_(controller.PanelGeneration()),
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (wake_ < 0) {
    throw std::system_error(errno, std::generic_category(), "status listener wake-up");
  }
}

StatusListener::~StatusListener() {
  Stop();
  close(wake_);
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

void StatusListener::PostForPanel(std::function<void()> task, Tally tally) {
  std::shared_ptr<HandOver> counts = tally == Tally::Report ? counts_ : nullptr;
  executor_.Post([&controller = controller_, generation = generation_, task = std::move(task),
                  counts = std::move(counts)] {
    const bool panelLasts = controller.PanelGeneration() == generation;
    if (counts) {
      (panelLasts ? counts->applied : counts->dropped).fetch_add(1, std::memory_order_relaxed);
    }
    if (panelLasts) {
      task();
    }
  });
}

bool StatusListener::ReRead() {
  // The read-back belongs to the controller's thread; the worker waits until it has ended, or
  // until it is stopped. The signal outlives the worker, should the read-back end after it.
  const auto ended = std::make_shared<EventSignal>();
  Controller& controller = controller_;
  PostForPanel(
      [&controller, ended] {
        // Unanswered or not, what follows refreshes from the mirror as it then is.
        controller.Runner().Run(kReadingStateText,
                                [&controller] { static_cast<void>(ReadBack(controller)); });
        ended->Raise();
      },
      Tally::Report);
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
  // A report too short for its code is dropped whole.
  if (!IsReportOf(datagram, identity_)) {
    return;
  }
  const std::uint8_t code = datagram[frame::kCommandCodeOffset];
  counts_->accepted.fetch_add(1, std::memory_order_relaxed);
  Controller& controller = controller_;
  std::vector<std::uint8_t> report(datagram.begin(), datagram.end());
  if (IsReReadReport(code)) {
    if (reportHook_) {
      PostForPanel([hook = reportHook_, report] { hook(report, true); }, Tally::None);
    }
    // The whole state is read first; then the device is given time to settle before the
    // derived tables follow. No report is taken meanwhile.
    if (ReRead() && Pause(reReadPauseMs_)) {
      PostForPanel([&controller, code] { FinishReRead(controller, code); }, Tally::None);
    }
    return;
  }
  PostForPanel(
      [&controller, hook = reportHook_, report = std::move(report)] {
        const bool applied = ApplyStatusReport(controller, report);
        if (hook) {
          hook(report, applied);
        }
      },
      Tally::Report);
}

}  // namespace quintara
