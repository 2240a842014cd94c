// mv watch under a flood of 1400-byte reports while its reader stalls: the resident memory of the
// quintara-cli process (VmRSS, VmHWM) and when it ends. The reader takes nothing until the stall
// is over, then reads to the end.
//
//   quintara-bench-watch [SECONDS [STALL_SECONDS]]     (default 5 and 6)
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/link/ControlFrame.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimUdpServer.h"

namespace quintara {
namespace {

using SteadyClock = std::chrono::steady_clock;

const Ipv4Address kDevice{{127, 0, 0, 52}};
constexpr std::size_t kDatagram = 1400;

struct Memory {
  long rssKiB = 0;
  long hwmKiB = 0;
};

Memory MemoryOf(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  Memory memory;
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) {
      memory.rssKiB = std::stol(line.substr(6));
    } else if (line.starts_with("VmHWM:")) {
      memory.hwmKiB = std::stol(line.substr(6));
    }
  }
  return memory;
}

// A layout report of the device, padded to a full datagram past its Length.
std::vector<std::uint8_t> PaddedReport(const std::array<std::uint8_t, 4>& identity) {
  Frame report = BuildFrame(kMultiviewerType, 0x01, LinkKind::Lan, ViewerCode::SetLayout,
                            std::array<std::uint8_t, 2>{0x00, 40});
  std::ranges::copy(identity, report.begin() + frame::kIdentityOffset);
  SealFrame(report);
  report.resize(kDatagram, 0);
  return report;
}

pid_t StartWatch(const LinkConfig& link, int seconds, int out, int err) {
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    const std::string device = kDevice.ToText();
    const std::vector<std::string> args{QUINTARA_CLI,
                                        "--bind",
                                        "127.0.0.1",
                                        "--device-port",
                                        std::to_string(link.devicePort),
                                        "--local-port",
                                        std::to_string(link.localPort),
                                        "--status-port",
                                        std::to_string(link.statusPort),
                                        "--seconds",
                                        std::to_string(seconds),
                                        "--device",
                                        device,
                                        "mv",
                                        "watch"};
    std::vector<char*> argv;
    for (const std::string& arg : args) {
      argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    execv(QUINTARA_CLI, argv.data());
    _exit(127);
  }
  return pid;
}

int Run(int seconds, int stallSeconds) {
  const LinkConfig link = bench::LoopbackLinkTo(kDevice);
  auto device = std::make_shared<sim::SimMultiviewer>(
      sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, {kDevice, link.devicePort}));
  sim::SimUdpServer server;
  server.Add(device);
  server.Start();

  std::array<int, 2> out{};
  std::array<int, 2> err{};
  if (pipe(out.data()) != 0 || pipe(err.data()) != 0) {
    return 1;
  }
  const auto start = SteadyClock::now();
  const pid_t watch = StartWatch(link, seconds, out[1], err[1]);
  close(out[1]);
  close(err[1]);

  std::atomic<bool> watching{true};
  std::atomic<long> sent{0};
  std::thread flood([&] {
    std::optional<UdpSocket> socket = UdpSocket::Create();
    const std::vector<std::uint8_t> report = PaddedReport(device->Config().DeviceIdentity);
    const UdpEndpoint to{Ipv4Address::Loopback(), link.statusPort};
    const auto end = start + std::chrono::seconds(60);
    while (watching && sent < 50'000'000 && SteadyClock::now() < end) {
      static_cast<void>(socket->SendTo(report, to));
      ++sent;
    }
  });
  std::atomic<long> readBytes{0};
  std::thread reader;
  const auto readAll = [&] {
    std::array<char, 65536> chunk{};
    for (ssize_t n; (n = read(out[0], chunk.data(), chunk.size())) > 0;) {
      readBytes += n;
    }
  };

  Memory peak;
  int status = 0;
  double endedAt = 0;
  while (true) {
    const double elapsed = std::chrono::duration<double>(SteadyClock::now() - start).count();
    if (!reader.joinable() && elapsed >= stallSeconds) {
      reader = std::thread(readAll);
    }
    const Memory now = MemoryOf(watch);
    peak.rssKiB = std::max(peak.rssKiB, now.rssKiB);
    peak.hwmKiB = std::max(peak.hwmKiB, now.hwmKiB);
    if (waitpid(watch, &status, WNOHANG) == watch) {
      endedAt = elapsed;
      break;
    }
    if (elapsed > 60) {
      kill(watch, SIGKILL);
      waitpid(watch, &status, 0);
      endedAt = elapsed;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  watching = false;
  flood.join();
  if (!reader.joinable()) {
    reader = std::thread(readAll);
  }
  reader.join();
  std::string errText(4096, '\0');
  errText.resize(
      static_cast<std::size_t>(std::max<ssize_t>(0, read(err[0], errText.data(), errText.size()))));

  std::printf("mv watch --seconds %d, reader stalled for %d s, %zu-byte reports\n", seconds,
              stallSeconds, kDatagram);
  std::printf("  reports sent          %ld (%.0f /s)\n", sent.load(),
              static_cast<double>(sent.load()) / endedAt);
  std::printf("  ended after           %.2f s (exit status %d)\n", endedAt,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  std::printf("  peak VmRSS / VmHWM    %.1f MiB / %.1f MiB\n",
              static_cast<double>(peak.rssKiB) / 1024.0, static_cast<double>(peak.hwmKiB) / 1024.0);
  std::printf("  output read           %ld bytes\n", readBytes.load());
  std::printf("  stderr                %s", errText.empty() ? "(nothing)\n" : errText.c_str());
  return 0;
}

}  // namespace
}  // namespace quintara

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::stoi(argv[1]) : 5;
  const int stall = argc > 2 ? std::stoi(argv[2]) : seconds + 1;
  return quintara::Run(seconds, stall);
}
