#include "core/platform/UdpSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

namespace quintara {
namespace {

sockaddr_in ToSockaddr(const UdpEndpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(endpoint.port);
  std::memcpy(&address.sin_addr.s_addr, endpoint.address.octets.data(), 4);
  return address;
}

UdpEndpoint FromSockaddr(const sockaddr_in& address) {
  UdpEndpoint endpoint;
  std::memcpy(endpoint.address.octets.data(), &address.sin_addr.s_addr, 4);
  endpoint.port = ntohs(address.sin_port);
  return endpoint;
}

bool SetFlag(int fd, int option) {
  const int on = 1;
  return setsockopt(fd, SOL_SOCKET, option, &on, sizeof on) == 0;
}

}  // namespace

UdpSocket::~UdpSocket() {
  Close();
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

std::optional<UdpSocket> UdpSocket::Create() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) {
    return std::nullopt;
  }
  return UdpSocket(fd);
}

bool UdpSocket::EnableBroadcast() {
  return SetFlag(fd_, SO_BROADCAST);
}

bool UdpSocket::Bind(const UdpEndpoint& local) {
  const sockaddr_in address = ToSockaddr(local);
  return bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool UdpSocket::SetNonBlocking() {
  const int flags = fcntl(fd_, F_GETFL);
  return flags >= 0 && fcntl(fd_, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::optional<std::size_t> UdpSocket::RequestReceiveBuffer(std::size_t bytes) {
  const std::optional<std::size_t> before = ReceiveBufferSize();
  if (!before || *before >= bytes) {
    return before;
  }
  const int wanted = static_cast<int>(
      std::min<std::size_t>(bytes, static_cast<std::size_t>(std::numeric_limits<int>::max())));
  // Within the system's limit first; beyond it only if that fell short and the process may.
  setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
  std::optional<std::size_t> granted = ReceiveBufferSize();
  if (granted && *granted < bytes) {
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted);
    granted = ReceiveBufferSize();
  }
  return granted;
}

std::optional<std::size_t> UdpSocket::ReceiveBufferSize() const {
  int size = 0;
  socklen_t length = sizeof size;
  if (getsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, &length) != 0 || size < 0) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(size);
}

std::optional<UdpEndpoint> UdpSocket::LocalEndpoint() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return std::nullopt;
  }
  return FromSockaddr(address);
}

bool UdpSocket::SendTo(std::span<const std::uint8_t> bytes, const UdpEndpoint& destination) {
  const sockaddr_in address = ToSockaddr(destination);
  const ssize_t sent = sendto(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return sent >= 0 && static_cast<std::size_t>(sent) == bytes.size();
}

std::optional<ReceivedDatagram> UdpSocket::ReceiveFrom(std::span<std::uint8_t> buffer) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  // MSG_TRUNC reports the datagram's real size, so an oversized one is recognised as such.
  const ssize_t received = recvfrom(fd_, buffer.data(), buffer.size(), MSG_TRUNC | MSG_DONTWAIT,
                                    reinterpret_cast<sockaddr*>(&address), &length);
  if (received < 0) {
    return std::nullopt;
  }
  ReceivedDatagram datagram;
  datagram.size = static_cast<std::size_t>(received);
  datagram.truncated = datagram.size > buffer.size();
  datagram.sender = FromSockaddr(address);
  return datagram;
}

bool UdpSocket::WaitReadable(int timeoutMs) const {
  pollfd entry{fd_, POLLIN, 0};
  int ready = 0;
  do {
    ready = poll(&entry, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (entry.revents & POLLIN) != 0;
}

void UdpSocket::Close() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

}  // namespace quintara
