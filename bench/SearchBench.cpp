// One network search against three simulated devices on loopback, with the protocol's full
// 2000 ms window: how much CPU the searching thread burns while it waits for answers.
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "bench/BenchSupport.h"
#include "core/Controller.h"
#include "core/platform/UdpSocket.h"
#include "sim/SimUdpServer.h"

namespace quintara {
namespace {

void BM_SearchNetworkThreeDevices(benchmark::State& state) {
  LinkConfig link;
  link.bindAddress = Ipv4Address::Loopback();
  link.devicePort = bench::FreePort();
  link.localPort = bench::FreePort();
  link.statusPort = bench::FreePort();
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
  bench::QuietPrompter prompter;
  ControllerObserver observer;
  Controller controller(link, LinkTiming{}, clock, prompter, observer);
  double cpuMs = 0;
  double wallMs = 0;
  for (auto _ : state) {
    const double cpuStart = bench::ThreadCpuMs();
    const std::int64_t wallStart = clock.NowMs();
    controller.SearchNetwork();
    cpuMs += bench::ThreadCpuMs() - cpuStart;
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
