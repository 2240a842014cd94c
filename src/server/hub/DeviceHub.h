#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/Json.h"
#include "core/CommandLine.h"
#include "core/Controller.h"
#include "core/TaskQueue.h"
#include "core/platform/Clock.h"
#include "core/platform/UdpSocket.h"
#include "core/presets/PresetStore.h"
#include "core/viewer/protocol/StatusListener.h"
#include "server/hub/RequestContext.h"

namespace quintara::server {

// A request's command words as quintara-cli takes them for this device: "mv" or "matrix" put in
// front unless the command is the device's own (lock, name, network). Nothing, with the reason,
// for the words a service does not take (watch, files, searches, help).
std::optional<std::vector<std::string>> CommandLineWords(const DeviceSession& device,
                                                         const std::vector<std::string>& words,
                                                         std::string& refusal);

// A stream buffer that takes everything and keeps nothing.
class DroppedText final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// What a request asks of the devices, as an HTTP status and a JSON document.
struct HubAnswer {
  int status = 200;
  cli::Json body;
};

// Every device the service finds, on one link, worked from one thread of the hub's own: the
// searches (at start, on request and at an interval), a session per device with its mirror kept
// live by the one status listener, and the commands of requests, one at a time. The devices
// answer to one local port, so their exchanges take turns whatever thread asked; one thread
// also keeps each mirror written by one thread only. What happens to the devices is published
// as one JSON document an event.
class DeviceHub {
 public:
  // Called on the hub's thread with each event; must not block.
  using Publish = std::function<void(std::string event)>;

  DeviceHub(const GlobalOptions& options, const LinkTiming& timing, Publish publish);
  ~DeviceHub();
  DeviceHub(const DeviceHub&) = delete;
  DeviceHub& operator=(const DeviceHub&) = delete;

  // Opens what the link needs here (the serial port, the status socket) and starts the hub's
  // thread, which searches first. False, with the reason, when this machine's end of the link
  // cannot be had.
  bool Start(std::string& error);
  // Ends the thread once the work it is on has ended; idempotent.
  void Stop();
  // Runs the work on the hub's thread, after what was posted before it.
  void Post(std::function<void()> work) { tasks_.Post(std::move(work)); }

  // On the hub's thread.
  HubAnswer ListDevices() const;
  // The mirror as "mv state --json" prints it (with the device's id), or a switcher's status and
  // backlight read from it now.
  HubAnswer DeviceState(const std::string& id);
  // What a multiviewer's preview shows now (the switcher grid while it runs as a switcher).
  HubAnswer Preview(const std::string& id);
  // The words of one of quintara-cli's device commands, "mv" or "matrix" implied by the device.
  HubAnswer RunCommand(const std::string& id, const std::vector<std::string>& words);
  // A multiviewer's settings file, as "mv export" writes it.
  HubAnswer ExportSettings(const std::string& id);
  // A settings document applied as "mv import" applies a file (listed only when dryRun).
  HubAnswer ImportSettings(const std::string& id, const std::string& document, bool dryRun);
  // Searches now; the devices as they stand afterwards.
  HubAnswer SearchNow();

  // The presets ("preset list"); 503 when the service has no presets folder.
  HubAnswer ListPresets() const;
  // The device's settings kept as the preset name ("preset save").
  HubAnswer SavePreset(const std::string& id, const std::string& name);
  // The preset applied to the device ("preset recall"; listed only when dryRun).
  HubAnswer RecallPreset(const std::string& id, const std::string& name, bool dryRun);
  HubAnswer DeletePreset(const std::string& name);
  // The same work for each device in turn: every device's answer with its id and status, under
  // the highest of their statuses.
  HubAnswer OnEachDevice(const std::vector<std::string>& ids,
                         const std::function<HubAnswer(const std::string& id)>& work);

  // From any thread: the event a new event socket starts with, every device held as the hub's
  // thread last saw them.
  std::string DevicesSnapshot() const;

 private:
  struct Held {
    std::string id;
    std::shared_ptr<DeviceSession> session;
    std::unique_ptr<cli::NameFieldRecorder> names;
  };

  void Run();
  void Search();
  // Starts following a multiviewer found on the network and reads its state.
  void Follow(Held& held);
  void OnReport(const std::string& id, std::span<const std::uint8_t> report, bool applied);
  void PublishState(const std::string& id);
  Held* Find(const std::string& id);
  cli::Json DeviceDocument(const Held& held) const;
  cli::Json MultiviewerState(const Held& held) const;
  // Runs command words on the device; the answer as its exit status means it.
  HubAnswer RunWords(Held& held, const std::vector<std::string>& words,
                     const GlobalOptions& options);
  // A settings document imported or a preset recalled on the device: only listed when dryRun,
  // and every page told (`what` as the changed event's "sent") once it was applied.
  HubAnswer Apply(Held& held, bool dryRun, const std::string& what,
                  const std::function<int(RequestContext&)>& apply);
  // After a command of a request reached the device: every page hears of it (a switcher reports
  // nothing of its own), and of the device list when the command changed it.
  void PublishChange(const std::string& id, const std::string& sent);
  void PublishEvent(cli::Json event) const;
  void RefreshSnapshot();

  GlobalOptions options_;
  std::optional<PresetStore> presets_;
  Publish publish_;
  SystemClock clock_;
  RequestPrompter prompter_;
  ControllerObserver quiet_;
  // The protocol's diagnostic lines: on stderr with --verbose, else dropped (a service that
  // kept them would grow for as long as it runs).
  DroppedText dropped_;
  std::ostream unheardDiagnostics_{&dropped_};
  Controller controller_;
  TaskQueue tasks_;
  std::optional<UdpSocket> statusSocket_;
  std::unique_ptr<StatusListener> listener_;
  std::vector<Held> held_;
  mutable std::mutex snapshotMutex_;
  std::string snapshot_;
  std::thread thread_;
  bool stopping_ = false;  // the hub's thread only
};

}  // namespace quintara::server
