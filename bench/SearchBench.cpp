// One network search against three simulated devices on loopback, with the protocol's full
// 2000 ms window: how much CPU the searching thread burns while it waits for answers.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>
#include <stdexcept>

#include "core/Controller.h"
#include "core/platform/UdpSocket.h"
#include "sim/SimUdpServer.h"

namespace quintara {
namespace {

double ThreadCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

std::uint16_t FreePort() {
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket || !socket->Bind({Ipv4Address::Loopback(), 0})) {
    throw std::runtime_error("no free UDP port");
  }
  return socket->LocalEndpoint()->port;
}

class QuietPrompter final : public Prompter {
 public:
  void ShowError(std::string_view) override {}
  bool Confirm(std::string_view) override { return false; }
};

void BM_SearchNetworkThreeDevices(benchmark::State& state) {
  LinkConfig link;
  link.bindAddress = Ipv4Address::Loopback();
  link.devicePort = FreePort();
  link.localPort = FreePort();
  link.statusPort = FreePort();
  link.searchTargets.clear();

  sim::SimUdpServer server;
  const sim::DeviceKind kinds[] = {sim::DeviceKind::Multiviewer, sim::DeviceKind::Matrix8,
                                   sim::DeviceKind::Matrix16};
  for (std::uint8_t i = 0; i < 3; ++i) {
    const Ipv4Address address{{127, 0, 0, static_cast<std::uint8_t>(41 + i)}};
    link.searchTargets.push_back(address);
    server.Add(std::make_shared<sim::SimDevice>(
        sim::SimDeviceConfig::Of(kinds[i], {address, link.devicePort})));
  }
  server.Start();

  SystemClock clock;
  QuietPrompter prompter;
  ControllerObserver observer;
  Controller controller(link, LinkTiming{}, clock, prompter, observer);
  double cpuMs = 0;
  double wallMs = 0;
  for (auto _ : state) {
    const double cpuStart = ThreadCpuMs();
    const std::int64_t wallStart = clock.NowMs();
    controller.SearchNetwork();
    cpuMs += ThreadCpuMs() - cpuStart;
    wallMs += static_cast<double>(clock.NowMs() - wallStart);
    if (controller.Devices().Table().Count() != 3) {
      state.SkipWithError("the search did not find the three devices");
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["cpu_ms"] = cpuMs / runs;
  state.counters["wall_ms"] = wallMs / runs;
}
BENCHMARK(BM_SearchNetworkThreeDevices)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quintara

BENCHMARK_MAIN();
