// The multiviewer panel under a burst of device reports: 10 000 reports a second for one second
// reach the window's status socket while it runs; how often the preview is drawn, how late the
// window's thread gets to a 10 ms timer meanwhile, and whether the final picture is the final
// state's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "bench/BenchSupport.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimUdpServer.h"
#include "tests/support/GuiApp.h"
#include "ui/app/MainWindow.h"
#include "ui/viewer/MultiviewerPanel.h"
#include "ui/viewer/PreviewPainter.h"

namespace quintara::ui {
namespace {

using SteadyClock = std::chrono::steady_clock;

const Ipv4Address kDevice{{127, 0, 0, 52}};
constexpr int kReports = 10000;
constexpr std::chrono::microseconds kBurst = std::chrono::seconds(1);

// Report n: the layout and one window's source change, ending on layout 160 with window n's
// source known.
Frame Report(const std::array<std::uint8_t, 4>& identity, int n) {
  const bool layout = n % 2 == 0;
  const std::uint8_t code = layout ? ViewerCode::SetLayout : ViewerCode::SetWindowSource;
  const std::array<std::uint8_t, 3> payload{
      0x00, static_cast<std::uint8_t>(layout ? ((n / 2) % 2 == 1 ? 160 : 90) : 1 + n % 16),
      static_cast<std::uint8_t>(1 + (n / 2) % 16)};
  Frame report = BuildFrame(0xA1, 0x01, LinkKind::Lan, code, payload);
  std::ranges::copy(identity, report.begin() + frame::kIdentityOffset);
  SealFrame(report);
  return report;
}

void BM_ReportBurstOnThePanel(benchmark::State& state) {
  test::GuiApp();
  const LinkConfig link = bench::LoopbackLinkTo(kDevice);
  auto device = std::make_shared<sim::SimMultiviewer>(
      sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, {kDevice, link.devicePort}));
  device->SetSwitcherMode(0);
  sim::SimUdpServer server;
  server.Add(device);
  server.Start();
  bench::QuietPrompter prompter;
  const MainWindow::Options options{.link = link,
                                    .timing = LinkTiming{},
                                    .serialPorts = {},
                                    .dpi = DpiScale{96, 96},
                                    .presetFolder = std::nullopt};
  MainWindow window(options, prompter);
  window.show();
  window.Controls().Get<QAbstractButton>(MainWindowId::Search)->click();
  // The search and the panel's read-back run while the window's loop goes on.
  QElapsedTimer opening;
  opening.start();
  while ((window.Busy() || window.DevicePanel() == nullptr) && opening.elapsed() < 30'000) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  auto* panel = qobject_cast<MultiviewerPanel*>(window.DevicePanel());
  if (panel == nullptr || window.Busy()) {
    state.SkipWithError("the simulated multiviewer's panel did not open");
    return;
  }
  const auto identity = window.GetController().Session().Entry().DeviceIdentity;

  for (auto _ : state) {
    const int paintsBefore = panel->Preview().PaintCount();
    std::atomic<bool> sent{false};
    std::thread sender([&] {
      std::optional<UdpSocket> socket = UdpSocket::Create();
      const auto start = SteadyClock::now();
      for (int n = 0; n < kReports; ++n) {
        std::this_thread::sleep_until(start + kBurst * n / kReports);
        static_cast<void>(socket->SendTo(Report(identity, n), {link.bindAddress, link.statusPort}));
      }
      sent = true;
    });
    // The window's thread runs as it would: a 10 ms timer notes how late it gets to run.
    QElapsedTimer sinceTick;
    qint64 latestTick = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { latestTick = std::max(latestTick, sinceTick.restart()); });
    sinceTick.start();
    ticker.start(10);
    const auto deadline = SteadyClock::now() + kBurst + std::chrono::milliseconds(500);
    while (SteadyClock::now() < deadline) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    ticker.stop();
    sender.join();
    const int paints = panel->Preview().PaintCount() - paintsBefore;
    const ViewerState& viewer = window.GetController().Session().Viewer();
    const bool finalRight =
        viewer.LayoutCode == 160 &&
        panel->Preview().grab().toImage().convertToFormat(QImage::Format_RGB32) ==
            RenderPreview(viewer, window.Scale()).convertToFormat(QImage::Format_RGB32);
    state.counters["paints"] = paints;
    state.counters["reports_per_paint"] = static_cast<double>(kReports) / std::max(paints, 1);
    state.counters["longest_timer_gap_ms"] = static_cast<double>(latestTick);
    state.counters["final_picture_right"] = finalRight ? 1 : 0;
  }
  server.Stop();
}
BENCHMARK(BM_ReportBurstOnThePanel)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quintara::ui

BENCHMARK_MAIN();
