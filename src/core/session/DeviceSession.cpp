#include "core/session/DeviceSession.h"

#include <algorithm>
#include <utility>

#include "core/link/NetworkLink.h"
#include "core/text/TextCodec.h"

namespace quintara {

std::u16string_view FirstCharacters(std::u16string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t taken = 0; taken < count && end < text.size(); ++taken) {
    const bool pair = end + 1 < text.size() && text[end] >= 0xD800 && text[end] <= 0xDBFF &&
                      text[end + 1] >= 0xDC00 && text[end + 1] <= 0xDFFF;
    end += pair ? 2 : 1;
  }
  return text.substr(0, end);
}

DeviceSession::DeviceSession(const DeviceEntry& entry, std::string listLine, SessionHost& host)
    : host_(host), entry_(entry), listLine_(std::move(listLine)), chosen_(true) {
  viewer_.SetLabelDefaults();
}

DeviceSession::DeviceSession(SessionHost& host) : host_(host), entry_{}, chosen_(false) {
  viewer_.SetLabelDefaults();
}

std::optional<Ipv4Address> DeviceSession::Address() const {
  return chosen_ ? Ipv4Address::Parse(entry_.AddressText()) : std::nullopt;
}

void DeviceSession::SetObserver(ControllerObserver* observer) {
  observer_ = observer != nullptr ? observer : &silentObserver_;
}

bool DeviceSession::AskForDevice() {
  if (chosen_ || host_.CurrentLink() != LinkKind::Lan) {
    return false;
  }
  host_.GetPrompter().ShowError(kChooseDeviceError);
  return true;
}

bool DeviceSession::SendFrame(std::span<const std::uint8_t> frame, SerialPause pause,
                              BusyPort busyPort) {
  const SendResult result = host_.ActiveLink().SendFrame(frame, Address(), pause, busyPort);
  // An entry without an address is not the operator's to fix: only no choice at all is asked.
  if (result == SendResult::NoDevice) {
    AskForDevice();
  }
  return result == SendResult::Sent;
}

ExchangeOutcome DeviceSession::RunExchange(Exchange exchange) {
  exchange.device = Address();
  const ExchangeOutcome outcome = host_.ActiveLink().RunExchange(exchange);
  if (outcome == ExchangeOutcome::NotSent && exchange.audience == Audience::Device &&
      !exchange.device) {
    AskForDevice();
  }
  return outcome;
}

bool DeviceSession::ToggleLock() {
  return SetLock(Locked() ? 0 : 1);
}

bool DeviceSession::SetLock(std::uint8_t lockState) {
  const std::array<std::uint8_t, 1> payload{lockState};
  // A lock that never left (no device chosen, port closed) locks nothing: the button keeps
  // showing what the device was last told.
  if (!SendFrame(BuildFrame(entry_.DeviceType, entry_.DeviceAddress, CurrentLink(),
                            CommandCode::SetLock, payload))) {
    return false;
  }
  lockState_ = lockState;
  observer_->LockStateChanged(lockState_);
  if (lockState_ == 0) {
    ClearStatusNote(StatusNote::Locked);
  }
  return true;
}

void DeviceSession::SetLockState(std::uint8_t lockState) {
  lockState_ = lockState;
  if (lockState_ == 0) {
    ClearStatusNote(StatusNote::Locked);
  }
}

bool DeviceSession::RefuseWhileLocked() {
  if (!Locked()) {
    return false;
  }
  ShowStatusNote(StatusNote::Locked, kLockedRefusalText);
  return true;
}

void DeviceSession::NoteExchange(bool answered) {
  if (answered) {
    ClearStatusNote(StatusNote::NoAnswer);
    return;
  }
  const std::string device = listLine_.empty() ? entry_.AddressText() : listLine_;
  ShowStatusNote(StatusNote::NoAnswer, std::string(kNoAnswerText) + device);
}

void DeviceSession::ShowStatusNote(std::string_view text) {
  ShowStatusNote(StatusNote::Other, text);
}

void DeviceSession::ShowStatusNote(StatusNote note, std::string_view text) {
  statusNote_ = note;
  observer_->StatusTextChanged(text);
}

void DeviceSession::ClearStatusNote(StatusNote note) {
  if (statusNote_ == note) {
    statusNote_ = StatusNote::None;
    observer_->StatusTextChanged(host_.IdleStatusText());
  }
}

bool DeviceSession::SendDeviceName(std::u16string_view name) {
  if (RefuseWhileLocked()) {
    return false;
  }
  nameText_ = FirstCharacters(name, kDeviceNameMaxCharacters);
  return SendFrame(BuildDeviceNameFrame(entry_.DeviceType, entry_.DeviceAddress, CurrentLink(),
                                        EncodeUtf16Le(nameText_)));
}

bool DeviceSession::SendNetworkConfig() {
  return SendFrame(BuildNetworkFrame(entry_.DeviceType, entry_.DeviceAddress, CurrentLink(),
                                     networkPayload_, addressMode_));
}

bool DeviceSession::ChooseAddressMode(std::uint8_t mode) {
  if (mode == addressMode_) {
    return false;
  }
  addressMode_ = mode;
  if (mode != kDhcp) {
    return false;  // the static address goes out with the apply button
  }
  if (AskForDevice()) {
    return false;
  }
  return SendDhcpConfig();
}

bool DeviceSession::ApplyStaticAddress(const Ipv4Address& address) {
  if (addressMode_ == kDhcp) {
    return false;
  }
  if (address.IsZero()) {
    host_.GetPrompter().ShowError(kInputIpError);
    return false;
  }
  networkPayload_.fill(0);
  std::ranges::copy(address.octets, networkPayload_.begin());
  return SendNetworkConfig();
}

bool DeviceSession::SendDhcpConfig() {
  addressMode_ = kDhcp;
  networkPayload_.fill(0);
  return SendNetworkConfig();
}

}  // namespace quintara
