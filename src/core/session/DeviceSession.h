#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/ControllerObserver.h"
#include "core/ExchangeRunner.h"
#include "core/Views.h"
#include "core/link/ControlFrame.h"
#include "core/link/DeviceTable.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/matrix/MatrixState.h"
#include "core/matrix/MatrixView.h"
#include "core/platform/Clock.h"
#include "core/platform/Ipv4Address.h"
#include "core/platform/Prompter.h"
#include "core/session/DeviceKinds.h"
#include "core/viewer/panel/ViewerView.h"
#include "core/viewer/state/ViewerState.h"

namespace quintara {

inline constexpr std::string_view kInputIpError = "Please input the IP";
// The status line's notes: a change refused while the device is locked, an exchange the device
// left unanswered (followed by its list line), a status port that cannot be had.
inline constexpr std::string_view kLockedRefusalText = "Locked: unlock to make changes";
inline constexpr std::string_view kNoAnswerText = "No answer from ";
inline constexpr std::string_view kLiveUpdatesOffText = "Live updates off: ";
inline constexpr std::size_t kDeviceNameMaxCharacters = 16;

// AddressMode values.
inline constexpr std::uint8_t kStaticAddress = 0;
inline constexpr std::uint8_t kDhcp = 1;

// The first characters of a UTF-16 text; a character outside the basic plane (a surrogate pair)
// is one character and is never split.
std::u16string_view FirstCharacters(std::u16string_view text, std::size_t count);

// What every session of a process shares: the link frames leave by, the protocol's timing, the
// clock, the operator's prompts, the runner of exchanges (one at a time for the whole process:
// the sessions share the link's sockets) and the diagnostic lines.
class SessionHost {
 public:
  virtual Link& ActiveLink() = 0;
  virtual LinkKind CurrentLink() const = 0;
  virtual bool SerialPortOpen() const = 0;
  virtual const LinkTiming& Timing() const = 0;
  virtual Clock& GetClock() = 0;
  virtual Prompter& GetPrompter() = 0;
  virtual ExchangeRunner& Runner() = 0;
  // The system's diagnostic lines ("readLen = %d \n" and the like).
  virtual void Diagnostic(std::string_view line) = 0;
  // What the status line says once no note of a session holds (what the last search said).
  virtual std::string IdleStatusText() const = 0;

 protected:
  ~SessionHost() = default;
};

// One device the process holds: its entry and list line, its mirror, its lock and addressing,
// the views of its open panel, and every frame and exchange aimed at it. Sessions of several
// devices live side by side, each with its own mirror; the placeholder session of a process
// that chose no device sends with an all-zero entry, as the serial line allows, and asks the
// operator to choose a device on the network. Sessions are always shared (the controller makes
// them so): work handed over for later holds a weak handle and is dropped once its session
// has gone.
class DeviceSession : public std::enable_shared_from_this<DeviceSession> {
 public:
  // A session of a chosen device.
  DeviceSession(const DeviceEntry& entry, std::string listLine, SessionHost& host);
  // The placeholder, for when no device is chosen.
  explicit DeviceSession(SessionHost& host);
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  const DeviceEntry& Entry() const { return entry_; }
  // The device as the list names it.
  const std::string& ListLine() const { return listLine_; }
  // A later search may list the device under a new name.
  void SetListLine(std::string line) { listLine_ = std::move(line); }
  // What kind of device it is; null for one the process cannot drive (and the placeholder).
  const DeviceKindInfo* Kind() const { return FindDeviceKind(entry_.DeviceType); }
  // Where its frames go on the network; nothing for a device without an address.
  std::optional<Ipv4Address> Address() const;
  LinkKind CurrentLink() const { return host_.CurrentLink(); }
  // On the serial line with its port closed: nothing can be exchanged.
  bool SerialLineClosed() const {
    return CurrentLink() == LinkKind::Serial && !host_.SerialPortOpen();
  }
  const LinkTiming& Timing() const { return host_.Timing(); }
  Clock& GetClock() { return host_.GetClock(); }
  Prompter& GetPrompter() { return host_.GetPrompter(); }
  ExchangeRunner& Runner() { return host_.Runner(); }
  void Diagnostic(std::string_view line) { host_.Diagnostic(line); }

