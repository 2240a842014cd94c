#pragma once

#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace quintara::sim {

// A worker thread that waits on a set of descriptors and hands each readable one to a callback,
// until stopped. Both simulator servers run on one.
class PollLoop {
 public:
  // Called on the worker with the index of a readable descriptor.
  using OnReadable = std::function<void(std::size_t index)>;

  PollLoop();
  ~PollLoop();
  PollLoop(const PollLoop&) = delete;
  PollLoop& operator=(const PollLoop&) = delete;

  void Start(std::vector<int> descriptors, OnReadable onReadable);
  // Stops and joins the worker; safe to call twice.
  void Stop();

 private:
  void Run(const std::vector<int>& descriptors, const OnReadable& onReadable) const;

  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread worker_;
};

}  // namespace quintara::sim
