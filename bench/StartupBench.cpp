// From start to the window shown, and the resident memory then: the Quintara window beside a bare
// Qt window of the same size, started in turns in the same run so that both meet the same load.
// Each start is a fresh process (this program again, in a child mode), timed from the spawn to
// its "shown" line. The figures are medians; the ratio and the difference are of the medians.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "ui/app/Application.h"
#include "ui/app/QtPrompter.h"

extern char** environ;

namespace quintara {
namespace {

constexpr const char* kChildMode = "--startup-child";

long ResidentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::stol(line.substr(6));
    }
  }
  return -1;
}

// Shows the window, waits until it is on screen, then says so with the memory it takes.
int ShowAndReport(QWidget& window) {
  window.show();
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  QApplication::processEvents();
  std::printf("shown %ld\n", ResidentKib());
  std::fflush(stdout);
  return 0;
}

int RunChild(int argc, char** argv, bool bare) {
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  if (bare) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1280, 720);
    return ShowAndReport(window);
  }
  ui::Application app(argc, argv);
  ui::QtPrompter prompter;
  ui::MainWindow::Options options;
  options.link = bench::LoopbackLinkTo(Ipv4Address::Loopback());
  ui::MainWindow window(options, prompter);
  return ShowAndReport(window);
}

struct Start {
  double ms = 0;
  long residentKib = 0;
};

// Runs this program in its child mode and waits for its "shown" line.
Start TimeOneStart(const char* program, bool bare) {
  int out[2];
  if (pipe(out) != 0) {
    return {};
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string mode = kChildMode;
  std::string kind = bare ? "bare" : "quintara";
  char* args[] = {const_cast<char*>(program), mode.data(), kind.data(), nullptr};
  const auto started = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program, &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  Start result;
  if (spawned == 0) {
    FILE* lines = fdopen(out[0], "r");
    char line[256];
    while (std::fgets(line, sizeof line, lines) != nullptr) {
      long kib = 0;
      if (std::sscanf(line, " shown %ld", &kib) == 1) {
        result.ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        result.residentKib = kib;
      }
    }
    std::fclose(lines);
    waitpid(child, nullptr, 0);
  } else {
    close(out[0]);
  }
  return result;
}

const char* gProgram = nullptr;

double Median(std::vector<double> values) {
  std::ranges::sort(values);
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// Each iteration starts one bare window and one Quintara window, in turns; one untimed start of
// each first, so that neither pays for loading the libraries from disk.
void BM_StartToWindowShown(benchmark::State& state) {
  TimeOneStart(gProgram, true);
  TimeOneStart(gProgram, false);
  std::vector<double> bareMs;
  std::vector<double> quintaraMs;
  std::vector<double> bareMib;
  std::vector<double> quintaraMib;
  for (auto _ : state) {
    const Start bare = TimeOneStart(gProgram, true);
    const Start quintara = TimeOneStart(gProgram, false);
    if (bare.ms == 0 || quintara.ms == 0) {
      state.SkipWithError("a window was not shown");
      return;
    }
    bareMs.push_back(bare.ms);
    quintaraMs.push_back(quintara.ms);
    bareMib.push_back(static_cast<double>(bare.residentKib) / 1024.0);
    quintaraMib.push_back(static_cast<double>(quintara.residentKib) / 1024.0);
  }
  state.counters["quintara_ms"] = Median(quintaraMs);
  state.counters["bare_ms"] = Median(bareMs);
  state.counters["time_ratio"] = Median(quintaraMs) / Median(bareMs);
  state.counters["quintara_mib"] = Median(quintaraMib);
  state.counters["bare_mib"] = Median(bareMib);
  state.counters["memory_difference_mib"] = Median(quintaraMib) - Median(bareMib);
}
BENCHMARK(BM_StartToWindowShown)->Iterations(11)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quintara

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], quintara::kChildMode) == 0) {
    return quintara::RunChild(argc, argv, std::strcmp(argv[2], "bare") == 0);
  }
  // The windows are measured on the offscreen platform unless a display is chosen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  quintara::gProgram = "/proc/self/exe";
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
