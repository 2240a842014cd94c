#include "server/hub/DeviceHub.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/Cli.h"
#include "cli/PresetCli.h"
#include "cli/SettingsFiles.h"
#include "cli/ViewerCli.h"
#include "core/link/ControlFrame.h"
#include "core/text/TextCodec.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusReports.h"
#include "core/viewer/state/PreviewScene.h"
#include "core/viewer/state/ViewerRefresh.h"
#include "server/hub/PreviewDocument.h"

namespace quintara::server {
namespace {

using cli::Json;

// Words of the command line that have a route of their own, or no meaning for a service.
struct RefusedWord {
  std::string_view word;
  std::string_view why;
};
constexpr RefusedWord kRefusedWords[] = {
    {"watch", "the reports come over the events socket: GET /api/v1/events"},
    {"export", "settings files are read and written at /api/v1/devices/{id}/settings"},
    {"import", "settings files are read and written at /api/v1/devices/{id}/settings"},
    {"help", "the commands are listed in /api/v1/openapi.json"},
    {"discover", "searches are started with POST /api/v1/search"},
    {"ports", "the service's link is set when it starts"},
};

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  char pair[3];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    text += pair;
  }
  return text;
}

// Stable across searches: the device's type and identity (its address only tells twins apart).
std::string IdOf(const DeviceEntry& entry) {
  return Hex(std::span(&entry.DeviceType, 1)) + "-" + Hex(entry.DeviceIdentity);
}

// The list line is the name, "_" and the address.
std::string NameOf(const DeviceSession& session) {
  const std::string& line = session.ListLine();
  const std::string suffix = "_" + session.Entry().AddressText();
  return line.ends_with(suffix) ? line.substr(0, line.size() - suffix.size()) : line;
}

constexpr std::string_view kNoPresetFolder =
    "the service has no presets folder: start it with --preset-dir DIR";

Json Error(std::string message) {
  return {{"ok", false}, {"error", std::move(message)}};
}

// Every document the command printed, one a line: one alone, or a list.
Json Results(const std::string& output) {
  std::vector<Json> documents;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) {
      documents.push_back(Json::parse(line, nullptr, false));
    }
  }
  if (documents.empty()) {
    return nullptr;
  }
  return documents.size() == 1 ? documents.front() : Json(documents);
}

// What the exit status of a command means for the request.
int HttpStatusOf(int exitStatus, const RequestContext& context) {
  switch (exitStatus) {
    case cli::kExitSuccess:
      return 200;
    case cli::kExitUsage:
      return 400;
    case cli::kExitNoDevice:
      return context.LastResult() == CommandResult::RefusedLocked ? 409 : 504;
    case cli::kExitLinkSetup:
      return 503;
    case cli::kExitNotApplied:
      return 409;
    default:
      return 500;
  }
}

HubAnswer AnswerOf(int exitStatus, const RequestContext& context) {
  const int status = HttpStatusOf(exitStatus, context);
  Json body = status == 200 ? Json{{"ok", true}} : Error(context.Problems());
  if (Json results = Results(context.Output()); !results.is_null()) {
    body["result"] = std::move(results);
  }
  return {status, std::move(body)};
}

}  // namespace

std::optional<std::vector<std::string>> CommandLineWords(const DeviceSession& device,
                                                         const std::vector<std::string>& words,
                                                         std::string& refusal) {
  if (words.empty()) {
    refusal = "args names no command";
    return std::nullopt;
  }
  for (const RefusedWord& refused : kRefusedWords) {
    if (words.front() == refused.word) {
      refusal = std::string(refused.word) + ": " + std::string(refused.why);
      return std::nullopt;
    }
  }
  std::vector<std::string> full = words;
  const DeviceKindInfo* kind = device.Kind();
  const bool deviceWide =
      words.front() == "lock" || words.front() == "name" || words.front() == "network";
  if (!deviceWide && kind != nullptr) {
    full.insert(full.begin(), std::string(kind->commandWord));
  }
  return full;
}

DeviceHub::DeviceHub(const GlobalOptions& options, const LinkTiming& timing, Publish publish)
    : options_(options),
      publish_(std::move(publish)),
      controller_(options.link, timing, clock_, prompter_, quiet_) {
  options_.json = true;
  if (options.presetDir) {
    presets_.emplace(*options.presetDir);
  } else if (std::optional<std::filesystem::path> folder = DefaultPresetFolder()) {
    presets_.emplace(std::move(*folder));
  }
  controller_.SetDiagnostics(options.verbose ? std::cerr : unheardDiagnostics_);
}

