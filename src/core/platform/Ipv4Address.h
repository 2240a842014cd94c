#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quintara {

// An IPv4 address held as its four octets, first octet first (the order the wire carries them).
struct Ipv4Address {
  std::array<std::uint8_t, 4> octets{};

  static constexpr Ipv4Address Any() { return {}; }
  static constexpr Ipv4Address Broadcast() { return {{255, 255, 255, 255}}; }
  static constexpr Ipv4Address Loopback() { return {{127, 0, 0, 1}}; }

  // Strict dotted-decimal: four decimal numbers 0..255, nothing else.
  static std::optional<Ipv4Address> Parse(std::string_view text);
  std::string ToText() const;
  bool IsZero() const { return octets == std::array<std::uint8_t, 4>{}; }

  friend bool operator==(const Ipv4Address&, const Ipv4Address&) = default;
};

struct UdpEndpoint {
  Ipv4Address address;
  std::uint16_t port = 0;

  friend bool operator==(const UdpEndpoint&, const UdpEndpoint&) = default;
};

}  // namespace quintara
