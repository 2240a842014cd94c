// Runs every benchmark of this directory and prints one table: each figure beside its target,
// with the machine it was measured on.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// Counters of every benchmark run, by the benchmark's full name ("BM_PreviewPaint/96").
using Results = std::map<std::string, Json>;

// Runs one benchmark program and adds its runs to the results; false when it failed.
bool RunBenchmark(const fs::path& program, Results& results) {
  const fs::path out = fs::temp_directory_path() / ("quintara-" + program.filename().string() +
                                                    "-" + std::to_string(getpid()) + ".json");
  const std::string command = "'" + program.string() + "' --benchmark_out='" + out.string() +
                              "' --benchmark_out_format=json >/dev/null 2>&1";
  std::cerr << "running " << program.filename().string() << "\n";
  const int status = std::system(command.c_str());
  std::ifstream file(out);
  if (status != 0 || !file) {
    std::cerr << program.filename().string() << " failed\n";
    return false;
  }
  const Json report = Json::parse(file, nullptr, false);
  fs::remove(out);
  if (report.is_discarded()) {
    return false;
  }
  for (const Json& run : report.value("benchmarks", Json::array())) {
    results[run.value("name", "")] = run;
  }
  return true;
}

std::string Fixed(double value, int decimals) {
  std::ostringstream text;
  text.setf(std::ios::fixed);
  text.precision(decimals);
  text << value;
  return text.str();
}

std::string Signed(double value, int decimals) {
  return (value >= 0 ? "+" : "") + Fixed(value, decimals);
}

struct Row {
  std::string figure;
  std::function<std::string(const Results&)> measured;
  std::string target;
};

