// What a simulated device keeps of the messages it received stays small, whatever it is sent.
#include <gtest/gtest.h>

#include <numeric>

#include "sim/SimDevice.h"
#include "sim/SimUdpServer.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::size_t TotalBytes(const std::vector<sim::ReceivedMessage>& log) {
  return std::accumulate(log.begin(), log.end(), std::size_t{0},
                         [](std::size_t sum, const sim::ReceivedMessage& message) {
                           return sum + message.bytes.size();
                         });
}

// A Discover-shaped message of the given size, numbered in bytes 17 and 18, which the device
// answers; waiting for each answer keeps the device's socket from overflowing.
Bytes NumberedDiscover(std::size_t size, std::size_t number) {
  Bytes bytes(size, 0x00);
  bytes[0] = frame::kStart;
  bytes[1] = frame::kTag;
  bytes[frame::kLinkKindOffset] = 0x01;
  bytes[frame::kCommandCodeOffset] = CommandCode::Discover;
  bytes[17] = static_cast<std::uint8_t>(number & 0xFF);
  bytes[18] = static_cast<std::uint8_t>(number >> 8);
  bytes.back() = frame::kTrailer;
  return bytes;
}

std::size_t NumberOf(const sim::ReceivedMessage& message) {
  return message.bytes[17] | (std::size_t{message.bytes[18]} << 8);
}

class SimMessageLog : public ::testing::Test {
 protected:
  SimMessageLog()
      : listen{{{127, 0, 0, 57}}, test::FreeUdpPort({{127, 0, 0, 57}})},
        device(std::make_shared<sim::SimDevice>(
            sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, listen))) {
    EXPECT_EQ(server.Add(device), "");
    server.Start();
    EXPECT_TRUE(client && client->Bind({Ipv4Address::Loopback(), 0}));
  }
  ~SimMessageLog() override { server.Stop(); }

  // Sends count numbered messages of this size, one at a time; false when one went unanswered.
  bool Flood(std::size_t count, std::size_t size) {
    Bytes answer(256);
    for (std::size_t number = 0; number < count; ++number) {
      if (!client->SendTo(NumberedDiscover(size, number), listen) || !client->WaitReadable(2000) ||
          !client->ReceiveFrom(answer)) {
        return false;
      }
    }
    return true;
  }

  UdpEndpoint listen;
  std::shared_ptr<sim::SimDevice> device;
  sim::SimUdpServer server;
  std::optional<UdpSocket> client = UdpSocket::Create();
};

TEST_F(SimMessageLog, AFloodOfLargeMessagesKeepsOnlyTheNewestWithinTheByteBound) {
  constexpr std::size_t kLarge = 60000;
  constexpr std::size_t kCount = 120;  // 7.2 MB in all
  ASSERT_TRUE(Flood(kCount, kLarge));
  const std::vector<sim::ReceivedMessage> log = device->Received();
  constexpr std::size_t kKept = sim::SimDevice::kReceivedBytesLimit / kLarge;
  ASSERT_EQ(log.size(), kKept);
  EXPECT_LE(TotalBytes(log), sim::SimDevice::kReceivedBytesLimit);
  EXPECT_EQ(NumberOf(log.front()), kCount - kKept);
  EXPECT_EQ(NumberOf(log.back()), kCount - 1);

  // Small messages then push the large ones out until the count bound alone holds them.
  ASSERT_TRUE(Flood(sim::SimDevice::kReceivedLimit, kDiscoverFrameSize));
  const std::vector<sim::ReceivedMessage> small = device->Received();
  ASSERT_EQ(small.size(), sim::SimDevice::kReceivedLimit);
  EXPECT_EQ(TotalBytes(small), sim::SimDevice::kReceivedLimit * kDiscoverFrameSize);
  EXPECT_EQ(NumberOf(small.front()), 0u);
}

}  // namespace
}  // namespace quintara
