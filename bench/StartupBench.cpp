// From start to the window shown, and the resident memory then: the Quintara window beside a bare
// Qt window of the same size, started in turns in the same run so that both meet the same load.
// A third window, bare but for one line of text in an edit and a label, shows what Qt's font
// system costs the first window that shows any text: loading the font configuration and the
// first faces, which the empty window never does.
// Each start is a fresh process (this program again, in a child mode), timed from the spawn to
// its "shown" line. The figures are medians; the ratio and the difference are of the medians.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
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

enum class Child { Bare, Text, Quintara };

int RunChild(int argc, char** argv, Child child) {
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  if (child != Child::Quintara) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1280, 720);
    if (child == Child::Text) {
      new QLineEdit(QStringLiteral("KVT2208Z"), &window);
      new QLabel(QStringLiteral("Searching..."), &window);
    }
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
constexpr const char* ChildName(Child child) {
  switch (child) {
    case Child::Bare:
      return "bare";
    case Child::Text:
      return "text";
    case Child::Quintara:
      break;
  }
  return "quintara";
}

Start TimeOneStart(const char* program, Child which) {
  int out[2];
  if (pipe(out) != 0) {
    return {};
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string mode = kChildMode;
  std::string kind = ChildName(which);
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

struct Starts {
  std::vector<double> ms;
  std::vector<double> mib;

  void Add(const Start& start) {
    ms.push_back(start.ms);
    mib.push_back(static_cast<double>(start.residentKib) / 1024.0);
  }
};

// Each iteration starts the three windows in turns; one untimed start of each first, so that none
// pays for loading the libraries from disk.
void BM_StartToWindowShown(benchmark::State& state) {
  constexpr Child kChildren[] = {Child::Bare, Child::Text, Child::Quintara};
  for (const Child child : kChildren) {
    TimeOneStart(gProgram, child);
  }
  Starts starts[std::size(kChildren)];
  for (auto _ : state) {
    for (const Child child : kChildren) {
      const Start start = TimeOneStart(gProgram, child);
      if (start.ms == 0) {
        state.SkipWithError("a window was not shown");
        return;
      }
      starts[static_cast<int>(child)].Add(start);
    }
  }
  const Starts& bare = starts[static_cast<int>(Child::Bare)];
  const Starts& text = starts[static_cast<int>(Child::Text)];
  const Starts& quintara = starts[static_cast<int>(Child::Quintara)];
  state.counters["quintara_ms"] = Median(quintara.ms);
  state.counters["bare_ms"] = Median(bare.ms);
  state.counters["text_ms"] = Median(text.ms);
  state.counters["time_ratio"] = Median(quintara.ms) / Median(bare.ms);
  state.counters["time_ratio_to_text"] = Median(quintara.ms) / Median(text.ms);
  state.counters["quintara_mib"] = Median(quintara.mib);
  state.counters["bare_mib"] = Median(bare.mib);
  state.counters["memory_difference_mib"] = Median(quintara.mib) - Median(bare.mib);
}
BENCHMARK(BM_StartToWindowShown)->Iterations(11)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quintara

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], quintara::kChildMode) == 0) {
    using quintara::Child;
    for (const Child child : {Child::Bare, Child::Text, Child::Quintara}) {
      if (std::strcmp(argv[2], quintara::ChildName(child)) == 0) {
        return quintara::RunChild(argc, argv, child);
      }
    }
    return 2;
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
