#include "core/link/NetworkLink.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quintara {
namespace {

constexpr std::size_t kSearchBufferSize = 128;
// An answer must reach past its 17-byte header, the unread byte 17 and the sum to hold a name.
constexpr std::size_t kShortestScannedAnswer = 22;

}  // namespace

NetworkLink::NetworkLink(LinkConfig config, LinkTiming timing, DeviceDirectory& devices,
                         Clock& clock, Prompter& prompter)
    : config_(std::move(config)),
      timing_(timing),
      devices_(devices),
      clock_(clock),
      prompter_(prompter) {}

bool NetworkLink::OpenSearchSocket() {
  CloseCommandSocket();
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket) {
    return false;
  }
  if (!socket->EnableBroadcast() || !socket->Bind({config_.bindAddress, config_.localPort}) ||
      !socket->SetNonBlocking()) {
    return false;
  }
  commandSocket_ = std::move(socket);
  return true;
}

std::optional<UdpSocket> NetworkLink::OpenAimedSocket(std::uint16_t localPort,
                                                      std::uint16_t devicePort, UdpEndpoint& aim) {
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket) {
    return std::nullopt;
  }
  if (devices_.SelectedIndex() < 0) {
    prompter_.ShowError(kChooseDeviceError);
    return std::nullopt;
  }
  const DeviceEntry* entry = devices_.SelectedEntry();
  const std::optional<Ipv4Address> address =
      entry ? Ipv4Address::Parse(entry->AddressText()) : std::nullopt;
  if (!address || !socket->Bind({config_.bindAddress, localPort}) || !socket->SetNonBlocking()) {
    return std::nullopt;
  }
  aim = {*address, devicePort};
  return socket;
}

bool NetworkLink::OpenCommandSocket() {
  CloseCommandSocket();
  commandSocket_ = OpenAimedSocket(config_.localPort, config_.devicePort, commandPeer_);
  return commandSocket_.has_value();
}

std::optional<UdpSocket> NetworkLink::OpenStatusSocket() {
  UdpEndpoint unusedAim;  // nothing is ever sent on the status socket
  return OpenAimedSocket(config_.statusPort, config_.statusPort, unusedAim);
}

bool NetworkLink::CloseCommandSocket() {
  commandSocket_.reset();
  return true;
}

bool NetworkLink::SendToSelectedDevice(std::span<const std::uint8_t> bytes) {
  if (!OpenCommandSocket()) {
    return false;
  }
  const bool sent = commandSocket_->SendTo(bytes, commandPeer_);
  clock_.SleepMs(timing_.lanSendPauseMs);
  CloseCommandSocket();
  return sent;
}

void NetworkLink::SearchNetwork(LinkKind link, ControllerObserver& observer,
                                const SearchStop& stop) {
  CloseCommandSocket();
  observer.CloseDevicePanel();
  devices_.BeginSearch(observer);
  const std::int64_t start = clock_.NowMs();
  const Frame discover = BuildDiscoverFrame(link, clock_.LocalNow());
  if (!OpenSearchSocket()) {
    prompter_.ShowError(kCreateSocketError);
    return;
  }
  for (const Ipv4Address& target : config_.searchTargets) {
    commandSocket_->SendTo(discover, {target, config_.devicePort});
  }
  CollectAnswers(start, stop);
  if (devices_.Table().Count() > 0) {
    devices_.ConcludeFound(devices_.Table().Count(), observer);
  } else {
    devices_.ConcludeNoneFound(-1, observer);
  }
  CloseCommandSocket();
}

void NetworkLink::CollectAnswers(std::int64_t start, const SearchStop& stop) {
  std::array<std::uint8_t, kSearchBufferSize> buffer{};
  UdpSocket& socket = *commandSocket_;
  // A pass that begins exactly at the end of the window still runs.
  for (std::int64_t elapsed = 0; elapsed <= timing_.searchWindowMs;
       elapsed = clock_.NowMs() - start) {
    const std::optional<ReceivedDatagram> datagram = socket.ReceiveFrom(buffer);
    if (!datagram || datagram->truncated) {
      // Nothing to take: sleep in the kernel until something arrives or the window ends.
      const std::int64_t remaining = timing_.searchWindowMs - elapsed;
      socket.WaitReadable(static_cast<int>(std::max<std::int64_t>(remaining, 1)));
      continue;
    }
    const auto answer = std::span<const std::uint8_t>(buffer).first(datagram->size);
    if (!IsFrameShaped(answer)) {
      clock_.SleepMs(timing_.searchPauseMs);
      continue;
    }
    if (answer.size() > frame::kDeviceTypeOffset &&
        !IsAcceptedDeviceType(answer[frame::kDeviceTypeOffset])) {
      continue;
    }
    if (answer.size() < kShortestScannedAnswer) {
      clock_.SleepMs(timing_.searchPauseMs);
      continue;
    }
    if (RecordAnswer(answer, datagram->sender.address, stop)) {
      return;
    }
    clock_.SleepMs(timing_.searchPauseMs);
  }
}

bool NetworkLink::RecordAnswer(std::span<const std::uint8_t> answer, const Ipv4Address& sender,
                               const SearchStop& stop) {
  bool awaitedDeviceFound = false;
  for (const DiscoveredDevice& device : ParseDiscoverAnswer(answer, sender)) {
    // The table keeps the first devices that answered; later ones are not listed.
    if (!devices_.Record(device)) {
      break;
    }
    awaitedDeviceFound = awaitedDeviceFound || stop.answeredBy == sender;
  }
  return awaitedDeviceFound;
}

}  // namespace quintara
