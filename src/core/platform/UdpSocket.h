#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/platform/Ipv4Address.h"

namespace quintara {

struct ReceivedDatagram {
  std::size_t size = 0;    // the datagram's full size, even when it did not fit the buffer
  bool truncated = false;  // true when size exceeds the buffer given to ReceiveFrom
  UdpEndpoint sender;
};

// A UDP socket on POSIX sockets. Move-only; closes on destruction.
class UdpSocket {
 public:
  UdpSocket() = default;
  ~UdpSocket();
  UdpSocket(UdpSocket&& other) noexcept;
  UdpSocket& operator=(UdpSocket&& other) noexcept;
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;

  // A fresh IPv4 UDP socket, or nothing when the system refuses one.
  static std::optional<UdpSocket> Create();

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }

  bool EnableBroadcast();
  [[nodiscard]] bool Bind(const UdpEndpoint& local);
  bool SetNonBlocking();
  // Asks for a receive buffer of at least `bytes`, so that a burst waits in the queue instead of
  // being dropped; a buffer that is already as large is left alone. The system caps the request
  // at its limit (net.core.rmem_max on Linux) unless the process may exceed it (CAP_NET_ADMIN).
  // Returns what was granted, as ReceiveBufferSize reports it; nothing on error.
  std::optional<std::size_t> RequestReceiveBuffer(std::size_t bytes);
  // The receive buffer's size as the system reports it; Linux counts its own bookkeeping in it
  // and so reports twice the size it was asked for.
  std::optional<std::size_t> ReceiveBufferSize() const;
  std::optional<UdpEndpoint> LocalEndpoint() const;

  bool SendTo(std::span<const std::uint8_t> bytes, const UdpEndpoint& destination);
  // Takes one pending datagram without waiting; nothing when none is pending or on error.
  std::optional<ReceivedDatagram> ReceiveFrom(std::span<std::uint8_t> buffer);
  // Waits until a datagram is pending or the timeout passes; true when one is pending.
  bool WaitReadable(int timeoutMs) const;

  void Close();

 private:
  explicit UdpSocket(int fd) : fd_(fd) {}
  int fd_ = -1;
};

}  // namespace quintara
