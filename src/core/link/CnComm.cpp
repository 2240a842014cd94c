#include "core/link/CnComm.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <optional>
#include <system_error>

#include "core/link/SerialPortList.h"

namespace quintara {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kReadIntervalMs = 100;
constexpr int kReadTotalMs = 500;
constexpr int kReadTotalPlainMs = 250;
constexpr int kWriteTotalMs = 10000;
constexpr int kWriteTotalPlainMs = 250;
constexpr int kWatchPauseMs = 10;
constexpr int kReadThreadPeriodMs = 50;
constexpr int kWriteThreadPeriodMs = 200;
constexpr int kDrainStepMs = 50;
constexpr int kDrainStepLimit = 200;  // a write buffer that never empties still lets go after 10 s
constexpr std::size_t kDrainChunk = 1024;

std::optional<speed_t> BaudConstant(int rate) {
  switch (rate) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return std::nullopt;
  }
}

int MillisecondsUntil(SteadyClock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

// poll() that a worker thread may be cancelled in, and only there: cancellation never
// interrupts a thread that holds a lock.
int CancellablePoll(pollfd* fds, nfds_t count, int timeoutMs) {
  int previous = 0;
  pthread_setcancelstate(PTHREAD_CANCEL_ENABLE, &previous);
  int ready = 0;
  do {
    ready = poll(fds, count, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  pthread_setcancelstate(previous, &previous);
  return ready;
}

// Waits for the port to become ready for events, up to timeoutMs; the revents, 0 on time-out.
short PollPort(int fd, short events, int timeoutMs) {
  pollfd entry{fd, events, 0};
  int ready = 0;
  do {
    ready = poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 ? entry.revents : 0;
}

// Sleeps up to timeoutMs unless woken; true when woken.
bool Pause(int wake, int timeoutMs) {
  pollfd entry{wake, POLLIN, 0};
  if (CancellablePoll(&entry, 1, timeoutMs) <= 0) {
    return false;
  }
  eventfd_t value = 0;
  eventfd_read(wake, &value);
  return true;
}

}  // namespace

CnComm::CnComm(std::uint32_t options) : options_(options) {}

CnComm::~CnComm() {
  SerialClose(kCloseWaitMs);
}

bool CnComm::SerialOpen(std::string_view portName, int baudRate) {
  if (portName.size() >= kNameLimit) {
    return false;
  }
  portName_ = std::string(portName);
  portNumber_ = kOpenedPortNumber;
  if (IsOpen()) {
    SerialClose(kCloseWaitMs);
  }
  const std::string path = SerialDevicePath(portName);
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  // Exclusive: an advisory lock for programs that ask, TIOCEXCL for those that do not.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  if (!ConfigureLine(baudRate) || tcflush(fd, TCIOFLUSH) != 0) {
    SerialClose(kCloseWaitMs);
    return false;
  }
  if ((options_ & (kWatchThread | kReadThread | kWriteThread)) != 0 && !StartThreads()) {
    StopThreads(kCloseWaitMs);
    SerialClose(kCloseWaitMs);
    return false;
  }
  return true;
}

bool CnComm::ConfigureLine(int baudRate) {
  const std::optional<speed_t> speed = BaudConstant(baudRate);
  termios line{};
  if (!speed || tcgetattr(fd_, &line) != 0) {
    return false;
  }
  // Frames are binary: no echo, no line editing, no character translation.
  cfmakeraw(&line);
  line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  line.c_cflag |= CS8 | CREAD | CLOCAL;
  line.c_iflag &= ~static_cast<tcflag_t>(INPCK);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  return cfsetispeed(&line, *speed) == 0 && cfsetospeed(&line, *speed) == 0 &&
         tcsetattr(fd_, TCSANOW, &line) == 0;
}

void CnComm::SerialClose(int waitMs) {
  const int fd = fd_.load();
  if (fd < 0) {
    return;
  }
  StopThreads(waitMs);
  if ((options_ & (kFlushOnClose | kDrainOnClose)) != 0) {
    tcdrain(fd);
  }
  tcflush(fd, TCIOFLUSH);
  ioctl(fd, TIOCNXCL);
  fd_ = -1;
  close(fd);
}

std::size_t CnComm::SerialRead(std::span<std::uint8_t> buffer) {
  if (!IsOpen() || buffer.empty()) {
    return 0;
  }
  if ((options_ & kReadBuffer) != 0) {
    return readBuffer_.Take(buffer.size(), buffer.data());
  }
  return ReadFromPort(buffer);
}

std::size_t CnComm::ReadFromPort(std::span<std::uint8_t> buffer) {
  const int totalMs = (options_ & kOverlapped) != 0 ? kReadTotalMs : kReadTotalPlainMs;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(totalMs);
  std::size_t got = 0;
  while (got < buffer.size()) {
    const int left = MillisecondsUntil(deadline);
    if (left == 0) {
      break;
    }
    // Before the first byte only the total bound applies; after it, 100 ms of silence ends it.
    const short ready = PollPort(fd_, POLLIN, got == 0 ? left : std::min(left, kReadIntervalMs));
    if ((ready & POLLIN) == 0) {
      break;  // silence, or a line that hung up
    }
    const ssize_t n = read(fd_, buffer.data() + got, buffer.size() - got);
    if (n <= 0) {
      if (n < 0 && errno == EAGAIN) {
        continue;
      }
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  bytesRead_ += static_cast<std::uint32_t>(got);
  return got;
}

std::size_t CnComm::SerialWrite(std::span<const std::uint8_t> bytes) {
  if (!IsOpen() || bytes.empty()) {
    return 0;
  }
  if ((options_ & kWriteBuffer) != 0) {
    writeBuffer_.Write(bytes);
    Worker& drainer = (options_ & kWriteThread) != 0 ? writer_ : watch_;
    if (drainer.wake >= 0) {
      eventfd_write(drainer.wake, 1);
    }
    return bytes.size();
  }
  return WriteToPort(bytes);
}

std::size_t CnComm::WriteToPort(std::span<const std::uint8_t> bytes) {
  const int totalMs = (options_ & kOverlapped) != 0 ? kWriteTotalMs + static_cast<int>(bytes.size())
                                                    : kWriteTotalPlainMs;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(totalMs);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = write(fd_, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    const bool full = n < 0 && (errno == EAGAIN || errno == EINTR);
    const int left = MillisecondsUntil(deadline);
    if (!full || left == 0 || (PollPort(fd_, POLLOUT, left) & POLLOUT) == 0) {
      break;
    }
  }
  bytesWritten_ += static_cast<std::uint32_t>(sent);
  return sent;
}

int CnComm::QueuedInput() const {
  const int fd = fd_.load();
  int count = 0;
  if (fd < 0 || ioctl(fd, FIONREAD, &count) != 0) {
    return -1;
  }
  return count;
}

void CnComm::ResumeThreads() {
  {
    const std::lock_guard lock(mutex_);
    resumed_ = true;
  }
  resumedChanged_.notify_all();
}

bool CnComm::HasThreads() const {
  return watch_.thread.joinable() || reader_.thread.joinable() || writer_.thread.joinable();
}

bool CnComm::StartThreads() {
  if (HasThreads()) {
    return false;
  }
  {
    const std::lock_guard lock(mutex_);
    resumed_ = (options_ & kSuspended) == 0;
  }
  running_ = true;
  bool started = true;
  if ((options_ & kWatchThread) != 0) {
    started = started && StartWorker(watch_, &CnComm::WatchLoop);
  }
  if ((options_ & kReadThread) != 0) {
    started = started && StartWorker(reader_, &CnComm::ReadLoop);
  }
  if ((options_ & kWriteThread) != 0) {
    started = started && StartWorker(writer_, &CnComm::WriteLoop);
  }
  return started;
}

bool CnComm::StartWorker(Worker& worker, void (CnComm::*loop)(int wake)) {
  worker.wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (worker.wake < 0) {
    return false;
  }
  std::promise<void> finished;
  worker.finished = finished.get_future();
  try {
    worker.thread =
        std::thread([this, loop, wake = worker.wake, done = std::move(finished)]() mutable {
          EnterThread();
          (this->*loop)(wake);
          done.set_value();
        });
  } catch (const std::system_error&) {
    close(worker.wake);
    worker.wake = -1;
    return false;
  }
  return true;
}

bool CnComm::StopThreads(int waitMs) {
  if (!HasThreads()) {
    return true;
  }
  if ((options_ & kDrainOnClose) != 0 && (options_ & kWriteBuffer) != 0) {
    for (int step = 0; step < kDrainStepLimit && writeBuffer_.Size() > 0; ++step) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kDrainStepMs));
    }
  }
  running_ = false;
  resumedChanged_.notify_all();
  return StopWorker(watch_, waitMs) && StopWorker(reader_, waitMs) && StopWorker(writer_, waitMs);
}

bool CnComm::StopWorker(Worker& worker, int waitMs) {
  if (!worker.thread.joinable()) {
    return true;
  }
  eventfd_write(worker.wake, 1);
  if (worker.finished.wait_for(std::chrono::milliseconds(waitMs)) != std::future_status::ready) {
    // Last resort; the loops can only be cancelled while they wait, never while holding a lock.
    if (pthread_cancel(worker.thread.native_handle()) != 0) {
      worker.thread.detach();
      return false;
    }
  }
  worker.thread.join();
  close(worker.wake);
  worker.wake = -1;
  return true;
}

void CnComm::EnterThread() {
  pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, nullptr);
  if ((options_ & kRaisedPriority) != 0) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -1);  // may be refused; runs anyway
  }
  std::unique_lock lock(mutex_);
  resumedChanged_.wait(lock, [this] { return resumed_ || !running_; });
}

