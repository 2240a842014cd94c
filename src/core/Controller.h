#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <span>
#include <string>
#include <string_view>

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
#include "core/viewer/state/ViewerState.h"
#include "core/viewer/panel/ViewerView.h"

namespace quintara {

inline constexpr std::string_view kInputIpError = "Please input the IP";
inline constexpr std::string_view kOpenSerialPortError = "Please open the serial port first!";
// The status line's notes: a change refused while the device is locked, an exchange the selected
// device left unanswered (followed by its list line), a status port that cannot be had.
inline constexpr std::string_view kLockedRefusalText = "Locked: unlock to make changes";
inline constexpr std::string_view kNoAnswerText = "No answer from ";
inline constexpr std::string_view kLiveUpdatesOffText = "Live updates off: ";
inline constexpr std::size_t kDeviceNameMaxCharacters = 16;

// The first characters of a UTF-16 text; a character outside the basic plane (a surrogate pair)
// is one character and is never split.
std::u16string_view FirstCharacters(std::u16string_view text, std::size_t count);

// AddressMode values.
inline constexpr std::uint8_t kStaticAddress = 0;
inline constexpr std::uint8_t kDhcp = 1;

// The controller's state for the whole run: the links, the device table, the lock and the
// device's addressing, the mirrors of the devices. The desktop window is its face (the observer,
// which lives as long as the controller); panels attach their own views while they are open.
class Controller {
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
  Link& ActiveLink();
  void UseLink(Link* replacement) { linkReplacement_ = replacement; }
  MatrixState& Matrix() { return matrix_; }
  ViewerState& Viewer() { return viewer_; }
  const ViewerState& Viewer() const { return viewer_; }

  ControllerObserver& Observer() { return observer_; }
  Prompter& GetPrompter() { return prompter_; }
  Views<ViewerView>& ViewerViews() { return viewerViews_; }
  Views<MatrixView>& MatrixViews() { return matrixViews_; }
  // Runs the exchanges that can wait; the window puts its own in place of the direct one.
  ExchangeRunner& Runner() { return *runner_; }
  void SetRunner(ExchangeRunner& runner) { runner_ = &runner; }
  // Counts the device panels opened and closed; work handed over for a panel that is gone
  // carries an older number and is dropped.
  std::uint64_t PanelGeneration() const { return panelGeneration_; }
  void NextPanelGeneration() { ++panelGeneration_; }
  Clock& GetClock() { return clock_; }
  const LinkTiming& Timing() const { return timing_; }

  LinkKind CurrentLink() const { return linkKind_; }
  void SetLinkKind(LinkKind link) { linkKind_ = link; }
  std::uint8_t LockState() const { return lockState_; }
  std::uint8_t AddressMode() const { return addressMode_; }
  const std::array<std::uint8_t, kNetworkAddressBytes>& NetworkPayload() const {
    return networkPayload_;
  }
  const std::u16string& NameText() const { return nameText_; }
  void SetNameText(std::u16string text) { nameText_ = std::move(text); }
  void SetAddressMode(std::uint8_t mode) { addressMode_ = mode; }
  // LockState as a device reported it; nothing is sent.
  void SetLockState(std::uint8_t lockState);

  // The system's diagnostic lines ("readLen = %d \n" and the like); standard output unless
  // redirected (the command line keeps its standard output for results).
  void Diagnostic(std::string_view line) { *diagnostics_ << line << std::flush; }
  void SetDiagnostics(std::ostream& stream) { diagnostics_ = &stream; }
  // The selected entry, or an all-zero one when nothing is selected.
  DeviceEntry SelectedOrEmptyEntry() const;

  // The search button: over the network or the serial line, whichever link is current.
  void Search(const SearchStop& stop = {});
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

  // The one way a command leaves the system, on the current link. True when it was sent. A
  // few senders write to the serial line without the pause that normally follows.
  [[nodiscard]] bool SendFrame(std::span<const std::uint8_t> frame,
                               SerialPause pause = SerialPause::After,
                               BusyPort busyPort = BusyPort::Refuse);

  // The lock button: flips LockState and sends it.
  bool ToggleLock();
  // Sends SetLock with 1 (locked) or 0; LockState and the button follow only once it was sent.
  bool SetLock(std::uint8_t lockState);
  // True while the device is locked; nothing is shown.
  bool Locked() const { return lockState_ == 1; }
  // For the senders and presenters: true while the device is locked, and the status line then
  // says why the change was refused.
  bool RefuseWhileLocked();

  // The status line names the selected device that left an exchange unanswered; an answered
  // exchange takes the note away again.
  void NoteExchange(bool answered);
  // A note of the status line's own (a port that cannot be had, and the like).
  void ShowStatusNote(std::string_view text);
  // The name field: refused while the device is locked. At most 16 characters are sent.
  bool SendDeviceName(std::u16string_view name);

  // SetNetwork with NetworkPayload and AddressMode.
  bool SendNetworkConfig();
  // The addressing list: choosing DHCP sends at once, choosing Static waits for an address.
  bool ChooseAddressMode(std::uint8_t mode);
  // The apply button: sends a static address unless the mode is DHCP or the address is 0.0.0.0.
  bool ApplyStaticAddress(const Ipv4Address& address);
  // Switches the device to DHCP whatever the mode was believed to be.
  bool SendDhcpConfig();

 private:
  enum class StatusNote : std::uint8_t { None, Locked, NoAnswer, Other };
  void ShowStatusNote(StatusNote note, std::string_view text);
  // Back to what the last search said, once this note no longer holds.
  void ClearStatusNote(StatusNote note);

  LinkTiming timing_;
  Clock& clock_;
  Prompter& prompter_;
  ControllerObserver& observer_;
  DeviceDirectory devices_;
  NetworkLink network_;
  CnComm serialPort_{CnComm::kControllerOptions};
  SerialLink serial_;
  Link* linkReplacement_ = nullptr;
  ViewerState viewer_;
  MatrixState matrix_;
  std::ostream* diagnostics_ = &std::cout;
  NetworkSearch networkSearch_;
  SerialSearch serialSearch_;
  Views<ViewerView> viewerViews_;
  Views<MatrixView> matrixViews_;
  DirectRunner directRunner_;
  ExchangeRunner* runner_ = &directRunner_;
  std::uint64_t panelGeneration_ = 0;
  std::uint32_t portConnected_ = 0;
  std::uint8_t portIndex_ = 0;
  std::uint8_t baudIndex_ = 0;
  LinkKind linkKind_ = LinkKind::Lan;
  std::uint8_t lockState_ = 0;
  std::uint8_t addressMode_ = kDhcp;
  std::array<std::uint8_t, kNetworkAddressBytes> networkPayload_{};
  std::u16string nameText_;
  StatusNote statusNote_ = StatusNote::None;  // shown in place of the search's status
};

}  // namespace quintara
