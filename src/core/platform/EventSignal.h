#pragma once

#include <atomic>

namespace quintara {

// A one-shot signal one thread raises and another waits for with poll() on its descriptor.
class EventSignal {
 public:
  EventSignal();
  ~EventSignal();
  EventSignal(const EventSignal&) = delete;
  EventSignal& operator=(const EventSignal&) = delete;

  void Raise();
  bool Raised() const { return raised_.load(); }
  // Readable once raised.
  int Descriptor() const { return fd_; }

 private:
  int fd_ = -1;
  std::atomic<bool> raised_{false};
};

}  // namespace quintara
