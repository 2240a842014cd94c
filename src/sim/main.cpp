// quintara-sim: simulated devices for demos and manual testing.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "core/text/TextCodec.h"
#include "sim/FrontPanelCommands.h"
#include "sim/SimMatrix.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimOptions.h"
#include "sim/SimSerialServer.h"
#include "sim/SimUdpServer.h"

namespace {

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
  if (options.version) {
    std::cout << quintara::VersionLine("quintara-sim");
    return 0;
  }

  // The worker thread inherits the blocked signals, so only WaitForEnd takes them.
  sigset_t endSignals;
  sigemptyset(&endSignals);
  sigaddset(&endSignals, SIGINT);
  sigaddset(&endSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

  std::mutex logMutex;
  const auto logMessage = [&logMutex](const SimDevice& device, const ReceivedMessage& message) {
    const std::lock_guard lock(logMutex);
    const std::string from = message.from.port == 0 ? "serial line"
                                                    : message.from.address.ToText() + ":" +
                                                          std::to_string(message.from.port);
    std::cout << device.Config().name << " <- " << from << "  " << quintara::HexBytes(message.bytes)
              << std::endl;
  };

  SimUdpServer udp;
  SimSerialServer serial;
  std::shared_ptr<SimMultiviewer> frontPanel;  // the multiviewer standard input drives
  for (const SimDeviceConfig& config : options.devices) {
    std::shared_ptr<SimDevice> device;
    if (config.kind == DeviceKind::Multiviewer) {
      auto multiviewer = std::make_shared<SimMultiviewer>(config);
      if (!frontPanel) {
        frontPanel = multiviewer;
      }
      device = multiviewer;
    } else {
      device = std::make_shared<SimMatrix>(config);
    }
    std::string error;
    std::string where;
    if (options.serial) {
      where = serial.Add(device, error);
    } else {
      error = udp.Add(device);
      where = config.listen.address.ToText() + ":" + std::to_string(config.listen.port);
    }
    if (!error.empty()) {
      std::cerr << "quintara-sim: " << error << "\n";
      return 1;
    }
    std::cout << DescribeDevice(config) << " on " << where << "\n";
  }
  if (options.log) {
    udp.SetMessageHook(logMessage);
    serial.SetMessageHook(logMessage);
  }
  udp.Start();
  serial.Start();
  std::optional<FrontPanelConsole> console;
  if (frontPanel) {
    console.emplace(frontPanel, STDIN_FILENO);
  }
  std::cout << "ready" << std::endl;
  WaitForEnd(options.seconds, endSignals);
  if (console) {
    console->Stop();
  }
  udp.Stop();
  serial.Stop();
  return 0;
}
