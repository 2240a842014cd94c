#include "sim/PollLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace quintara::sim {

PollLoop::PollLoop() {
  int fds[2] = {-1, -1};
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "simulator wake-up pipe");
  }
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
}

PollLoop::~PollLoop() {
  Stop();
  close(wakeRead_);
  close(wakeWrite_);
}

void PollLoop::Start(std::vector<int> descriptors, OnReadable onReadable) {
  if (!worker_.joinable()) {
    worker_ = std::thread([this, descriptors = std::move(descriptors),
                           onReadable = std::move(onReadable)] { Run(descriptors, onReadable); });
  }
}

void PollLoop::Stop() {
  if (!worker_.joinable()) {
    return;
  }
  const char wake = 1;
  while (write(wakeWrite_, &wake, 1) < 0 && errno == EINTR) {
  }
  worker_.join();
}

void PollLoop::Run(const std::vector<int>& descriptors, const OnReadable& onReadable) const {
  std::vector<pollfd> watched{{wakeRead_, POLLIN, 0}};
  for (const int fd : descriptors) {
    watched.push_back({fd, POLLIN, 0});
  }
  for (;;) {
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (watched[0].revents != 0) {
      return;
    }
    for (std::size_t i = 1; i < watched.size(); ++i) {
      if ((watched[i].revents & POLLIN) != 0) {
        onReadable(i - 1);
      }
    }
  }
}

}  // namespace quintara::sim