double Counter(const Results& results, const std::string& benchmark, const std::string& counter) {
  const auto run = results.find(benchmark);
  if (run == results.end() || !run->second.contains(counter)) {
    return -1;
  }
  return run->second[counter].get<double>();
}

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {"network search, CPU per 2 s search",
       [](const Results& r) {
         return Fixed(Counter(r, "BM_SearchNetworkThreeDevices/iterations:3/real_time", "cpu_ms"),
                      2) +
                " ms";
       },
       "≤ 20 ms"},
      {"read-back, wall / CPU",
       [](const Results& r) {
         const std::string run = "BM_ReadBack/iterations:50/real_time";
         return Fixed(Counter(r, run, "wall_ms"), 1) + " ms / " +
                Fixed(Counter(r, run, "cpu_ms"), 2) + " ms";
       },
       "≤ 11 ms / ≤ 2 ms"},
      {"report arrival → state applied, p50 / p99",
       [](const Results& r) {
         const std::string run = "BM_ReportLatency/iterations:2000/real_time";
         return Fixed(Counter(r, run, "p50_ms"), 3) + " ms / " +
                Fixed(Counter(r, run, "p99_ms"), 3) + " ms";
       },
       "≤ 0.5 ms / ≤ 2 ms"},
      {"highest report rate applied (unpaced, 5 s), final state",
       [](const Results& r) {
         const std::string run = "BM_ReportsPerSecond/iterations:1/real_time";
         return Fixed(Counter(r, run, "reports_per_s"), 0) + " /s (sent " +
                Fixed(Counter(r, run, "sent_per_s"), 0) + " /s), " +
                (Counter(r, run, "final_state_right") == 1 ? "right" : "WRONG");
       },
       "≥ 10 000 /s, right"},
      {"preview paint, layout 160 with everything on, 96 / 144 dpi",
       [](const Results& r) {
         const auto paint = [&r](const std::string& run) {
           const auto found = r.find(run);
           return found == r.end() ? -1.0 : found->second.value("real_time", -1.0) / 1000.0;
         };
         return Fixed(paint("BM_PreviewPaint/96"), 2) + " ms / " +
                Fixed(paint("BM_PreviewPaint/144"), 2) + " ms";
       },
       "< 1 ms at 96 dpi"},
      {"10 000 reports in 1 s at the open panel: paints, latest 10 ms timer, final picture",
       [](const Results& r) {
         const std::string run = "BM_ReportBurstOnThePanel/iterations:1";
         return Fixed(Counter(r, run, "paints"), 0) + " paints, " +
                Fixed(Counter(r, run, "longest_timer_gap_ms"), 0) + " ms, " +
                (Counter(r, run, "final_picture_right") == 1 ? "right" : "WRONG");
       },
       "≤ 1 paint a frame, ≤ 50 ms, right"},
      {"start to window shown, Quintara / bare Qt window (side by side), ratio",
       [](const Results& r) {
         const std::string run = "BM_StartToWindowShown/iterations:11/real_time";
         return Fixed(Counter(r, run, "quintara_ms"), 0) + " ms / " +
                Fixed(Counter(r, run, "bare_ms"), 0) + " ms, " +
                Fixed(Counter(r, run, "time_ratio"), 2) + "x";
       },
       "≤ 1.2x"},
      {"start to window shown, Quintara / bare Qt window with one edit and label, ratio",
       [](const Results& r) {
         const std::string run = "BM_StartToWindowShown/iterations:11/real_time";
         return Fixed(Counter(r, run, "quintara_ms"), 0) + " ms / " +
                Fixed(Counter(r, run, "text_ms"), 0) + " ms, " +
                Fixed(Counter(r, run, "time_ratio_to_text"), 2) + "x";
       },
       "—"},
      {"resident memory once shown, Quintara / bare Qt window, difference",
       [](const Results& r) {
         const std::string run = "BM_StartToWindowShown/iterations:11/real_time";
         return Fixed(Counter(r, run, "quintara_mib"), 1) + " MiB / " +
                Fixed(Counter(r, run, "bare_mib"), 1) + " MiB, " +
                Signed(Counter(r, run, "memory_difference_mib"), 1) + " MiB";
       },
       "≤ +10 MiB"},
      {"matrix status query, wall / CPU",
       [](const Results& r) {
         const std::string run = "BM_MatrixStatusQuery/iterations:50/real_time";
         return Fixed(Counter(r, run, "wall_ms"), 1) + " ms / " +
                Fixed(Counter(r, run, "cpu_ms"), 2) + " ms";
       },
       "≤ 25 ms / ≤ 2 ms"},
      {"server: command request → its datagram at the device (of 100), p50 / p99",
       [](const Results& r) {
         const std::string run = "BM_CommandToDatagram/iterations:1000/real_time";
         return Fixed(Counter(r, run, "p50_ms"), 2) + " ms / " +
                Fixed(Counter(r, run, "p99_ms"), 2) + " ms";
       },
       "≤ 2 ms p99"},
      {"server: report → its event at the last of 50 WebSocket clients (1000 /s for 5 s), p50 / "
       "p99, events each",
       [](const Results& r) {
         const std::string run = "BM_ReportsToEventClients/iterations:1/real_time";
         return Fixed(Counter(r, run, "p50_ms"), 2) + " ms / " +
                Fixed(Counter(r, run, "p99_ms"), 2) + " ms, at least " +
                Fixed(Counter(r, run, "fewest_events_per_client"), 0) + " of " +
                Fixed(Counter(r, run, "reports_sent"), 0);
       },
       "≤ 5 ms p99, every one"},
      {"server: CPU while idle, 50 WebSocket clients connected (5 s)",
       [](const Results& r) {
         return Fixed(Counter(r, "BM_IdleCpu/iterations:1/real_time", "cpu_percent"), 1) + " %";
       },
       "≈ 0 %"},
      {"server: memory at the end, VmHWM / VmRSS",
       [](const Results& r) {
         const std::string run = "BM_ServerMemory/iterations:1/real_time";
         return Fixed(Counter(r, run, "vmhwm_mib"), 1) + " MiB / " +
                Fixed(Counter(r, run, "vmrss_mib"), 1) + " MiB";
       },
       "≤ 60 MiB"},
  };
  return rows;
}

// The first line of a file that starts with the key, after the key.
std::string Field(const char* file, const std::string& key) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) {
      std::string value = line.substr(key.size());
      std::erase(value, '"');
      const std::size_t start = value.find_first_not_of(" \t:");
      return start == std::string::npos ? "unknown" : value.substr(start);
    }
  }
  return "unknown";
}

}  // namespace

int main() {
  const fs::path directory = fs::canonical("/proc/self/exe").parent_path();
  Results results;
  bool allRan = true;
  for (const char* program :
       {"quintara-bench-search", "quintara-bench-viewer", "quintara-bench-preview",
        "quintara-bench-panel", "quintara-bench-startup", "quintara-bench-matrix",
        "quintara-bench-server"}) {
    allRan = RunBenchmark(directory / program, results) && allRan;
  }
  std::cout << "Measured on: " << Field("/proc/cpuinfo", "model name") << ", "
            << std::thread::hardware_concurrency() << " cores, "
            << Field("/etc/os-release", "PRETTY_NAME=") << "\n\n"
            << "| Figure | Measured | Target |\n|---|---|---|\n";
  for (const Row& row : Rows()) {
    std::cout << "| " << row.figure << " | " << row.measured(results) << " | " << row.target
              << " |\n";
  }
  return allRan ? 0 : 1;
}
