// quintara-server as it runs, a process of its own before 100 simulated multiviewers on loopback
// (127.0.1.1-100): a command request to its datagram at the device, reports to 50 event-socket
// clients, its CPU while idle and its memory at the end. The benchmarks run in that order on one
// server, so the last two see what the first two left.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/BenchSupport.h"
#include "cli/Json.h"
#include "core/link/ControlFrame.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimUdpServer.h"
#include "support/HttpClient.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using SteadyClock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kDevices = 100;
constexpr int kClients = 50;
constexpr int kCommands = 1000;
constexpr int kReports = 5000;  // 1 ms apart: 1000 a second for 5 s
constexpr auto kReportPace = std::chrono::milliseconds(1);
constexpr auto kIdle = std::chrono::seconds(5);
constexpr int kSearches = 5;
// Every wait of the bench ends by then, whatever the server does.
constexpr auto kPatience = std::chrono::seconds(60);

Ipv4Address DeviceAddress(int device) {
  return {{127, 0, 1, static_cast<std::uint8_t>(device + 1)}};
}

std::array<std::uint8_t, 4> DeviceIdentity(int device) {
  return {0x51, 0x54, 0x00, static_cast<std::uint8_t>(device + 1)};
}

// The server's id of the device: type, then identity, in hex.
std::string DeviceId(int device) {
  char id[16];
  std::snprintf(id, sizeof id, "a1-515400%02x", device + 1);
  return id;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) {
    return -1;
  }
  std::ranges::sort(values);
  const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size()));
  return values[std::min(at, values.size() - 1)];
}

// The hundred multiviewers, all on one device port and reporting to the server's status port.
// Each SetLayout frame's arrival is noted by the serving thread as it comes.
struct Lan {
  Lan() {
    link.bindAddress = Ipv4Address::Loopback();
    link.devicePort = bench::FreePort();
    link.localPort = bench::FreePort();
    link.statusPort = bench::FreePort();
    for (int device = 0; device < kDevices; ++device) {
      sim::SimDeviceConfig config = sim::SimDeviceConfig::Of(
          sim::DeviceKind::Multiviewer, {DeviceAddress(device), link.devicePort});
      config.DeviceIdentity = DeviceIdentity(device);
      config.statusPort = link.statusPort;
      devices.push_back(std::make_shared<sim::SimMultiviewer>(config));
      if (const std::string error = server.Add(devices.back()); !error.empty()) {
        throw std::runtime_error(error);
      }
    }
    server.SetMessageHook([this](const sim::SimDevice& device, const sim::ReceivedMessage& got) {
      if (got.bytes.size() > frame::kCommandCodeOffset &&
          got.bytes[frame::kCommandCodeOffset] == ViewerCode::SetLayout) {
        layoutArrivals[device.Config().DeviceIdentity[3] - 1] = SteadyClock::now();
      }
    });
    server.Start();
  }
  ~Lan() { server.Stop(); }

  // When the device's latest SetLayout frame came, once it came after the time given (the
  // device records a frame a moment before its arrival is noted).
  std::optional<SteadyClock::time_point> LayoutArrivalAfter(int device,
                                                            SteadyClock::time_point after) const {
    const auto deadline = SteadyClock::now() + std::chrono::seconds(5);
    for (;;) {
      const SteadyClock::time_point arrival =
          layoutArrivals[static_cast<std::size_t>(device)].load();
      if (arrival >= after) {
        return arrival;
      }
      if (SteadyClock::now() > deadline) {
        return std::nullopt;
      }
      std::this_thread::yield();
    }
  }

  LinkConfig link;
  std::vector<std::shared_ptr<sim::SimMultiviewer>> devices;
  std::array<std::atomic<SteadyClock::time_point>, kDevices> layoutArrivals{};
  sim::SimUdpServer server;
};

