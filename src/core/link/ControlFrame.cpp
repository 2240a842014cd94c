#include "core/link/ControlFrame.h"

#include <algorithm>

namespace quintara {

std::uint16_t FrameSum(std::span<const std::uint8_t> bytes) {
  std::uint16_t sum = 0;
  for (const std::uint8_t byte : bytes) {
    sum = static_cast<std::uint16_t>(sum + byte);
  }
  return sum;
}

bool IsFrameShaped(std::span<const std::uint8_t> datagram) {
  return datagram.size() >= 3 && datagram[0] == frame::kStart && datagram[1] == frame::kTag &&
         datagram.back() == frame::kTrailer;
}

std::size_t FrameLength(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < frame::kLengthOffset + 2) {
    return 0;
  }
  return datagram[frame::kLengthOffset] |
         static_cast<std::size_t>(datagram[frame::kLengthOffset + 1]) << 8;
}

bool IsWholeFrame(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < frame::kOverhead || datagram[0] != frame::kStart ||
      datagram[1] != frame::kTag) {
    return false;
  }
  const std::size_t length = FrameLength(datagram);
  if (length < frame::kOverhead || length > datagram.size() ||
      datagram[length - 1] != frame::kTrailer) {
    return false;
  }
  const std::size_t sumOffset = length - 3;
  const std::uint16_t sum = FrameSum(datagram.first(sumOffset));
  return datagram[sumOffset] == (sum & 0xFF) && datagram[sumOffset + 1] == (sum >> 8);
}

void SealFrame(std::span<std::uint8_t> frame) {
  const std::size_t sumOffset = frame.size() - 3;
  const std::uint16_t sum = FrameSum(frame.first(sumOffset));
  frame[sumOffset] = static_cast<std::uint8_t>(sum & 0xFF);
  frame[sumOffset + 1] = static_cast<std::uint8_t>(sum >> 8);
}

std::uint8_t ToBcd(int value) {
  const int low = value & 0xFF;
  return static_cast<std::uint8_t>((low / 10) * 16 + low % 10);
}

std::array<std::uint8_t, 7> EncodeBcdTime(const LocalDateTime& time) {
  return {ToBcd(time.year % 100), ToBcd(time.month),  ToBcd(time.day),   ToBcd(time.weekday),
          ToBcd(time.hour),       ToBcd(time.minute), ToBcd(time.second)};
}

Frame BuildFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                 std::uint8_t commandCode, std::span<const std::uint8_t> payload) {
  const std::size_t length = payload.size() + frame::kOverhead;
  Frame bytes(frame::kHeaderSize, 0);
  bytes.reserve(length);
  bytes[0] = frame::kStart;
  bytes[1] = frame::kTag;
  bytes[2] = static_cast<std::uint8_t>(length & 0xFF);
  bytes[3] = static_cast<std::uint8_t>((length >> 8) & 0xFF);
  bytes[frame::kDeviceTypeOffset] = deviceType;
  bytes[frame::kDeviceAddressOffset] = deviceAddress;
  bytes[frame::kLinkKindOffset] = static_cast<std::uint8_t>(link);
  bytes[frame::kCommandCodeOffset] = commandCode;
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  const std::uint16_t sum = FrameSum(bytes);
  bytes.push_back(static_cast<std::uint8_t>(sum & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(sum >> 8));
  bytes.push_back(frame::kTrailer);
  return bytes;
}

Frame BuildDiscoverFrame(LinkKind link, const LocalDateTime& time) {
  const std::array<std::uint8_t, 7> timeBytes = EncodeBcdTime(time);
  return BuildFrame(kDiscoverIdentification, kDiscoverIdentification, link, CommandCode::Discover,
                    timeBytes);
}

Frame BuildNetworkFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                        std::span<const std::uint8_t, kNetworkAddressBytes> addressBytes,
                        std::uint8_t mode) {
  std::array<std::uint8_t, kNetworkAddressBytes + 1> payload{};
  std::copy(addressBytes.begin(), addressBytes.end(), payload.begin());
  payload.back() = mode;
  return BuildFrame(deviceType, deviceAddress, link, CommandCode::SetNetwork, payload);
}

Frame BuildLabelFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                      std::uint8_t selector, std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> body{selector, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};
  body.insert(body.end(), payload.begin(), payload.end());
  return BuildFrame(deviceType, deviceAddress, link, CommandCode::SetLabel, body);
}

Frame BuildMatrixValueFrame(std::uint8_t deviceAddress, std::uint8_t commandCode,
                            std::uint8_t value, LinkKind variant) {
  const std::array<std::uint8_t, 1> payload{value};
  return BuildFrame(kMatrixValueDeviceType, deviceAddress, variant, commandCode, payload);
}

Frame BuildDeviceNameFrame(std::uint8_t deviceType, std::uint8_t deviceAddress, LinkKind link,
                           std::span<const std::uint8_t> nameUtf16Le) {
  return BuildFrame(deviceType, deviceAddress, link, CommandCode::SetDeviceName, nameUtf16Le);
}

}  // namespace quintara
