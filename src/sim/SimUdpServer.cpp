#include "sim/SimUdpServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace quintara::sim {
namespace {

constexpr std::size_t kLargestDatagram = 65536;

}  // namespace

SimUdpServer::SimUdpServer() : buffer_(kLargestDatagram) {
  int fds[2] = {-1, -1};
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "simulator wake-up pipe");
  }
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
}

SimUdpServer::~SimUdpServer() {
  Stop();
  // A device may outlive the server; it must not send through a closed socket.
  for (Listener& listener : listeners_) {
    listener.device->SetSender({});
  }
  close(wakeRead_);
  close(wakeWrite_);
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
  if (!worker_.joinable()) {
    worker_ = std::thread([this] { Serve(); });
  }
}

void SimUdpServer::Stop() {
  if (!worker_.joinable()) {
    return;
  }
  const char wake = 1;
  while (write(wakeWrite_, &wake, 1) < 0 && errno == EINTR) {
  }
  worker_.join();
}

void SimUdpServer::Serve() {
  std::vector<pollfd> watched;
  watched.push_back({wakeRead_, POLLIN, 0});
  for (const Listener& listener : listeners_) {
    watched.push_back({listener.socket.Descriptor(), POLLIN, 0});
  }
  for (;;) {
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (watched[0].revents != 0) {
      return;
    }
    for (std::size_t i = 1; i < watched.size(); ++i) {
      if ((watched[i].revents & POLLIN) != 0) {
        ServeOne(listeners_[i - 1]);
      }
    }
  }
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