// quintara-server as a child process, on the Lan's ports. Stopped with SIGTERM when destroyed
// (SIGKILL if it lingers), and sent SIGTERM by the kernel should this process die first.
class ServerProcess {
 public:
  explicit ServerProcess(const LinkConfig& link) {
    // Made before the fork: the child of a process with threads may only exec.
    std::vector<std::string> args = Arguments(link);
    std::vector<char*> argv;
    for (std::string& arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    std::array<int, 2> out{};
    if (pipe(out.data()) != 0) {
      return;
    }
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) {
        _exit(127);
      }
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      execv(QUINTARA_SERVER, argv.data());
      _exit(127);
    }
    close(out[1]);
    out_ = out[0];
    if (pid_ > 0) {
      port_ = ReadPort();
    }
  }
  ~ServerProcess() {
    Stop();
    if (out_ >= 0) {
      close(out_);
    }
  }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  pid_t Pid() const { return pid_; }
  // The HTTP port it serves on; 0 when it did not come to serve.
  std::uint16_t Port() const { return port_; }

 private:
  static std::vector<std::string> Arguments(LinkConfig link) {
    link.searchTargets.clear();
    for (int device = 0; device < kDevices; ++device) {
      link.searchTargets.push_back(DeviceAddress(device));
    }
    std::vector<std::string> args{QUINTARA_SERVER};
    const std::vector<std::string> onTheLink = test::LinkArguments(link);
    args.insert(args.end(), onTheLink.begin(), onTheLink.end());
    args.insert(args.end(), {"--listen", "127.0.0.1:0", "--search-interval", "0"});
    return args;
  }

  // From the line "quintara-server serving http://127.0.0.1:PORT/api/v1" on its stdout.
  std::uint16_t ReadPort() const {
    constexpr std::string_view kServing = "serving http://127.0.0.1:";
    const auto deadline = SteadyClock::now() + kPatience;
    std::string text;
    while (SteadyClock::now() < deadline) {
      pollfd ready{out_, POLLIN, 0};
      if (poll(&ready, 1, 100) > 0) {
        std::array<char, 256> chunk{};
        const ssize_t n = read(out_, chunk.data(), chunk.size());
        if (n <= 0) {
          return 0;  // it ended before serving
        }
        text.append(chunk.data(), static_cast<std::size_t>(n));
      }
      const std::size_t at = text.find(kServing);
      const std::size_t end = at == std::string::npos ? at : text.find('/', at + kServing.size());
      if (end != std::string::npos) {
        std::uint16_t port = 0;
        std::from_chars(text.data() + at + kServing.size(), text.data() + end, port);
        return port;
      }
    }
    return 0;
  }

  void Stop() {
    if (pid_ <= 0) {
      return;
    }
    kill(pid_, SIGTERM);
    int status = 0;
    const auto deadline = SteadyClock::now() + std::chrono::seconds(10);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (SteadyClock::now() > deadline) {
        std::cerr << "quintara-server did not stop within 10 s of SIGTERM: killed\n";
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::cerr << "quintara-server ended with status " << status << " after SIGTERM\n";
    }
    pid_ = -1;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::uint16_t port_ = 0;
};

// A report the bench sends, by its device, window and input.
int ReportKey(int device, int window, int input) {
  return (device * 16 + window - 1) * 16 + input - 1;
}

// The number after the first occurrence of key in a JSON text; -1 without one.
int NumberAfter(std::string_view text, std::string_view key, int base = 10) {
  const std::size_t at = text.find(key);
  int value = -1;
  if (at != std::string_view::npos) {
    const char* first = text.data() + at + key.size();
    std::from_chars(first, text.data() + text.size(), value, base);
  }
  return value;
}

// The ReportKey of a report event, -1 for other events. Read from the text as it stands, without
// a parse: 50 readers on two cores would take the CPU the server is measured with. A window
// source report's values are input, window.
int EventKey(std::string_view event) {
  if (event.find(R"("event":"report")") == std::string_view::npos ||
      NumberAfter(event, R"("code":)") != ViewerCode::SetWindowSource) {
    return -1;
  }
  const int device = NumberAfter(event, R"("device":"a1-515400)", 16) - 1;
  const std::size_t values = event.find(R"("values":[)");
  if (device < 0 || device >= kDevices || values == std::string_view::npos) {
    return -1;
  }
  const std::string_view list = event.substr(values);
  const int input = NumberAfter(list, "[");
  const int window = NumberAfter(list, ",");
  return input < 1 || window < 1 ? -1 : ReportKey(device, window, input);
}

struct Arrival {
  SteadyClock::time_point at;
  int key;  // EventKey
};

// Clients of the event socket, each reading on a thread of its own and noting what came when.
class Audience {
 public:
  Audience(std::uint16_t port, int clients) {
    for (int n = 0; n < clients; ++n) {
      auto listener = std::make_unique<Listener>(port);
      // The first message is the devices the server holds.
      if (!listener->client.Connected() ||
          !listener->client.Next(
              std::chrono::duration_cast<std::chrono::milliseconds>(kPatience))) {
        return;
      }
      listeners_.push_back(std::move(listener));
    }
    for (const auto& listener : listeners_) {
      listener->reader = std::thread([this, &l = *listener] { Read(l); });
    }
  }
  ~Audience() {
    stopping_ = true;
    for (const auto& listener : listeners_) {
      if (listener->reader.joinable()) {
        listener->reader.join();
      }
    }
  }
  Audience(const Audience&) = delete;
  Audience& operator=(const Audience&) = delete;

