#include "sim/SimUdpServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quintara::sim {
namespace {

constexpr std::size_t kLargestDatagram = 65536;

}  // namespace

SimUdpServer::SimUdpServer() : buffer_(kLargestDatagram) {}

SimUdpServer::~SimUdpServer() {
  Stop();
  // A device may outlive the server; it must not send through a closed socket.
  for (Listener& listener : listeners_) {
    listener.device->SetSender({});
  }
}

std::string SimUdpServer::Add(std::shared_ptr<SimDevice> device) {
  const UdpEndpoint& listen = device->Config().listen;
  const std::string where = listen.address.ToText() + ":" + std::to_string(listen.port);
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket) {
    return "cannot create a socket: " + std::string(std::strerror(errno));
  }
  // Every interface is a valid listen address (inside a network namespace); broadcasts reach it.
  if (!socket->EnableBroadcast() || !socket->Bind(listen) || !socket->SetNonBlocking()) {
    return "cannot listen on " + where + ": " + std::string(std::strerror(errno));
  }
  listeners_.push_back({std::move(device), std::move(*socket)});
  UdpSocket* own = &listeners_.back().socket;
  listeners_.back().device->SetSender(
      [own](const OutgoingMessage& message) { own->SendTo(message.bytes, message.to); });
  return {};
}

void SimUdpServer::Start() {
  std::vector<int> descriptors;
  for (const Listener& listener : listeners_) {
    descriptors.push_back(listener.socket.Descriptor());
  }
  loop_.Start(std::move(descriptors), [this](std::size_t index) { ServeOne(listeners_[index]); });
}

void SimUdpServer::Stop() {
  loop_.Stop();
}

void SimUdpServer::ServeOne(Listener& listener) {
  while (const std::optional<ReceivedDatagram> datagram = listener.socket.ReceiveFrom(buffer_)) {
    const std::size_t size = std::min(datagram->size, buffer_.size());
    const auto bytes = std::span<const std::uint8_t>(buffer_).first(size);
    const std::vector<OutgoingMessage> replies = listener.device->Receive(bytes, datagram->sender);
    if (hook_) {
      hook_(*listener.device, {{bytes.begin(), bytes.end()}, datagram->sender});
    }
    for (const OutgoingMessage& reply : replies) {
      listener.socket.SendTo(reply.bytes, reply.to);
    }
  }
}

}  // namespace quintara::sim