  // The face that shows this device's lock, name and notes; a silent one unless set.
  ControllerObserver& Observer() { return *observer_; }
  void SetObserver(ControllerObserver* observer);

  ViewerState& Viewer() { return viewer_; }
  const ViewerState& Viewer() const { return viewer_; }
  MatrixState& Matrix() { return matrix_; }
  const MatrixState& Matrix() const { return matrix_; }
  Views<ViewerView>& ViewerViews() { return viewerViews_; }
  // The selections of the device's open multiviewer panel; null while none is open.
  PanelSelections* Panel() { return panel_; }
  // The panel's presenter lends its selections while it lives (null takes them back).
  void LendPanel(PanelSelections* panel) { panel_ = panel; }
  Views<MatrixView>& MatrixViews() { return matrixViews_; }
  // Counts the device's panels opened and closed; work handed over for a panel that is gone
  // carries an older number and is dropped.
  std::uint64_t PanelGeneration() const { return panelGeneration_; }
  void NextPanelGeneration() { ++panelGeneration_; }

  std::uint8_t LockState() const { return lockState_; }
  std::uint8_t AddressMode() const { return addressMode_; }
  const std::array<std::uint8_t, kNetworkAddressBytes>& NetworkPayload() const {
    return networkPayload_;
  }
  const std::u16string& NameText() const { return nameText_; }
  void SetNameText(std::u16string text) { nameText_ = std::move(text); }
  void SetAddressMode(std::uint8_t mode) { addressMode_ = mode; }
  // LockState as the device reported it; nothing is sent.
  void SetLockState(std::uint8_t lockState);

  // The one way a command to this device leaves, on the current link. True when it was sent. A
  // few senders write to the serial line without the pause that normally follows.
  [[nodiscard]] bool SendFrame(std::span<const std::uint8_t> frame,
                               SerialPause pause = SerialPause::After,
                               BusyPort busyPort = BusyPort::Refuse);
  // An exchange with this device (its request aimed at it unless the exchange searches).
  [[nodiscard]] ExchangeOutcome RunExchange(Exchange exchange);

  // True, once the operator was asked to choose a device, when none is chosen on the network.
  bool AskForDevice();

  // The lock button: flips LockState and sends it.
  bool ToggleLock();
  // Sends SetLock with 1 (locked) or 0; LockState and the button follow only once it was sent.
  bool SetLock(std::uint8_t lockState);
  // True while the device is locked; nothing is shown.
  bool Locked() const { return lockState_ == 1; }
  // For the senders and presenters: true while the device is locked, and the status line then
  // says why the change was refused.
  bool RefuseWhileLocked();

  // The status line names the device that left an exchange unanswered; an answered exchange
  // takes the note away again.
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

  SessionHost& host_;
  const DeviceEntry entry_;
  std::string listLine_;
  const bool chosen_;
  ControllerObserver silentObserver_;
  ControllerObserver* observer_ = &silentObserver_;
  ViewerState viewer_;
  MatrixState matrix_;
  Views<ViewerView> viewerViews_;
  PanelSelections* panel_ = nullptr;
  Views<MatrixView> matrixViews_;
  std::uint64_t panelGeneration_ = 0;
  std::uint8_t lockState_ = 0;
  std::uint8_t addressMode_ = kDhcp;
  std::array<std::uint8_t, kNetworkAddressBytes> networkPayload_{};
  std::u16string nameText_;
  StatusNote statusNote_ = StatusNote::None;  // shown in place of the search's status
};

}  // namespace quintara
