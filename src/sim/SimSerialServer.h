#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/PollLoop.h"
#include "sim/SerialFramer.h"
#include "sim/SimDevice.h"

namespace quintara::sim {

// Serves simulated devices on serial lines: each gets a pseudo-terminal whose other end a
// program opens like a serial port.
class SimSerialServer {
 public:
  using MessageHook = std::function<void(const SimDevice&, const ReceivedMessage&)>;

  SimSerialServer() = default;
  ~SimSerialServer();
  SimSerialServer(const SimSerialServer&) = delete;
  SimSerialServer& operator=(const SimSerialServer&) = delete;

  // Gives the device a pseudo-terminal; returns the path to open (empty on failure, with
  // the reason in error). Only before Start.
  std::string Add(std::shared_ptr<SimDevice> device, std::string& error);
  void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }

  void Start();
  void Stop();

 private:
  struct Line {
    std::shared_ptr<SimDevice> device;
    int master = -1;
    int keepOpen = -1;  // our own descriptor of the far end, so its closing never hangs us up
    SerialFramer framer;
  };

  void ServeOne(Line& line);

  std::vector<std::unique_ptr<Line>> lines_;
  MessageHook hook_;
  PollLoop loop_;
};

}  // namespace quintara::sim
