#include "core/link/NetworkLink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace quintara {

NetworkLink::NetworkLink(LinkConfig config, const LinkTiming& timing, Clock& clock,
                         DeviceListView& view)
    : config_(std::move(config)), timing_(timing), clock_(clock), view_(view) {}

bool NetworkLink::SetUpFailed(const std::string& what) {
  setupFailure_ = what + ": " + std::strerror(errno);
  return false;
}

bool NetworkLink::OpenSearchSocket() {
  CloseCommandSocket();
  setupFailure_.clear();
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket) {
    return SetUpFailed("cannot create a UDP socket");
  }
  if (!socket->EnableBroadcast() || !socket->Bind({config_.bindAddress, config_.localPort}) ||
      !socket->SetNonBlocking()) {
    return SetUpFailed("cannot set up the search socket on local port " +
                       std::to_string(config_.localPort));
  }
  socket_ = std::move(socket);
  return true;
}

std::optional<UdpSocket> NetworkLink::OpenAimedSocket(std::uint16_t localPort,
                                                      std::uint16_t devicePort,
                                                      const std::optional<Ipv4Address>& device,
                                                      UdpEndpoint& aim, BusyPort busyPort) {
  setupFailure_.clear();
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket) {
    SetUpFailed("cannot create a UDP socket");
    return std::nullopt;
  }
  if (!device) {
    return std::nullopt;
  }
  if (!socket->Bind({config_.bindAddress, localPort})) {
    if (busyPort == BusyPort::Refuse || !socket->Bind({config_.bindAddress, 0})) {
      SetUpFailed("cannot bind local port " + std::to_string(localPort));
      return std::nullopt;
    }
    view_.StatusTextChanged(kPortBusyText);
  }
  if (!socket->SetNonBlocking()) {
    SetUpFailed("cannot set up a socket");
    return std::nullopt;
  }
  aim = {*device, devicePort};
  return socket;
}

bool NetworkLink::OpenCommandSocket(const std::optional<Ipv4Address>& device, BusyPort busyPort) {
  CloseCommandSocket();
  socket_ = OpenAimedSocket(config_.localPort, config_.devicePort, device, commandPeer_, busyPort);
  return socket_.has_value();
}

std::optional<UdpSocket> NetworkLink::OpenStatusSocket() {
  UdpEndpoint unusedAim;  // nothing is ever sent on the status socket
  std::optional<UdpSocket> socket = OpenAimedSocket(config_.statusPort, config_.statusPort,
                                                    Ipv4Address{}, unusedAim, BusyPort::Refuse);
  if (socket) {
    // Whatever the system grants: a smaller buffer still takes reports, it only drops more of
    // a long burst.
    static_cast<void>(socket->RequestReceiveBuffer(kStatusReceiveBuffer));
  }
  return socket;
}

SendResult NetworkLink::SendFrame(std::span<const std::uint8_t> frame,
                                  const std::optional<Ipv4Address>& device, SerialPause,
                                  BusyPort busyPort) {
  if (!OpenCommandSocket(device, busyPort)) {
    return setupFailure_.empty() && !device ? SendResult::NoDevice : SendResult::Failed;
  }
  const bool sent = socket_->SendTo(frame, commandPeer_);
  clock_.SleepMs(timing_.lanSendPauseMs);
  CloseCommandSocket();
  return sent ? SendResult::Sent : SendResult::Failed;
}

ExchangeOutcome NetworkLink::RunExchange(const Exchange& exchange) {
  const bool search = exchange.audience == Audience::SearchTargets;
  if (!(search ? OpenSearchSocket() : OpenCommandSocket(exchange.device, exchange.busyPort))) {
    return ExchangeOutcome::NotSent;
  }
  SendRequest(exchange);
  const int pause = exchange.pauseAfterSendMs == Exchange::kLinkPause ? timing_.lanSendPauseMs
                                                                      : exchange.pauseAfterSendMs;
  if (pause > 0) {
    clock_.SleepMs(pause);
  }
  const ExchangeOutcome outcome = AwaitReply(exchange);
  CloseCommandSocket();
  return outcome;
}

void NetworkLink::SendRequest(const Exchange& exchange) {
  if (exchange.audience == Audience::Device) {
    socket_->SendTo(exchange.request, commandPeer_);
    return;
  }
  for (const Ipv4Address& target : config_.searchTargets) {
    socket_->SendTo(exchange.request, {target, config_.devicePort});
  }
}

ExchangeOutcome NetworkLink::AwaitReply(const Exchange& exchange) {
  std::vector<std::uint8_t> buffer(exchange.bufferSize);
  UdpSocket& socket = *socket_;
  for (int look = 0;; ++look) {
    const std::int64_t elapsed = clock_.NowMs() - exchange.startMs;
    if (exchange_steps::LooksOver(exchange, look, elapsed)) {
      return ExchangeOutcome::Unanswered;
    }
    const std::optional<ReceivedDatagram> datagram = socket.ReceiveFrom(buffer);
    std::optional<Arrival> arrival;
    if (datagram) {
      arrival = Arrival{
          std::span<const std::uint8_t>(buffer).first(std::min(datagram->size, buffer.size())),
          datagram->truncated, datagram->sender.address};
    } else if (exchange.attempts == 0) {
      // Nothing to take: sleep in the kernel until something arrives or the window ends.
      socket.WaitReadable(static_cast<int>(std::max<std::int64_t>(exchange.windowMs - elapsed, 1)));
      continue;
    }
    if (const std::optional<ExchangeOutcome> outcome =
            exchange_steps::Follow(exchange, exchange.judge(arrival), clock_)) {
      return *outcome;
    }
  }
}

}  // namespace quintara
