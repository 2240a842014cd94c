// The multiviewer link against a simulated multiviewer on loopback: one whole-state read-back,
// the delay from a report's arrival to the mirror showing it, and how many reports per second
// the controller keeps up with.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/Controller.h"
#include "core/TaskQueue.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusListener.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimUdpServer.h"

namespace quintara {
namespace {

using SteadyClock = std::chrono::steady_clock;

const Ipv4Address kDevice{{127, 0, 0, 51}};

// A controller connected to a simulated multiviewer whose panel shows the Mode page, with a
// status listener ready to start.
struct Bench {
  Bench()
      : link(bench::LoopbackLinkTo(kDevice)),
        controller(link, LinkTiming{}, clock, prompter, observer) {
    device = std::make_shared<sim::SimMultiviewer>(
        sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, {kDevice, link.devicePort}));
    server.Add(device);
    server.Start();
    controller.SearchNetwork({kDevice});
    controller.Devices().SetSelectedIndex(0);
    identity = controller.Session().Entry().DeviceIdentity;
    controller.Session().LendPanel(&panel);
  }

  // A layout report as the device sends it.
  Frame LayoutReport(std::uint8_t layoutCode) const {
    const std::array<std::uint8_t, 2> payload{0x00, layoutCode};
    Frame report = BuildFrame(0xA1, 0x01, LinkKind::Lan, ViewerCode::SetLayout, payload);
    std::ranges::copy(identity, report.begin() + frame::kIdentityOffset);
    SealFrame(report);
    return report;
  }

  LinkConfig link;
  PanelSelections panel{.CurrentPage = ViewerPage::Mode};
  SystemClock clock;
  bench::QuietPrompter prompter;
  ControllerObserver observer;
  Controller controller;
  std::shared_ptr<sim::SimMultiviewer> device;
  sim::SimUdpServer server;
  std::array<std::uint8_t, 4> identity{};
};

void BM_ReadBack(benchmark::State& state) {
  Bench bench;
  double cpuMs = 0;
  double wallMs = 0;
  for (auto _ : state) {
    const double cpuStart = bench::ThreadCpuMs();
    const auto wallStart = SteadyClock::now();
    if (ReadBack(bench.controller.Session()) != ExchangeOutcome::Answered) {
      state.SkipWithError("the read-back was not answered");
      break;
    }
    wallMs += std::chrono::duration<double, std::milli>(SteadyClock::now() - wallStart).count();
    cpuMs += bench::ThreadCpuMs() - cpuStart;
    if (bench.controller.Session().Viewer().StateImage != bench.device->StateImage()) {
      state.SkipWithError("the read-back did not mirror the device");
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["wall_ms"] = wallMs / runs;
  state.counters["cpu_ms"] = cpuMs / runs;
}
BENCHMARK(BM_ReadBack)->Iterations(50)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportLatency(benchmark::State& state) {
  Bench bench;
  TaskQueue tasks;
  std::optional<UdpSocket> statusSocket = bench.controller.Network().OpenStatusSocket();
  StatusListener listener(bench.controller.Session(), std::move(*statusSocket), tasks);
  listener.Start();
  std::optional<UdpSocket> sender = UdpSocket::Create();
  const UdpEndpoint status{Ipv4Address::Loopback(), bench.link.statusPort};
  ViewerState& viewer = bench.controller.Session().Viewer();
  std::vector<double> latenciesUs;
  std::uint8_t layout = 40;
  for (auto _ : state) {
    layout = layout == 40 ? 60 : 40;
    const Frame report = bench.LayoutReport(layout);
    const auto sent = SteadyClock::now();
    sender->SendTo(report, status);
    while (viewer.LayoutCode != layout &&
           tasks.RunOne(SteadyClock::now() + std::chrono::seconds(1))) {
    }
    latenciesUs.push_back(
        std::chrono::duration<double, std::micro>(SteadyClock::now() - sent).count());
  }
  listener.Stop();
  std::ranges::sort(latenciesUs);
  state.counters["p50_ms"] = latenciesUs[latenciesUs.size() / 2] / 1000.0;
  state.counters["p99_ms"] = latenciesUs[latenciesUs.size() * 99 / 100] / 1000.0;
}
BENCHMARK(BM_ReportLatency)->Iterations(2000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Reports sent as fast as one thread can for five seconds (bounded in count), so the controller,
// not a pace, sets the rate: how many it applies a second. The final layout must be the last
// one sent, after the backlog has been worked through.
void BM_ReportsPerSecond(benchmark::State& state) {
  constexpr auto kFlood = std::chrono::seconds(5);
  constexpr int kLimit = 3'000'000;
  for (auto _ : state) {
    Bench bench;
    TaskQueue tasks;
    std::optional<UdpSocket> statusSocket = bench.controller.Network().OpenStatusSocket();
    StatusListener listener(bench.controller.Session(), std::move(*statusSocket), tasks);
    std::atomic<int> applied{0};
    listener.SetReportHook([&applied](std::span<const std::uint8_t>, bool) { ++applied; });
    listener.Start();
    ViewerState& viewer = bench.controller.Session().Viewer();
    const UdpEndpoint status{Ipv4Address::Loopback(), bench.link.statusPort};
    const Frame layout40 = bench.LayoutReport(40);
    const Frame layout60 = bench.LayoutReport(60);
    const auto start = SteadyClock::now();
    const auto end = start + kFlood;
    std::atomic<int> sent{0};
    std::thread sender([&] {
      std::optional<UdpSocket> socket = UdpSocket::Create();
      for (int n = 0; n < kLimit && SteadyClock::now() < end; ++n) {
        static_cast<void>(socket->SendTo(n % 2 == 0 ? layout40 : layout60, status));
        ++sent;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      static_cast<void>(socket->SendTo(bench.LayoutReport(111), status));  // the last word
    });
    tasks.RunUntil(end);
    const int appliedInFlood = applied.load();
    sender.join();
    const auto drainEnd = SteadyClock::now() + std::chrono::seconds(5);
    while (viewer.LayoutCode != 111 && tasks.RunOne(drainEnd)) {
    }
    listener.Stop();
    const double seconds = std::chrono::duration<double>(kFlood).count();
    state.counters["reports_per_s"] = appliedInFlood / seconds;
    state.counters["sent_per_s"] = sent.load() / seconds;
    state.counters["final_state_right"] = viewer.LayoutCode == 111 ? 1 : 0;
  }
}
BENCHMARK(BM_ReportsPerSecond)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace quintara

BENCHMARK_MAIN();
