#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimDevice.h"

namespace quintara::sim {

// Everything a matrix switcher holds.
struct MatrixState {
  std::vector<std::uint8_t> routes;  // entry k: the input feeding output k + 1
  std::uint8_t LockState = 0;
  std::uint8_t AddressMode = 1;    // 0 static, 1 DHCP
  std::uint8_t BacklightTime = 4;  // 0..4, 4 = always on
  std::uint8_t BacklightBrightness = 80;
  std::uint8_t OutputFormat = 7;  // device code, 1080p60; sixteen-channel only
  std::u16string name;            // at most 16 characters

  friend bool operator==(const MatrixState&, const MatrixState&) = default;
};

// A simulated eight- or sixteen-channel matrix switcher (channel count from the config kind).
// It takes the routing texts ("3V1,4.", "5All.", "All#.") and the matrix frames, and answers
// the status and backlight queries to the sender. A text is applied whole or not at all. While
// locked it refuses routing texts and every setter from the wire but still answers queries,
// Discover and SetLock; the front panel (Route) works regardless of the lock.
class SimMatrix : public SimDevice {
 public:
  explicit SimMatrix(SimDeviceConfig config);

  std::size_t Channels() const { return channels_; }
  MatrixState State() const;

  // Front panel: input to output, both 1..Channels(). False (nothing changes) when out of range.
  bool Route(std::uint8_t input, std::uint8_t output);

 protected:
  std::vector<OutgoingMessage> Respond(std::span<const std::uint8_t> bytes,
                                       const UdpEndpoint& from) override;
  std::string DiscoverName() const override;

 private:
  std::vector<OutgoingMessage> RespondToFrame(std::span<const std::uint8_t> bytes,
                                              const UdpEndpoint& from);
  void ApplyTextLocked(std::string_view text);
  void ApplySetterLocked(std::uint8_t type, std::uint8_t code,
                         std::span<const std::uint8_t> payload);
  Frame StatusReplyLocked(LinkKind link) const;
  Frame BacklightReplyLocked(LinkKind link) const;

  std::size_t channels_;
  mutable std::mutex mutex_;
  MatrixState state_;
};

}  // namespace quintara::sim
