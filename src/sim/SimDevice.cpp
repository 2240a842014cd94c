#include "sim/SimDevice.h"

#include <algorithm>
#include <utility>

namespace quintara::sim {
namespace {

constexpr std::uint8_t kSeparator = '-';

bool IsFrameWithCode(std::span<const std::uint8_t> bytes, std::uint8_t commandCode) {
  return IsFrameShaped(bytes) && bytes.size() > frame::kCommandCodeOffset &&
         bytes[frame::kCommandCodeOffset] == commandCode;
}

}  // namespace

SimDeviceConfig SimDeviceConfig::Of(DeviceKind kind, const UdpEndpoint& listen) {
  SimDeviceConfig config;
  config.kind = kind;
  config.listen = listen;
  switch (kind) {
    case DeviceKind::Multiviewer:
      config.DeviceType = 0xA1;
      config.name = "KVT2208Z";
      break;
    case DeviceKind::Matrix8:
      config.DeviceType = 0x82;
      config.name = "MATRIX8";
      break;
    case DeviceKind::Matrix16:
      config.DeviceType = 0x83;
      config.name = "MATRIX16";
      break;
  }
  return config;
}

SimDevice::SimDevice(SimDeviceConfig config) : config_(std::move(config)) {}

std::vector<OutgoingMessage> SimDevice::Receive(std::span<const std::uint8_t> bytes,
                                                const UdpEndpoint& from) {
  {
    const std::lock_guard lock(mutex_);
    received_.push_back({std::vector<std::uint8_t>(bytes.begin(), bytes.end()), from});
    receivedBytes_ += bytes.size();
    // The newest message always stays, so a test sees what arrived last.
    while (received_.size() > kReceivedLimit ||
           (receivedBytes_ > kReceivedBytesLimit && received_.size() > 1)) {
      receivedBytes_ -= received_.front().bytes.size();
      received_.pop_front();
    }
  }
  arrived_.notify_all();
  return Respond(bytes, from);
}

std::vector<ReceivedMessage> SimDevice::Received() const {
  const std::lock_guard lock(mutex_);
  return {received_.begin(), received_.end()};
}

std::vector<std::vector<std::uint8_t>> SimDevice::FramesLocked(std::uint8_t commandCode) const {
  std::vector<std::vector<std::uint8_t>> frames;
  for (const ReceivedMessage& message : received_) {
    if (IsFrameWithCode(message.bytes, commandCode)) {
      frames.push_back(message.bytes);
    }
  }
  return frames;
}

std::vector<std::vector<std::uint8_t>> SimDevice::ReceivedFrames(std::uint8_t commandCode) const {
  const std::lock_guard lock(mutex_);
  return FramesLocked(commandCode);
}

bool SimDevice::WaitForFrames(std::uint8_t commandCode, std::size_t count,
                              std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return arrived_.wait_for(lock, timeout,
                           [&] { return FramesLocked(commandCode).size() >= count; });
}

Frame SimDevice::BuildOwnFrame(LinkKind link, std::uint8_t commandCode,
                               std::span<const std::uint8_t> payload) const {
  Frame bytes = BuildFrame(config_.DeviceType, config_.DeviceAddress, link, commandCode, payload);
  std::ranges::copy(config_.DeviceIdentity, bytes.begin() + frame::kIdentityOffset);
  const std::size_t sumOffset = bytes.size() - 3;
  const std::uint16_t sum = FrameSum(std::span(bytes).first(sumOffset));
  bytes[sumOffset] = static_cast<std::uint8_t>(sum & 0xFF);
  bytes[sumOffset + 1] = static_cast<std::uint8_t>(sum >> 8);
  return bytes;
}

void SimDevice::SetSender(Sender sender) {
  const std::lock_guard lock(senderMutex_);
  sender_ = std::move(sender);
}

void SimDevice::Send(const OutgoingMessage& message) const {
  const std::lock_guard lock(senderMutex_);
  if (sender_) {
    sender_(message);
  }
}

Frame SimDevice::DiscoverAnswer(LinkKind link) const {
  std::vector<std::uint8_t> payload{0x00};  // byte 17, which the searcher does not read
  const std::string name = DiscoverName();
  payload.insert(payload.end(), name.begin(), name.end());
  payload.insert(payload.end(), {kSeparator, 0x00, kSeparator});
  payload.insert(payload.end(), config_.DeviceIdentity.begin(), config_.DeviceIdentity.end());
  return BuildOwnFrame(link, CommandCode::Discover, payload);
}

std::vector<OutgoingMessage> SimDevice::Respond(std::span<const std::uint8_t> bytes,
                                                const UdpEndpoint& from) {
  if (!IsFrameWithCode(bytes, CommandCode::Discover)) {
    return {};
  }
  const LinkKind link = bytes[frame::kLinkKindOffset] == 0 ? LinkKind::Serial : LinkKind::Lan;
  return {{DiscoverAnswer(link), from}};
}

}  // namespace quintara::sim
