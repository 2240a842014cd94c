#include "core/Controller.h"

#include <algorithm>
#include <utility>

#include "core/link/SerialPortList.h"
#include "core/text/TextCodec.h"

namespace quintara {

Controller::Controller(LinkConfig config, LinkTiming timing, Clock& clock, Prompter& prompter,
                       ControllerObserver& observer)
    : timing_(timing),
      clock_(clock),
      prompter_(prompter),
      observer_(observer),
      network_(std::move(config), timing, devices_, clock, prompter),
      serialSearch_(serialPort_, devices_, viewer_.StateImage, timing_, clock, prompter) {
  viewer_.SetLabelDefaults();
}

void Controller::Search(const SearchStop& stop) {
  devices_.SetSelectedIndex(-1);
  if (linkKind_ == LinkKind::Lan) {
    SearchNetwork(stop);
  } else {
    serialSearch_.SearchSerial(linkKind_, observer_);
  }
}

void Controller::SearchNetwork(const SearchStop& stop) {
  network_.SearchNetwork(linkKind_, observer_, stop);
}

bool Controller::SendFrame(std::span<const std::uint8_t> frame, bool pauseAfterSerialWrite) {
  if (linkKind_ == LinkKind::Lan) {
    return network_.SendToSelectedDevice(frame);
  }
  if (!serialPort_.IsOpen()) {
    return false;
  }
  DiscardInput(serialPort_);
  const std::size_t written = serialPort_.SerialWrite(frame);
  if (pauseAfterSerialWrite) {
    clock_.SleepMs(timing_.serialSendPauseMs);
  }
  return written == frame.size();
}

bool Controller::OpenSelectedPort(std::string_view portName, std::string_view baudText) {
  if (serialPort_.IsOpen()) {
    serialPort_.SerialClose(CnComm::kCloseWaitMs);
  }
  return serialPort_.SerialOpen(portName, BaudRateFromText(baudText));
}

DeviceEntry Controller::SelectedOrEmptyEntry() const {
  // With nothing selected the identification bytes are 0; on the network the send is refused
  // before the frame leaves anyway.
  const DeviceEntry* entry = devices_.SelectedEntry();
  return entry ? *entry : DeviceEntry{};
}

bool Controller::ToggleLock() {
  return SetLock(lockState_ == 1 ? 0 : 1);
}

bool Controller::SetLock(std::uint8_t lockState) {
  lockState_ = lockState;
  observer_.LockStateChanged(lockState_);
  const DeviceEntry entry = SelectedOrEmptyEntry();
  const std::array<std::uint8_t, 1> payload{lockState_};
  return SendFrame(
      BuildFrame(entry.DeviceType, entry.DeviceAddress, linkKind_, CommandCode::SetLock, payload));
}

bool Controller::SendDeviceName(std::u16string_view name) {
  if (lockState_ == 1) {
    return false;
  }
  nameText_ = name.substr(0, kDeviceNameMaxCharacters);
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
