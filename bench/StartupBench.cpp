// From start to the window shown, and the resident memory then: the Quintara window, and a bare
// Qt window of the same size in the same run as the reference. Each start is a fresh process
// (this program again, in a child mode), timed from the spawn to its "shown" line.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

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

void BM_StartToWindowShown(benchmark::State& state) {
  const bool bare = state.range(0) == 0;
  state.SetLabel(bare ? "bare Qt window" : "Quintara");
  double ms = 0;
  double residentKib = 0;
  for (auto _ : state) {
    const Start start = TimeOneStart(gProgram, bare);
    if (start.ms == 0) {
      state.SkipWithError("the window was not shown");
      break;
    }
    ms += start.ms;
    residentKib += static_cast<double>(start.residentKib);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["shown_ms"] = ms / runs;
  state.counters["resident_mib"] = residentKib / runs / 1024.0;
}
BENCHMARK(BM_StartToWindowShown)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
