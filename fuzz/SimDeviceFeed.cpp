#include "fuzz/SimDeviceFeed.h"

#include "sim/SerialFramer.h"

namespace quintara::fuzz {

void DeliverToDevice(sim::SimDevice& device, bool serialLine, const std::vector<Message>& messages,
                     const std::function<void(std::span<const std::uint8_t>)>& check) {
  device.SetSender([&check](const sim::OutgoingMessage& report) { check(report.bytes); });
  const auto receive = [&](std::span<const std::uint8_t> message, const UdpEndpoint& from) {
    for (const sim::OutgoingMessage& reply : device.Receive(message, from)) {
      check(reply.bytes);
    }
  };
  sim::SerialFramer framer;
  for (const Message& message : messages) {
    if (!serialLine) {
      receive(message, {Ipv4Address::Loopback(), 7000});
      continue;
    }
    framer.Append(message);
    while (const std::optional<Message> framed = framer.Next()) {
      receive(*framed, {});  // the serial line has no endpoint
    }
  }
  device.SetSender({});
}

bool IsWholeFrame(std::span<const std::uint8_t> frame) {
  if (!IsFrameShaped(frame) || frame.size() < frame::kOverhead ||
      (frame[2] | (frame[3] << 8)) != static_cast<int>(frame.size())) {
    return false;
  }
  const std::size_t sumAt = frame.size() - 3;
  const std::uint16_t sum = FrameSum(frame.first(sumAt));
  return frame[sumAt] == (sum & 0xFF) && frame[sumAt + 1] == (sum >> 8);
}

}  // namespace quintara::fuzz
