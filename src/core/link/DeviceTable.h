#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Ipv4Address.h"

namespace quintara {

// The name a multiviewer reports; ModelMatch says whether an answer carried exactly this name.
inline constexpr std::string_view kMatchedModelName = "KVT2208Z";

// One device found by a search: a 23-byte record.
struct DeviceEntry {
  // Dotted-decimal address, zero-filled, always terminated; all zero for a serial device.
  std::array<char, 16> addressText{};
  std::uint8_t DeviceAddress = 0;
  std::uint8_t DeviceType = 0;
  std::array<std::uint8_t, 4> DeviceIdentity{};
  std::uint8_t ModelMatch = 0;

  std::string AddressText() const;
  void SetAddressText(std::string_view text);

  friend bool operator==(const DeviceEntry&, const DeviceEntry&) = default;
};
static_assert(sizeof(DeviceEntry) == 23, "DeviceEntry is a 23-byte record");

// One device pattern found in a Discover answer, with the list line it gets.
struct DiscoveredDevice {
  DeviceEntry entry;
  std::string listLine;  // name + "_" + address text, UTF-8
};

// True when the name bytes of an answer equal "KVT2208Z" exactly.
bool IsMatchedModelName(std::span<const std::uint8_t> name);

// DeviceTypes a search accepts; any other byte 4 makes an answer invisible.
bool IsAcceptedDeviceType(std::uint8_t deviceType);

// Every device pattern ('-', any byte, '-') of a frame-shaped Discover answer, in scan order.
// Identity bytes that would lie beyond the datagram are stored as 0.
std::vector<DiscoveredDevice> ParseDiscoverAnswer(std::span<const std::uint8_t> answer,
                                                  const Ipv4Address& sender);

// The 256 records of the devices found by the last search, in the order they were found.
class DeviceTable {
 public:
  static constexpr std::size_t kCapacity = 256;

  // Zeroes every entry.
  void Clear();
  // Appends a device; false (and nothing stored) once the table is full.
  bool Record(const DeviceEntry& entry);

  std::size_t Count() const { return count_; }
  bool IsFull() const { return count_ == kCapacity; }
  const DeviceEntry& Entry(std::size_t index) const { return entries_[index]; }

 private:
  std::array<DeviceEntry, kCapacity> entries_{};
  std::size_t count_ = 0;
};

}  // namespace quintara
