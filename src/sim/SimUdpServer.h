#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/UdpSocket.h"
#include "sim/PollLoop.h"
#include "sim/SimDevice.h"

namespace quintara::sim {

// Serves simulated devices over UDP, each on its own listen address, from one worker thread.
class SimUdpServer {
 public:
  // Called on the worker thread for every message a device receives (the program logs them).
  using MessageHook = std::function<void(const SimDevice&, const ReceivedMessage&)>;

  SimUdpServer();
  ~SimUdpServer();
  SimUdpServer(const SimUdpServer&) = delete;
  SimUdpServer& operator=(const SimUdpServer&) = delete;

  // Binds the device's listen endpoint at once, in the calling thread's network namespace, and
  // lets the device send from that socket on its own. Empty on success, else why the device
  // could not listen. Only before Start.
  std::string Add(std::shared_ptr<SimDevice> device);
  void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }

  void Start();
  // Stops and joins the worker; safe to call twice.
  void Stop();

 private:
  struct Listener {
    std::shared_ptr<SimDevice> device;
    UdpSocket socket;
  };

  void ServeOne(Listener& listener);

  std::deque<Listener> listeners_;  // a deque keeps each socket in place for its device's sender
  MessageHook hook_;
  std::vector<std::uint8_t> buffer_;  // used by the worker only
  PollLoop loop_;
};

}  // namespace quintara::sim