  std::size_t Greeted() const { return listeners_.size(); }
  std::size_t StillConnected() const {
    return static_cast<std::size_t>(
        std::ranges::count_if(listeners_, [](const auto& l) { return l->connected.load(); }));
  }
  // What each client got since the last call.
  std::vector<std::vector<Arrival>> Take() {
    std::vector<std::vector<Arrival>> taken;
    for (const auto& listener : listeners_) {
      const std::lock_guard lock(listener->mutex);
      taken.push_back(std::exchange(listener->arrivals, {}));
    }
    return taken;
  }
  // Of the reports each client got since the last Take, the fewest.
  std::size_t FewestReports() const {
    std::size_t fewest = SIZE_MAX;
    for (const auto& listener : listeners_) {
      const std::lock_guard lock(listener->mutex);
      fewest =
          std::min(fewest, static_cast<std::size_t>(std::ranges::count_if(
                               listener->arrivals, [](const Arrival& a) { return a.key >= 0; })));
    }
    return listeners_.empty() ? 0 : fewest;
  }

 private:
  struct Listener {
    explicit Listener(std::uint16_t port) : client(port, "/api/v1/events") {}
    test::EventClient client;
    std::atomic<bool> connected{true};
    mutable std::mutex mutex;
    std::vector<Arrival> arrivals;
    std::thread reader;
  };

  void Read(Listener& listener) {
    while (!stopping_ && listener.connected) {
      if (const std::optional<std::string> event =
              listener.client.Next(std::chrono::milliseconds(100))) {
        const Arrival arrival{SteadyClock::now(), EventKey(*event)};
        const std::lock_guard lock(listener.mutex);
        listener.arrivals.push_back(arrival);
      } else {
        listener.connected = listener.client.Connected();
      }
    }
  }

  std::vector<std::unique_ptr<Listener>> listeners_;
  std::atomic<bool> stopping_{false};
};

// How many devices the server lists after a GET /api/v1/devices or POST /api/v1/search.
int ListedDevices(std::uint16_t port, const std::string& method, const std::string& target) {
  const test::HttpResult answer = test::Http(method, port, target);
  const cli::Json list = cli::Json::parse(answer.body, nullptr, false);
  return answer.status == 200 && list.contains("devices") ? static_cast<int>(list["devices"].size())
                                                          : -1;
}

// The devices and the server, once it lists every device; audience only once a benchmark asks.
struct Rig {
  Rig() {
    if (server.Port() == 0) {
      problem = "quintara-server did not come to serve";
      return;
    }
    // Answered once the first search and the read-backs after it have ended. A search pauses
    // 20 ms after each answer within its 2 s window, so a hundred devices fill it: under load the
    // last may miss it, and is found by a search asked for again.
    int listed = ListedDevices(server.Port(), "GET", "/api/v1/devices");
    for (searches = 1; listed != kDevices && searches < kSearches; ++searches) {
      listed = ListedDevices(server.Port(), "POST", "/api/v1/search");
    }
    if (listed != kDevices) {
      problem = "quintara-server lists " + std::to_string(listed) + " of the " +
                std::to_string(kDevices) + " devices";
    }
  }

  Audience& Clients() {
    if (!audience) {
      audience = std::make_unique<Audience>(server.Port(), kClients);
    }
    return *audience;
  }

  Lan lan;
  ServerProcess server{lan.link};
  std::string problem;                 // why the benchmarks cannot run; empty when they can
  int searches = 0;                    // the server's searches until it listed every device
  std::unique_ptr<Audience> audience;  // stopped before the server
};

std::unique_ptr<Rig>& TheRig() {
  static std::unique_ptr<Rig> rig;
  return rig;
}

// The rig, started on first use; nothing (and the benchmark skipped) when it cannot serve.
Rig* ReadyRig(benchmark::State& state) {
  std::unique_ptr<Rig>& rig = TheRig();
  if (!rig) {
    try {
      rig = std::make_unique<Rig>();
    } catch (const std::exception& error) {  // a device could not listen
      state.SkipWithError(error.what());
      return nullptr;
    }
  }
  if (!rig->problem.empty()) {
    state.SkipWithError(rig->problem.c_str());
    return nullptr;
  }
  return rig.get();
}