DeviceHub::~DeviceHub() {
  Stop();
}

bool DeviceHub::Start(std::string& error) {
  if (options_.serialPort) {
    controller_.SetLinkKind(LinkKind::Serial);
    if (!controller_.OpenSelectedPort(*options_.serialPort, options_.baud)) {
      error = "cannot open serial port " + *options_.serialPort;
      return false;
    }
  } else {
    statusSocket_ = controller_.Network().OpenStatusSocket();
    if (!statusSocket_) {
      error = "cannot listen for status reports on port " +
              std::to_string(options_.link.statusPort) + ": " +
              controller_.Network().SetupFailure();
      return false;
    }
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

void DeviceHub::Stop() {
  if (!thread_.joinable()) {
    return;
  }
  tasks_.Post([this] { stopping_ = true; });
  thread_.join();
}

void DeviceHub::Run() {
  using Steady = std::chrono::steady_clock;
  const std::chrono::seconds interval(options_.server.searchIntervalSeconds);
  Search();
  Steady::time_point nextSearch = Steady::now() + interval;
  while (!stopping_) {
    // Without searches at an interval, the thread sleeps until work is posted.
    const Steady::time_point wake =
        interval.count() > 0 ? nextSearch : Steady::now() + std::chrono::hours(24);
    tasks_.RunOne(wake);
    if (interval.count() > 0 && Steady::now() >= nextSearch && !stopping_) {
      Search();
      nextSearch = Steady::now() + interval;
    }
  }
  if (listener_) {
    listener_->Stop();
  }
  tasks_.RunPending();  // what the listener handed over finds its sessions still here
  for (Held& held : held_) {
    held.session->SetObserver(nullptr);
  }
  held_.clear();
}

void DeviceHub::Search() {
  controller_.Search();
  // The devices found, under their ids; a device found again keeps its session and its id.
  std::vector<Held> found;
  const DeviceDirectory& devices = controller_.Devices();
  for (std::size_t i = 0; i < devices.Table().Count(); ++i) {
    std::shared_ptr<DeviceSession> session = controller_.SessionFor(static_cast<int>(i));
    std::string id = IdOf(session->Entry());
    if (std::ranges::any_of(found, [&id](const Held& held) { return held.id == id; })) {
      id += "-" + session->Entry().AddressText();
    }
    found.push_back({std::move(id), std::move(session), nullptr});
  }
  const auto same = [](const Held& a, const Held& b) {
    return a.id == b.id && a.session == b.session;
  };
  for (Held& held : held_) {
    const auto kept = std::ranges::find_if(found, [&](const Held& now) { return same(now, held); });
    if (kept == found.end()) {
      held.session->SetObserver(nullptr);  // its name field goes with it
      PublishEvent({{"event", "lost"}, {"device", held.id}});
    } else {
      kept->names = std::move(held.names);
    }
  }
  held_ = std::move(found);
  for (Held& held : held_) {
    if (!held.names) {
      held.names = std::make_unique<cli::NameFieldRecorder>();
      held.session->SetObserver(held.names.get());
      Follow(held);
      PublishEvent({{"event", "found"}, {"device", DeviceDocument(held)}});
    }
  }
  RefreshSnapshot();
}

void DeviceHub::Follow(Held& held) {
  DeviceSession& session = *held.session;
  const DeviceKindInfo* kind = session.Kind();
  if (kind == nullptr || !kind->reportsChanges) {
    return;
  }
  if (ReadBack(session) == ExchangeOutcome::Answered) {
    RefreshSwitcherGrid(session.Viewer());
    RefreshAll(session.Viewer());
  }
  if (!statusSocket_ && !listener_) {
    return;  // reports come over the network only
  }
  auto hook = [this, id = held.id](std::span<const std::uint8_t> report, bool applied) {
    OnReport(id, report, applied);
  };
  if (!listener_) {
    listener_ = std::make_unique<StatusListener>(session, std::move(*statusSocket_), tasks_);
    statusSocket_.reset();
    listener_->SetReportHook(hook);
    listener_->Start();
  } else {
    static_cast<void>(listener_->Follow(session, hook));
  }
}

void DeviceHub::OnReport(const std::string& id, std::span<const std::uint8_t> report,
                         bool applied) {
  Json event = cli::ReportDocument(report, applied);
  event["event"] = "report";
  event["device"] = id;
  PublishEvent(std::move(event));
  // The listener reads the state again right after this hook, on this thread: the state event
  // follows once that is done.
  if (applied && IsReReadReport(report[frame::kCommandCodeOffset])) {
    tasks_.Post([this, id] { PublishState(id); });
  }
}

void DeviceHub::PublishState(const std::string& id) {
  if (const Held* held = Find(id)) {
    // The derived texts follow the image now rather than after the device's settling pause.
    RefreshSwitcherGrid(held->session->Viewer());
    RefreshAll(held->session->Viewer());
    PublishEvent({{"event", "state"}, {"device", id}, {"state", MultiviewerState(*held)}});
  }
}

DeviceHub::Held* DeviceHub::Find(const std::string& id) {
  const auto held = std::ranges::find(held_, id, &Held::id);
  return held == held_.end() ? nullptr : &*held;
}

Json DeviceHub::DeviceDocument(const Held& held) const {
  const DeviceSession& session = *held.session;
  const DeviceKindInfo* kind = session.Kind();
  const std::string address = session.Entry().AddressText();
  return {{"id", held.id},
          {"type", kind != nullptr ? std::string(kind->name) : "unknown"},
          {"name", NameOf(session)},
          {"address", address.empty() && options_.serialPort ? *options_.serialPort : address},
          {"locked", session.Locked()}};
}

Json DeviceHub::MultiviewerState(const Held& held) const {
  Json state = cli::ViewerStateDocument(*held.session, held.names->name);
  state["LockState"] = held.session->LockState();
  return state;
}

HubAnswer DeviceHub::ListDevices() const {
  Json devices = Json::array();
  for (const Held& held : held_) {
    devices.push_back(DeviceDocument(held));
  }
  return {200, {{"devices", std::move(devices)}}};
}

std::string DeviceHub::DevicesSnapshot() const {
  const std::lock_guard lock(snapshotMutex_);
  return snapshot_;
}

void DeviceHub::RefreshSnapshot() {
  Json event = ListDevices().body;
  event["event"] = "devices";
  const std::lock_guard lock(snapshotMutex_);
  snapshot_ = event.dump();
}

HubAnswer DeviceHub::DeviceState(const std::string& id) {
  Held* held = Find(id);
  if (held == nullptr) {
    return {404, Error("no device " + id)};
  }
  Json document = DeviceDocument(*held);
  if (held->session->Kind() != nullptr && held->session->Kind()->commandWord == "mv") {
    document["state"] = MultiviewerState(*held);
    return {200, std::move(document)};
  }
  Json state = Json::object();
  for (const char* word : {"status", "backlight"}) {
    HubAnswer read = RunWords(*held, {"matrix", word}, options_);
    if (read.status != 200) {
      return read;
    }
    state.update(read.body["result"]);
  }
  document["state"] = std::move(state);
  return {200, std::move(document)};
}

HubAnswer DeviceHub::Preview(const std::string& id) {
  Held* held = Find(id);
  if (held == nullptr) {
    return {404, Error("no device " + id)};
  }
  const DeviceKindInfo* kind = held->session->Kind();
  if (kind == nullptr || kind->kind != DeviceKind::Multiviewer) {
    return {400, Error("the device is not a multiviewer: it has no preview")};
  }
  ViewerState& viewer = held->session->Viewer();
  const bool switcherGrid = viewer.SwitcherMode == 1;
  if (switcherGrid) {
    RefreshSwitcherGrid(viewer);
  }
  return {200,
          PreviewDocument(ScenePreview(viewer, switcherGrid), viewer.LayoutCode, switcherGrid)};
}

HubAnswer DeviceHub::RunCommand(const std::string& id, const std::vector<std::string>& words) {
  Held* held = Find(id);
  if (held == nullptr) {
    return {404, Error("no device " + id)};
  }
  std::string refusal;
  const std::optional<std::vector<std::string>> full =
      CommandLineWords(*held->session, words, refusal);
  if (!full) {
    return {400, Error(refusal)};
  }
  HubAnswer answer = RunWords(*held, *full, options_);
  const auto result = answer.body.find("result");
  if (answer.status == 200 && result != answer.body.end() && result->contains("sent")) {
    PublishChange(id, (*result)["sent"].get<std::string>());
  }
  return answer;
}

HubAnswer DeviceHub::ExportSettings(const std::string& id) {
  Held* held = Find(id);
  if (held == nullptr) {
    return {404, Error("no device " + id)};
  }
  const cli::SettingsFileCommands* files = cli::SettingsFilesOf(held->session->Kind());
  if (files == nullptr) {
    return {400, Error("the device has no settings file")};
  }
  RequestContext context(options_, controller_, *held->session, prompter_);
  const int status = files->exportTo(context, {std::string(files->word), "export"});
  if (status != cli::kExitSuccess) {
    return AnswerOf(status, context);
  }
  // The document itself, as the file would hold it.
  return {200, Json::parse(context.Output(), nullptr, false)};
}

HubAnswer DeviceHub::ImportSettings(const std::string& id, const std::string& document,
                                    bool dryRun) {
  Held* held = Find(id);
  if (held == nullptr) {
    return {404, Error("no device " + id)};
  }
  const cli::SettingsFileCommands* files = cli::SettingsFilesOf(held->session->Kind());
  if (files == nullptr) {
    return {400, Error("the device has no settings file")};
  }
  return Apply(*held, dryRun, "ImportSettings", [&](RequestContext& context) {
    return files->importText(context, "the request", document);
  });
}

HubAnswer DeviceHub::ListPresets() const {
  if (!presets_) {
    return {503, Error(std::string(kNoPresetFolder))};
  }
  std::string problem;
  std::optional<Json> presets = cli::PresetsDocument(*presets_, problem);
  if (!presets) {
    return {503, Error(problem)};
  }
  return {200, std::move(*presets)};
}

HubAnswer DeviceHub::SavePreset(const std::string& id, const std::string& name) {
  Held* held = Find(id);
  if (held == nullptr) {
    return {404, Error("no device " + id)};
  }
  if (!presets_) {
    return {503, Error(std::string(kNoPresetFolder))};
  }
  RequestContext context(options_, controller_, *held->session, prompter_);
  return AnswerOf(cli::SavePreset(context, *presets_, name), context);
}

HubAnswer DeviceHub::RecallPreset(const std::string& id, const std::string& name, bool dryRun) {
  Held* held = Find(id);
  if (held == nullptr) {
    return {404, Error("no device " + id)};
  }
  if (!presets_) {
    return {503, Error(std::string(kNoPresetFolder))};
  }
  return Apply(*held, dryRun, "RecallPreset", [&](RequestContext& context) {
    return cli::RecallPreset(context, *presets_, name);
  });
}

HubAnswer DeviceHub::Apply(Held& held, bool dryRun, const std::string& what,
                           const std::function<int(RequestContext&)>& apply) {
  GlobalOptions options = options_;
  options.dryRun = dryRun;
  RequestContext context(options, controller_, *held.session, prompter_);
  const int status = apply(context);
  if (status == cli::kExitSuccess && !dryRun) {
    PublishChange(held.id, what);
  }
  return AnswerOf(status, context);
}

HubAnswer DeviceHub::DeletePreset(const std::string& name) {
  if (!presets_) {
    return {503, Error(std::string(kNoPresetFolder))};
  }
  if (const std::optional<std::string> failure = presets_->Delete(name)) {
    return {404, Error(*failure)};
  }
  return {200, {{"ok", true}, {"deleted", name}}};
}

HubAnswer DeviceHub::OnEachDevice(const std::vector<std::string>& ids,
                                  const std::function<HubAnswer(const std::string& id)>& work) {
  Json devices = Json::array();
  int worst = 200;
  for (const std::string& id : ids) {
    HubAnswer answer = work(id);
    worst = std::max(worst, answer.status);
    Json entry{{"device", id}, {"status", answer.status}};
    entry.update(answer.body);
    devices.push_back(std::move(entry));
  }
  return {worst, {{"ok", worst == 200}, {"devices", std::move(devices)}}};
}

HubAnswer DeviceHub::SearchNow() {
  Search();
  return ListDevices();
}

HubAnswer DeviceHub::RunWords(Held& held, const std::vector<std::string>& words,
                              const GlobalOptions& options) {
  RequestContext context(options, controller_, *held.session, prompter_);
  try {
    return AnswerOf(cli::RunDeviceCommandWords(context, *held.names, words), context);
  } catch (const cli::UsageError& error) {
    return {400, Error(error.message)};
  }
}

void DeviceHub::PublishChange(const std::string& id, const std::string& sent) {
  PublishEvent({{"event", "changed"}, {"device", id}, {"sent", sent}});
  const std::string listed = DevicesSnapshot();
  RefreshSnapshot();
  if (const std::string relisted = DevicesSnapshot(); relisted != listed && publish_) {
    publish_(relisted);  // a lock or a name changed
  }
}

void DeviceHub::PublishEvent(Json event) const {
  if (publish_) {
    publish_(event.dump());
  }
}

}  // namespace quintara::server
