#include "core/Controller.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/link/SerialPortList.h"
#include "core/text/TextCodec.h"

namespace quintara {

Controller::Controller(LinkConfig config, LinkTiming timing, Clock& clock, Prompter& prompter,
                       ControllerObserver& observer)
    : timing_(timing),
      clock_(clock),
      prompter_(prompter),
      observer_(observer),
      network_(std::move(config), timing_, devices_, clock, prompter, observer_),
      serial_(serialPort_, timing_, clock),
      networkSearch_(devices_, timing_, clock),
      serialSearch_(devices_, viewer_.StateImage, timing_, clock) {
  viewer_.SetLabelDefaults();
}

void Controller::Search(const SearchStop& stop) {
  devices_.SetSelectedIndex(-1);
  if (linkKind_ == LinkKind::Lan) {
    SearchNetwork(stop);
  } else {
    SearchSerial();
  }
}

void Controller::SearchNetwork(const SearchStop& stop) {
  // The panel shows a device the search is about to forget.
  observer_.CloseDevicePanel();
  networkSearch_.SearchNetwork(ActiveLink(), linkKind_, observer_, stop);
}

void Controller::SearchSerial() {
  if (!serialPort_.IsOpen()) {
    prompter_.ShowError(kOpenSerialPortError);
    return;
  }
  observer_.CloseDevicePanel();
  serialSearch_.SearchSerial(ActiveLink(), linkKind_, observer_);
}

Link& Controller::ActiveLink() {
  if (linkReplacement_ != nullptr) {
    return *linkReplacement_;
  }
  return linkKind_ == LinkKind::Lan ? static_cast<Link&>(network_) : serial_;
}

bool Controller::SendFrame(std::span<const std::uint8_t> frame, SerialPause pause,
                           BusyPort busyPort) {
  const SendResult result =
      ActiveLink().SendFrame(frame, devices_.SelectedAddress(), pause, busyPort);
  // An entry without an address is not the operator's to fix: only no choice at all is asked.
  if (result == SendResult::NoDevice && devices_.SelectedIndex() < 0) {
    prompter_.ShowError(kChooseDeviceError);
  }
  return result == SendResult::Sent;
}

bool Controller::OpenSelectedPort(std::string_view portName, std::string_view baudText) {
  if (serialPort_.IsOpen()) {
    serialPort_.SerialClose(CnComm::kCloseWaitMs);
  }
  return serialPort_.SerialOpen(portName, BaudRateFromText(baudText));
}

std::u16string_view FirstCharacters(std::u16string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t taken = 0; taken < count && end < text.size(); ++taken) {
    const bool pair = end + 1 < text.size() && text[end] >= 0xD800 && text[end] <= 0xDBFF &&
                      text[end + 1] >= 0xDC00 && text[end + 1] <= 0xDFFF;
    end += pair ? 2 : 1;
  }
  return text.substr(0, end);
}

DeviceEntry Controller::SelectedOrEmptyEntry() const {
  // With nothing selected the identification bytes are 0; on the network the send is refused
  // before the frame leaves anyway.
  const DeviceEntry* entry = devices_.SelectedEntry();
  return entry ? *entry : DeviceEntry{};
}

bool Controller::ToggleLock() {
  return SetLock(Locked() ? 0 : 1);
}

bool Controller::SetLock(std::uint8_t lockState) {
  const DeviceEntry entry = SelectedOrEmptyEntry();
  const std::array<std::uint8_t, 1> payload{lockState};
  // A lock that never left (no device chosen, port closed) locks nothing: the button keeps
  // showing what the device was last told.
  if (!SendFrame(BuildFrame(entry.DeviceType, entry.DeviceAddress, linkKind_, CommandCode::SetLock,
                            payload))) {
    return false;
  }
  lockState_ = lockState;
  observer_.LockStateChanged(lockState_);
  if (lockState_ == 0) {
    ClearStatusNote(StatusNote::Locked);
  }
  return true;
}

void Controller::SetLockState(std::uint8_t lockState) {
  lockState_ = lockState;
  if (lockState_ == 0) {
    ClearStatusNote(StatusNote::Locked);
  }
}

bool Controller::RefuseWhileLocked() {
  if (!Locked()) {
    return false;
  }
  ShowStatusNote(StatusNote::Locked, kLockedRefusalText);
  return true;
}

void Controller::NoteExchange(bool answered) {
  if (answered) {
    ClearStatusNote(StatusNote::NoAnswer);
    return;
  }
  const std::vector<std::string>& lines = devices_.Lines();
  const auto index = static_cast<std::size_t>(devices_.SelectedIndex());
  const std::string device =
      index < lines.size() ? lines[index] : std::string(SelectedOrEmptyEntry().AddressText());
  ShowStatusNote(StatusNote::NoAnswer, std::string(kNoAnswerText) + device);
}

void Controller::ShowStatusNote(std::string_view text) {
  ShowStatusNote(StatusNote::Other, text);
}

void Controller::ShowStatusNote(StatusNote note, std::string_view text) {
  statusNote_ = note;
  observer_.StatusTextChanged(text);
}

void Controller::ClearStatusNote(StatusNote note) {
  if (statusNote_ == note) {
    statusNote_ = StatusNote::None;
    observer_.StatusTextChanged(devices_.StatusText());
  }
}

bool Controller::SendDeviceName(std::u16string_view name) {
  if (RefuseWhileLocked()) {
    return false;
  }
  nameText_ = FirstCharacters(name, kDeviceNameMaxCharacters);
  const DeviceEntry entry = SelectedOrEmptyEntry();
  return SendFrame(BuildDeviceNameFrame(entry.DeviceType, entry.DeviceAddress, linkKind_,
                                        EncodeUtf16Le(nameText_)));
}

bool Controller::SendNetworkConfig() {
  const DeviceEntry entry = SelectedOrEmptyEntry();
  return SendFrame(BuildNetworkFrame(entry.DeviceType, entry.DeviceAddress, linkKind_,
                                     networkPayload_, addressMode_));
}

bool Controller::ChooseAddressMode(std::uint8_t mode) {
  if (mode == addressMode_) {
    return false;
  }
  addressMode_ = mode;
  if (mode != kDhcp) {
    return false;  // the static address goes out with the apply button
  }
  if (linkKind_ == LinkKind::Lan && devices_.SelectedIndex() < 0) {
    prompter_.ShowError(kChooseDeviceError);
    return false;
  }
  return SendDhcpConfig();
}

bool Controller::ApplyStaticAddress(const Ipv4Address& address) {
  if (addressMode_ == kDhcp) {
    return false;
  }
  if (address.IsZero()) {
    prompter_.ShowError(kInputIpError);
    return false;
  }
  networkPayload_.fill(0);
  std::ranges::copy(address.octets, networkPayload_.begin());
  return SendNetworkConfig();
}

bool Controller::SendDhcpConfig() {
  addressMode_ = kDhcp;
  networkPayload_.fill(0);
  return SendNetworkConfig();
}

}  // namespace quintara
