#include "support/CraftedDevice.h"

#include <stdexcept>
#include <thread>

#include "core/link/ControlFrame.h"

namespace quintara::test {

CraftedDevice::CraftedDevice(const UdpEndpoint& listen,
                             std::vector<std::vector<std::uint8_t>> answers,
                             std::chrono::milliseconds delay,
                             std::vector<std::vector<std::uint8_t>> otherReplies)
    : SimDevice(sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, listen)),
      answers_(std::move(answers)),
      delay_(delay),
      otherReplies_(std::move(otherReplies)) {}

std::vector<sim::OutgoingMessage> CraftedDevice::Respond(std::span<const std::uint8_t> bytes,
                                                         const UdpEndpoint& from) {
  if (bytes.size() <= frame::kCommandCodeOffset) {
    return {};
  }
  const bool discover = bytes[frame::kCommandCodeOffset] == CommandCode::Discover;
  std::this_thread::sleep_for(delay_);
  std::vector<sim::OutgoingMessage> replies;
  for (const std::vector<std::uint8_t>& answer : discover ? answers_ : otherReplies_) {
    replies.push_back({answer, from});
  }
  return replies;
}

CraftedPeer::CraftedPeer(const UdpEndpoint& listen, std::vector<std::vector<std::uint8_t>> answers,
                         std::chrono::milliseconds delay,
                         std::vector<std::vector<std::uint8_t>> otherReplies)
    : device(std::make_shared<CraftedDevice>(listen, std::move(answers), delay,
                                             std::move(otherReplies))) {
  const std::string error = server.Add(device);
  if (!error.empty()) {
    throw std::runtime_error(error);
  }
  server.Start();
}

std::vector<std::uint8_t> DiscoverAnswer(std::uint8_t deviceType, std::uint8_t deviceAddress,
                                         const std::vector<std::uint8_t>& body) {
  std::vector<std::uint8_t> payload{0x00};
  payload.insert(payload.end(), body.begin(), body.end());
  return BuildFrame(deviceType, deviceAddress, LinkKind::Lan, CommandCode::Discover, payload);
}

std::vector<std::uint8_t> NameAndIdentity(const std::string& name,
                                          const std::vector<std::uint8_t>& identity) {
  std::vector<std::uint8_t> body(name.begin(), name.end());
  body.insert(body.end(), {'-', 0x00, '-'});
  body.insert(body.end(), identity.begin(), identity.end());
  return body;
}

}  // namespace quintara::test
