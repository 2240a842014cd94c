#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ControllerObserver.h"
#include "core/ExchangeRunner.h"
#include "core/Views.h"
#include "core/link/CnComm.h"
#include "core/link/ControlFrame.h"
#include "core/link/DeviceDirectory.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/link/NetworkLink.h"
#include "core/link/NetworkSearch.h"
#include "core/link/SerialLink.h"
#include "core/link/SerialSearch.h"
#include "core/matrix/MatrixState.h"
#include "core/matrix/MatrixView.h"
#include "core/platform/Clock.h"
#include "core/platform/Ipv4Address.h"
#include "core/platform/Prompter.h"
#include "core/session/DeviceSession.h"

namespace quintara {

inline constexpr std::string_view kOpenSerialPortError = "Please open the serial port first!";

// What a process holds for its devices: the links, the device table the searches fill, and a
// session per device it talks to. The desktop window and the command line work with the
// selected device's session; a process may hold sessions of several devices at once. The face
// (the observer, which lives as long as the controller) shows the searches and the selected
// device's session.
class Controller final : public SessionHost {
 public:
  Controller(LinkConfig config, LinkTiming timing, Clock& clock, Prompter& prompter,
             ControllerObserver& observer);
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  DeviceDirectory& Devices() { return devices_; }
  const DeviceDirectory& Devices() const { return devices_; }
  NetworkLink& Network() { return network_; }
  CnComm& SerialPort() { return serialPort_; }
  // The link of LinkKind, or the one a test put in place of both.
  Link& ActiveLink() override;
  void UseLink(Link* replacement) { linkReplacement_ = replacement; }

  // The session of the selected device, made when it is first asked for; the placeholder while
  // no device is selected. The face shows this session.
  DeviceSession& Session() { return *SelectedSession(); }
  std::shared_ptr<DeviceSession> SelectedSession();
  // The session of the device table's entry at this index, made when first asked for; the
  // placeholder for an index beyond the table. Sessions of devices a search no longer found are
  // let go once the search has ended (whoever still holds one keeps it alive).
  std::shared_ptr<DeviceSession> SessionFor(int index);

  ControllerObserver& Observer() { return observer_; }
  Prompter& GetPrompter() override { return prompter_; }
  // Runs the exchanges that can wait; the window puts its own in place of the direct one.
  ExchangeRunner& Runner() override { return *runner_; }
  void SetRunner(ExchangeRunner& runner) { runner_ = &runner; }
  Clock& GetClock() override { return clock_; }
  const LinkTiming& Timing() const override { return timing_; }
  std::string IdleStatusText() const override { return devices_.StatusText(); }

  LinkKind CurrentLink() const override { return linkKind_; }
  bool SerialPortOpen() const override { return serialPort_.IsOpen(); }
  void SetLinkKind(LinkKind link) { linkKind_ = link; }

  // The system's diagnostic lines ("readLen = %d \n" and the like); standard output unless
  // redirected (the command line keeps its standard output for results).
  void Diagnostic(std::string_view line) override { *diagnostics_ << line << std::flush; }
  void SetDiagnostics(std::ostream& stream) { diagnostics_ = &stream; }

  // The search button: over the network or the serial line, whichever link is current. What was
  // found is applied before it returns (the command line, tests).
  void Search(const SearchStop& stop = {});
  // The same search started on the runner, which may go on meanwhile: what was found is applied
  // on this thread once the search has ended, then `then` runs. A search refused at once (the
  // serial port is closed) starts nothing, and `then` never runs.
  void StartSearch(Continuation then, const SearchStop& stop = {});
  // The search over the network; the first device found becomes the selected one.
  void SearchNetwork(const SearchStop& stop = {});
  // The search on the serial line: at most one device.
  void SearchSerial();

  // All bits set after the link settings opened the serial port, 0 after they closed it.
  std::uint32_t PortConnected() const { return portConnected_; }
  void SetPortConnected(std::uint32_t value) { portConnected_ = value; }
  std::uint8_t PortIndex() const { return portIndex_; }
  void SetPortIndex(std::uint8_t index) { portIndex_ = index; }
  std::uint8_t BaudIndex() const { return baudIndex_; }
  void SetBaudIndex(std::uint8_t index) { baudIndex_ = index; }
  // Opens the chosen port at the chosen rate (its list text), closing an open port first.
  [[nodiscard]] bool OpenSelectedPort(std::string_view portName, std::string_view baudText);

 private:
  // Lets go of the sessions of devices the last search did not find.
  void ForgetLostSessions();
  // A search's first steps, taken on this thread, and its wire part, which returns the step that
  // applies what was found; empty when the search is refused.
  WireWork SearchWork(const SearchStop& stop);
  WireWork NetworkSearchWork(const SearchStop& stop);
  WireWork SerialSearchWork();
  void ApplyNetworkSearch(const NetworkFind& found);

  LinkTiming timing_;
  Clock& clock_;
  Prompter& prompter_;
  ControllerObserver& observer_;
  DeviceDirectory devices_;
  NetworkLink network_;
  CnComm serialPort_{CnComm::kControllerOptions};
  SerialLink serial_;
  Link* linkReplacement_ = nullptr;
  std::ostream* diagnostics_ = &std::cout;
  // The state image a device on the serial line may send while it is searched for; its session
  // starts from it.
  StateImageBytes serialSearchImage_{};
  DirectRunner directRunner_;
  ExchangeRunner* runner_ = &directRunner_;
  const std::shared_ptr<DeviceSession> placeholder_ = std::make_shared<DeviceSession>(*this);
  std::vector<std::shared_ptr<DeviceSession>> sessions_;
  DeviceSession* shown_ = nullptr;    // the session the face shows
  std::uint64_t sessionsSearch_ = 0;  // the search the sessions were last checked after
  std::uint32_t portConnected_ = 0;
  std::uint8_t portIndex_ = 0;
  std::uint8_t baudIndex_ = 0;
  LinkKind linkKind_ = LinkKind::Lan;
};

}  // namespace quintara
