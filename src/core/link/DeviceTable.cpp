#include "core/link/DeviceTable.h"

#include <algorithm>
#include <cstring>

#include "core/link/ControlFrame.h"
#include "core/text/TextCodec.h"

namespace quintara {
namespace {

constexpr std::size_t kNameOffset = 18;
constexpr std::uint8_t kSeparator = '-';

DeviceEntry EntryFromAnswer(std::span<const std::uint8_t> answer, std::size_t separatorOffset,
                            const Ipv4Address& sender) {
  DeviceEntry entry;
  entry.SetAddressText(sender.ToText());
  entry.DeviceType = answer[frame::kDeviceTypeOffset];
  entry.DeviceAddress = answer[frame::kDeviceAddressOffset];
  // The scan accepts separators close to the end, so the identity may run past the datagram.
  for (std::size_t k = 0; k < entry.DeviceIdentity.size(); ++k) {
    const std::size_t offset = separatorOffset + 3 + k;
    entry.DeviceIdentity[k] = offset < answer.size() ? answer[offset] : 0;
  }
  const auto name = answer.subspan(kNameOffset, separatorOffset - kNameOffset);
  entry.ModelMatch = std::ranges::equal(
      name, kMatchedModelName,
      [](std::uint8_t byte, char letter) { return byte == static_cast<std::uint8_t>(letter); });
  return entry;
}

}  // namespace

std::string DeviceEntry::AddressText() const {
  return std::string(addressText.data(), strnlen(addressText.data(), addressText.size()));
}

void DeviceEntry::SetAddressText(std::string_view text) {
  addressText.fill('\0');
  std::copy_n(text.begin(), std::min(text.size(), addressText.size() - 1), addressText.begin());
}

bool IsMatchedModelName(std::span<const std::uint8_t> name) {
  return std::ranges::equal(name, kMatchedModelName, [](std::uint8_t byte, char letter) {
    return byte == static_cast<std::uint8_t>(letter);
  });
}

bool IsAcceptedDeviceType(std::uint8_t deviceType) {
  switch (deviceType) {
    case 0x60:
    case 0x81:
    case 0x82:
    case 0x83:
    case 0x90:
    case 0xA1:
    case 0xA3:
    case 0xA4:
    case 0xA5:
      return true;
    default:
      return false;
  }
}

std::vector<DiscoveredDevice> ParseDiscoverAnswer(std::span<const std::uint8_t> answer,
                                                  const Ipv4Address& sender) {
  std::vector<DiscoveredDevice> devices;
  if (answer.size() < 3 + kNameOffset + 1) {
    return devices;  // m = size - 3 must exceed 18 for the scan to look at anything
  }
  const std::size_t sumOffset = answer.size() - 3;
  for (std::size_t p = kNameOffset; p < sumOffset; ++p) {
    // p + 2 may reach the sum, which is a received byte like any other.
    if (answer[p] != kSeparator || answer[p + 2] != kSeparator) {
      continue;
    }
    DeviceEntry entry = EntryFromAnswer(answer, p, sender);
    const std::string name = Latin1ToUtf8(answer.subspan(kNameOffset, p - kNameOffset));
    devices.push_back({entry, name + "_" + entry.AddressText()});
  }
  return devices;
}

void DeviceTable::Clear() {
  entries_.fill(DeviceEntry{});
  count_ = 0;
}

bool DeviceTable::Record(const DeviceEntry& entry) {
  if (IsFull()) {
    return false;
  }
  entries_[count_++] = entry;
  return true;
}

}  // namespace quintara