// The fields of /proc/PID/stat after the command's name, from the process state on.
std::vector<std::string> StatFields(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  const std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::istringstream rest(stat.substr(std::min(stat.size(), stat.rfind(')') + 1)));
  std::vector<std::string> fields;
  for (std::string field; rest >> field;) {
    fields.push_back(field);
  }
  return fields;
}

// User and system CPU time of the process, in seconds.
double CpuSeconds(pid_t pid) {
  const std::vector<std::string> fields = StatFields(pid);
  constexpr std::size_t kUtime = 11;  // fields 14 and 15 of the file
  if (fields.size() <= kUtime + 1) {
    return -1;
  }
  const double ticks = std::stod(fields[kUtime]) + std::stod(fields[kUtime + 1]);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Each request, from just before it is written to its SetLayout frame at the device (and to its
// answer), on one keep-alive connection; the layout alternates at each request and device.
void BM_CommandToDatagram(benchmark::State& state) {
  Rig* rig = ReadyRig(state);
  if (rig == nullptr) {
    return;
  }
  test::HttpClient client(rig->server.Port());
  std::vector<double> toDatagramMs;
  std::vector<double> toAnswerMs;
  int request = 0;
  for (auto _ : state) {
    const int device = request % kDevices;
    const char* layout = (request + request / kDevices) % 2 == 0 ? "60" : "90";
    const sim::SimMultiviewer& target = *rig->lan.devices[static_cast<std::size_t>(device)];
    const std::size_t before = target.ReceivedFrames(ViewerCode::SetLayout).size();
    const std::string body = std::string(R"({"args":["layout",")") + layout + R"("]})";
    const auto written = SteadyClock::now();
    const test::HttpResult answer =
        client.Request("POST", "/api/v1/devices/" + DeviceId(device) + "/command", body);
    const auto answered = SteadyClock::now();
    const std::optional<SteadyClock::time_point> arrival =
        target.WaitForFrames(ViewerCode::SetLayout, before + 1, std::chrono::seconds(5))
            ? rig->lan.LayoutArrivalAfter(device, written)
            : std::nullopt;
    if (answer.status != 200 || !arrival) {
      state.SkipWithError(("no SetLayout at the device: " + std::to_string(answer.status) + " " +
                           answer.body + answer.error)
                              .c_str());
      break;
    }
    toDatagramMs.push_back(Milliseconds(*arrival - written).count());
    toAnswerMs.push_back(Milliseconds(answered - written).count());
    ++request;
  }
  state.counters["p50_ms"] = Percentile(toDatagramMs, 0.50);
  state.counters["p99_ms"] = Percentile(toDatagramMs, 0.99);
  state.counters["answer_p50_ms"] = Percentile(toAnswerMs, 0.50);
  state.counters["answer_p99_ms"] = Percentile(toAnswerMs, 0.99);
  state.counters["searches"] = rig->searches;
}
BENCHMARK(BM_CommandToDatagram)
    ->Iterations(kCommands)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Window source changes on the devices' front panels, 1 ms apart, each device in turn; each
// report's latency is from its change to its event at the last of the clients.
void BM_ReportsToEventClients(benchmark::State& state) {
  Rig* rig = ReadyRig(state);
  if (rig == nullptr) {
    return;
  }
  Audience& audience = rig->Clients();
  if (audience.Greeted() != kClients) {
    state.SkipWithError("not every client was greeted on the event socket");
    return;
  }
  for (auto _ : state) {
    audience.Take();
    const double cpuStart = CpuSeconds(rig->server.Pid());
    std::vector<SteadyClock::time_point> sentAt(kReports);
    std::vector<int> reportOfKey(static_cast<std::size_t>(ReportKey(kDevices, 1, 1)), -1);
    const auto start = SteadyClock::now();
    for (int n = 0; n < kReports; ++n) {
      const int device = n % kDevices;
      const int round = n / kDevices;  // under 256, so each report of a device differs
      const int window = round % 16 + 1;
      const int input = round / 16 + 1;
      reportOfKey[static_cast<std::size_t>(ReportKey(device, window, input))] = n;
      std::this_thread::sleep_until(start + n * kReportPace);
      sentAt[static_cast<std::size_t>(n)] = SteadyClock::now();
      rig->lan.devices[static_cast<std::size_t>(device)]->SetWindowSource(
          static_cast<std::uint8_t>(window), static_cast<std::uint8_t>(input));
    }
    const auto runEnd = SteadyClock::now();
    const auto deadline = runEnd + std::chrono::seconds(5);
    while (audience.FewestReports() < kReports && SteadyClock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::vector<SteadyClock::time_point> firstArrival(kReports, SteadyClock::time_point::max());
    std::vector<SteadyClock::time_point> lastArrival(kReports);
    std::vector<int> clientsReached(kReports, 0);
    std::size_t fewest = SIZE_MAX;
    std::size_t most = 0;
    for (const std::vector<Arrival>& arrivals : audience.Take()) {
      std::size_t reports = 0;
      for (const Arrival& arrival : arrivals) {
        if (arrival.key < 0 || reportOfKey[static_cast<std::size_t>(arrival.key)] < 0) {
          continue;
        }
        const auto n = static_cast<std::size_t>(reportOfKey[static_cast<std::size_t>(arrival.key)]);
        firstArrival[n] = std::min(firstArrival[n], arrival.at);
        lastArrival[n] = std::max(lastArrival[n], arrival.at);
        ++clientsReached[n];
        ++reports;
      }
      fewest = std::min(fewest, reports);
      most = std::max(most, reports);
    }
    std::vector<double> latencyMs;
    std::vector<double> firstMs;
    for (std::size_t n = 0; n < sentAt.size(); ++n) {
      if (clientsReached[n] == kClients) {
        latencyMs.push_back(Milliseconds(lastArrival[n] - sentAt[n]).count());
        firstMs.push_back(Milliseconds(firstArrival[n] - sentAt[n]).count());
      }
    }
    state.counters["p50_ms"] = Percentile(latencyMs, 0.50);
    state.counters["p99_ms"] = Percentile(latencyMs, 0.99);
    state.counters["max_ms"] = Percentile(latencyMs, 1.0);
    // To the first client: what the server's own path takes, without the wait for 49 others.
    state.counters["first_p50_ms"] = Percentile(firstMs, 0.50);
    state.counters["first_p99_ms"] = Percentile(firstMs, 0.99);
    state.counters["server_cpu_percent"] = (CpuSeconds(rig->server.Pid()) - cpuStart) /
                                           std::chrono::duration<double>(runEnd - start).count() *
                                           100.0;
    state.counters["reports_sent"] = kReports;
    state.counters["sent_per_s"] =
        (kReports - 1) / std::chrono::duration<double>(sentAt.back() - sentAt.front()).count();
    state.counters["fewest_events_per_client"] = static_cast<double>(fewest);
    state.counters["most_events_per_client"] = static_cast<double>(most);
    state.counters["reports_at_every_client"] = static_cast<double>(latencyMs.size());
    state.counters["clients_connected"] = static_cast<double>(audience.StillConnected());
  }
}
BENCHMARK(BM_ReportsToEventClients)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// With the clients connected and nothing happening, the server's CPU over five seconds.
void BM_IdleCpu(benchmark::State& state) {
  Rig* rig = ReadyRig(state);
  if (rig == nullptr) {
    return;
  }
  Audience& audience = rig->Clients();
  for (auto _ : state) {
    audience.Take();
    const double cpuStart = CpuSeconds(rig->server.Pid());
    const auto wallStart = SteadyClock::now();
    std::this_thread::sleep_for(kIdle);
    const double cpu = CpuSeconds(rig->server.Pid()) - cpuStart;
    const double wall = std::chrono::duration<double>(SteadyClock::now() - wallStart).count();
    std::size_t events = 0;
    for (const std::vector<Arrival>& arrivals : audience.Take()) {
      events += arrivals.size();
    }
    state.counters["cpu_percent"] = cpu / wall * 100.0;
    state.counters["cpu_ms"] = cpu * 1000.0;
    state.counters["events_while_idle"] = static_cast<double>(events);
    state.counters["clients_connected"] = static_cast<double>(audience.StillConnected());
  }
}
BENCHMARK(BM_IdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

double StatusMiB(pid_t pid, std::string_view field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(field)) {
      return std::stod(line.substr(field.size())) / 1024.0;
    }
  }
  return -1;
}

// After everything above: the server's peak and present resident memory.
void BM_ServerMemory(benchmark::State& state) {
  Rig* rig = ReadyRig(state);
  if (rig == nullptr) {
    return;
  }
  for (auto _ : state) {
    state.counters["vmhwm_mib"] = StatusMiB(rig->server.Pid(), "VmHWM:");
    state.counters["vmrss_mib"] = StatusMiB(rig->server.Pid(), "VmRSS:");
  }
}
BENCHMARK(BM_ServerMemory)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace quintara

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  quintara::TheRig().reset();  // the clients, then the server, then the devices
  benchmark::Shutdown();
  return 0;
}
