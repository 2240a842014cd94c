// A matrix switcher's status query against a simulated sixteen-channel switcher on loopback:
// how long the operator waits for the status row (the protocol pauses 20 ms after the request)
// and how much CPU the query takes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <sstream>

#include "bench/BenchSupport.h"
#include "core/Controller.h"
#include "core/matrix/MatrixCommands.h"
#include "sim/SimMatrix.h"
#include "sim/SimUdpServer.h"

namespace quintara {
namespace {

using SteadyClock = std::chrono::steady_clock;

const Ipv4Address kSwitcher{{127, 0, 0, 52}};

void BM_MatrixStatusQuery(benchmark::State& state) {
  const LinkConfig link = bench::LoopbackLinkTo(kSwitcher);
  auto switcher = std::make_shared<sim::SimMatrix>(
      sim::SimDeviceConfig::Of(sim::DeviceKind::Matrix16, {kSwitcher, link.devicePort}));
  sim::SimUdpServer server;
  server.Add(switcher);
  server.Start();
  SystemClock clock;
  bench::QuietPrompter prompter;
  ControllerObserver observer;
  Controller controller(link, LinkTiming{}, clock, prompter, observer);
  std::ostringstream diagnostics;  // the query's "readLen = ..." lines
  controller.SetDiagnostics(diagnostics);
  controller.SearchNetwork({kSwitcher});
  controller.Devices().SetSelectedIndex(0);
  MatrixCommands commands(controller.Session(), kSixteenChannelType);

  double cpuMs = 0;
  double wallMs = 0;
  for (auto _ : state) {
    switcher->Route(static_cast<std::uint8_t>(1 + state.iterations() % 16), 1);
    const double cpuStart = bench::ThreadCpuMs();
    const auto wallStart = SteadyClock::now();
    if (!commands.ReadMatrixStatus()) {
      state.SkipWithError("the status query was not answered");
      break;
    }
    wallMs += std::chrono::duration<double, std::milli>(SteadyClock::now() - wallStart).count();
    cpuMs += bench::ThreadCpuMs() - cpuStart;
    if (controller.Session().Matrix().statusTable[0] != switcher->State().routes[0]) {
      state.SkipWithError("the status row does not show the switcher's route");
    }
  }
  server.Stop();
  const double runs = static_cast<double>(state.iterations());
  state.counters["wall_ms"] = wallMs / runs;
  state.counters["cpu_ms"] = cpuMs / runs;
}
BENCHMARK(BM_MatrixStatusQuery)->Iterations(50)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quintara

BENCHMARK_MAIN();
