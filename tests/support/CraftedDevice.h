#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/SimDevice.h"
#include "sim/SimUdpServer.h"

namespace quintara::test {

// A device that answers a Discover with datagrams a test wrote byte by byte, and any other
// frame with its own list of them.
class CraftedDevice final : public sim::SimDevice {
 public:
  CraftedDevice(const UdpEndpoint& listen, std::vector<std::vector<std::uint8_t>> answers,
                std::chrono::milliseconds delay = {},
                std::vector<std::vector<std::uint8_t>> otherReplies = {});

 protected:
  std::vector<sim::OutgoingMessage> Respond(std::span<const std::uint8_t> bytes,
                                            const UdpEndpoint& from) override;

 private:
  std::vector<std::vector<std::uint8_t>> answers_;
  std::chrono::milliseconds delay_;
  std::vector<std::vector<std::uint8_t>> otherReplies_;
};

// A crafted device with its own server thread, so several answer independently.
struct CraftedPeer {
  CraftedPeer(const UdpEndpoint& listen, std::vector<std::vector<std::uint8_t>> answers,
              std::chrono::milliseconds delay = {},
              std::vector<std::vector<std::uint8_t>> otherReplies = {});

  std::shared_ptr<CraftedDevice> device;
  sim::SimUdpServer server;
};

// A Discover answer: header with code 0xFF and the given type, the unread byte 17, then body,
// then sum and trailer.
std::vector<std::uint8_t> DiscoverAnswer(std::uint8_t deviceType, std::uint8_t deviceAddress,
                                         const std::vector<std::uint8_t>& body);

// body for the usual answer: name, '-', one byte, '-', four identity bytes.
std::vector<std::uint8_t> NameAndIdentity(const std::string& name,
                                          const std::vector<std::uint8_t>& identity);

}  // namespace quintara::test