void CnComm::WatchLoop(int wake) {
  const bool drainsWrites = (options_ & kWriteBuffer) != 0 && (options_ & kWriteThread) == 0;
  while (running_ && IsOpen()) {
    const int queued = QueuedInput();
    if (queued != 0) {
      // Input waits, or the queue cannot be read: a receive event, then a short pause.
      if (queued > 0 && (options_ & kReadBuffer) != 0) {
        MoveInputToReadBuffer(2 * static_cast<std::size_t>(queued) + 64);
      }
      Pause(wake, kWatchPauseMs);
      continue;
    }
    const bool writesWaiting = drainsWrites && writeBuffer_.Size() > 0;
    std::array<pollfd, 2> watched{
        {{fd_, static_cast<short>(POLLIN | (writesWaiting ? POLLOUT : 0)), 0}, {wake, POLLIN, 0}}};
    if (CancellablePoll(watched.data(), watched.size(), -1) <= 0) {
      Pause(wake, kWatchPauseMs);
      continue;
    }
    if (watched[1].revents != 0) {
      eventfd_t value = 0;
      eventfd_read(wake, &value);
      continue;  // stop, or more bytes to write: the loop looks again
    }
    if ((watched[0].revents & POLLOUT) != 0) {
      DrainWriteBuffer();
    }
    if ((watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      Pause(wake, kWatchPauseMs);  // a hung-up line reports at once: do not spin on it
    }
  }
}

void CnComm::ReadLoop(int wake) {
  while (running_) {
    Pause(wake, kReadThreadPeriodMs);
    const int queued = QueuedInput();
    if (running_ && queued > 0) {
      MoveInputToReadBuffer(static_cast<std::size_t>(queued));
    }
  }
}

void CnComm::WriteLoop(int wake) {
  while (running_) {
    Pause(wake, kWriteThreadPeriodMs);
    if (running_) {
      DrainWriteBuffer();
    }
  }
}

void CnComm::MoveInputToReadBuffer(std::size_t limit) {
  std::array<std::uint8_t, 4096> chunk{};
  const ssize_t n = read(fd_, chunk.data(), std::min(limit, chunk.size()));
  if (n > 0) {
    readBuffer_.Write(std::span(chunk).first(static_cast<std::size_t>(n)));
    bytesRead_ += static_cast<std::uint32_t>(n);
  }
}

void CnComm::DrainWriteBuffer() {
  std::array<std::uint8_t, kDrainChunk> chunk{};
  const std::size_t count =
      writeBuffer_.Take(std::min(writeBuffer_.FirstBlockSize(), chunk.size()), chunk.data());
  if (count > 0) {
    WriteToPort(std::span(chunk).first(count));
  }
}

void DiscardInput(CnComm& port) {
  const int queued = port.QueuedInput();
  if (queued < 0) {
    return;
  }
  if ((port.Options() & CnComm::kReadBuffer) != 0) {
    port.ReadBuffer().Take(static_cast<std::size_t>(queued), nullptr);
    return;
  }
  std::array<std::uint8_t, 4096> scratch{};
  for (std::size_t left = static_cast<std::size_t>(queued); left > 0;) {
    const std::size_t got =
        port.SerialRead(std::span(scratch).first(std::min(left, scratch.size())));
    if (got == 0) {
      break;
    }
    left -= got;
  }
}

std::size_t BufferedRead(CnComm& port, std::span<std::uint8_t> buffer) {
  if ((port.Options() & CnComm::kReadBuffer) != 0) {
    return port.ReadBuffer().Take(buffer.size(), buffer.data());
  }
  return port.SerialRead(buffer);
}

}  // namespace quintara
