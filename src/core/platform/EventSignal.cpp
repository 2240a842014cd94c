#include "core/platform/EventSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace quintara {

EventSignal::EventSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (fd_ < 0) {
    throw std::system_error(errno, std::generic_category(), "event signal");
  }
}

EventSignal::~EventSignal() {
  close(fd_);
}

void EventSignal::Raise() {
  raised_ = true;
  eventfd_write(fd_, 1);
}

}  // namespace quintara
