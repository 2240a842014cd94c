// The layout preview: one whole paint of the busiest layout, and how many paints a burst of
// repaint requests turns into.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <chrono>
#include <thread>

#include "core/viewer/state/ViewerRefresh.h"
#include "core/viewer/state/ViewerState.h"
#include "tests/support/GuiApp.h"
#include "ui/viewer/LayoutPreview.h"
#include "ui/viewer/PreviewPainter.h"

namespace quintara::ui {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Sixteen windows with everything on: 8-character labels, meter bars and format texts.
ViewerState Busiest() {
  ViewerState viewer;
  viewer.SetLabelDefaults();
  viewer.LayoutCode = 160;
  viewer.BorderOn = 1;
  viewer.AllUmdOn = 1;
  viewer.AllMetersOn = 1;
  viewer.FormatStatusOn = 1;
  viewer.UmdOn.fill(1);
  viewer.MeterOn.fill(1);
  for (std::size_t k = 0; k < kWindowCount; ++k) {
    viewer.WindowSource[k] = static_cast<std::uint8_t>(k + 1);
    viewer.UmdText[k] = u"CAMERA_" + std::u16string(1, static_cast<char16_t>(u'A' + k));
    viewer.UmdBackColour[k] = 6;
    viewer.UmdTextColour[k] = 1;
    viewer.FormatBackColour[k] = 9;
    viewer.FormatTextColour[k] = 7;
  }
  RefreshAll(viewer);
  return viewer;
}

void BM_PreviewPaint(benchmark::State& state) {
  test::GuiApp();
  const int dpi = static_cast<int>(state.range(0));
  const DpiScale scale{dpi, dpi};
  const ViewerState viewer = Busiest();
  for (auto _ : state) {
    benchmark::DoNotOptimize(RenderPreview(viewer, scale));
  }
}
BENCHMARK(BM_PreviewPaint)->Arg(96)->Arg(144)->Unit(benchmark::kMicrosecond);

// 10 000 requests from a worker thread, paced over one second (argument 1) or as fast as the
// thread can make them (0), while the window's thread runs its event loop.
void BM_RepaintBurst(benchmark::State& state) {
  constexpr int kRequests = 10'000;
  const bool paced = state.range(0) == 1;
  QApplication& app = test::GuiApp();
  const ViewerState viewer = Busiest();
  const PanelSelections onModePage{.CurrentPage = ViewerPage::Mode};
  LayoutPreview preview(viewer, onModePage, DpiScale{96, 96});
  preview.show();
  app.processEvents();
  int paints = 0;
  for (auto _ : state) {
    const int before = preview.PaintCount();
    QEventLoop loop;
    std::thread reporter([&] {
      const auto start = SteadyClock::now();
      for (int i = 0; i < kRequests; ++i) {
        preview.RequestRepaint();
        if (paced) {
          std::this_thread::sleep_until(start + std::chrono::microseconds(100) * (i + 1));
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the last frame show
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    reporter.join();
    paints += preview.PaintCount() - before;
  }
  state.counters["paints_per_10k_requests"] =
      static_cast<double>(paints) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RepaintBurst)
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quintara::ui

BENCHMARK_MAIN();
