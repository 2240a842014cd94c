// quintara-sim: simulated devices for demos and manual testing.
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/SimOptions.h"
#include "sim/SimUdpServer.h"

namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char digits[4];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", byte);
    text += digits;
  }
  if (!text.empty()) {
    text.pop_back();
  }
  return text;
}

// Blocks until SIGINT or SIGTERM, or until the given number of seconds has passed.
void WaitForEnd(const std::optional<int>& seconds, const sigset_t& endSignals) {
  if (!seconds) {
    int signal = 0;
    sigwait(&endSignals, &signal);
    return;
  }
  timespec timeout{*seconds, 0};
  sigtimedwait(&endSignals, nullptr, &timeout);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quintara::sim;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const SimOptionsResult parsed = ParseSimOptions(args);
  if (!parsed.error.empty()) {
    std::cerr << "quintara-sim: " << parsed.error << "\n" << SimUsage();
    return 2;
  }
  const SimOptions& options = parsed.options;
  if (options.help) {
    std::cout << SimUsage();
    return 0;
  }

  // The worker thread inherits the blocked signals, so only WaitForEnd takes them.
  sigset_t endSignals;
  sigemptyset(&endSignals);
  sigaddset(&endSignals, SIGINT);
  sigaddset(&endSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

  SimUdpServer server;
  for (const SimDeviceConfig& config : options.devices) {
    const std::string error = server.Add(std::make_shared<SimDevice>(config));
    if (!error.empty()) {
      std::cerr << "quintara-sim: " << error << "\n";
      return 1;
    }
    std::cout << DescribeDevice(config) << "\n";
  }
  std::mutex logMutex;
  if (options.log) {
    server.SetMessageHook([&logMutex](const SimDevice& device, const ReceivedMessage& message) {
      const std::lock_guard lock(logMutex);
      std::cout << device.Config().listen.address.ToText() << " <- "
                << message.from.address.ToText() << ":" << message.from.port << "  "
                << Hex(message.bytes) << std::endl;
    });
  }
  server.Start();
  std::cout << "ready" << std::endl;
  WaitForEnd(options.seconds, endSignals);
  server.Stop();
  return 0;
}
