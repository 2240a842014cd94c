// The simulated matrix switchers driven directly: routing texts, the status and backlight
// replies byte by byte, and the lock.
#include <gtest/gtest.h>

#include <numeric>
#include <string_view>
#include <vector>

#include "core/link/ControlFrame.h"
#include "sim/SimMatrix.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

const UdpEndpoint kController{Ipv4Address{{127, 0, 0, 1}}, 7000};

sim::SimDeviceConfig ConfigOf(sim::DeviceKind kind) {
  sim::SimDeviceConfig config =
      sim::SimDeviceConfig::Of(kind, {Ipv4Address{{127, 0, 0, 51}}, 7000});
  config.DeviceIdentity = {0x51, 0x54, 0x4D, 0x58};
  return config;
}

std::vector<sim::OutgoingMessage> Text(sim::SimMatrix& device, std::string_view text) {
  return device.Receive(Bytes(text.begin(), text.end()), kController);
}

std::vector<sim::OutgoingMessage> Command(sim::SimMatrix& device, std::uint8_t type,
                                          std::uint8_t code, const Bytes& payload = {}) {
  return device.Receive(BuildFrame(type, 0x01, LinkKind::Lan, code, payload), kController);
}

// The one reply to a query, checked for its frame shape, its sum and where it goes.
Bytes Reply(const std::vector<sim::OutgoingMessage>& out, std::size_t size, std::uint8_t code) {
  EXPECT_EQ(out.size(), 1u);
  if (out.size() != 1) {
    return Bytes(size);
  }
  const Bytes& reply = out[0].bytes;
  EXPECT_EQ(out[0].to, kController);
  EXPECT_EQ(reply.size(), size);
  if (reply.size() != size) {
    return Bytes(size);
  }
  EXPECT_EQ(reply[0], 0xA5);
  EXPECT_EQ(reply[2] | (reply[3] << 8), static_cast<int>(size));
  EXPECT_EQ(reply[16], code);
  const std::uint16_t sum = FrameSum(std::span(reply).first(size - 3));
  EXPECT_EQ(reply[size - 3] | (reply[size - 2] << 8), sum);
  EXPECT_EQ(reply.back(), 0xAE);
  return reply;
}

Bytes OneToOne(std::size_t channels) {
  Bytes routes(channels);
  std::iota(routes.begin(), routes.end(), std::uint8_t{1});
  return routes;
}

TEST(SimMatrixTest, RoutingTextsApplyWholeOrNotAtAll) {
  sim::SimMatrix eight(ConfigOf(sim::DeviceKind::Matrix8));
  EXPECT_EQ(eight.State().routes, OneToOne(8));
  EXPECT_TRUE(Text(eight, "3V1,4.").empty());
  EXPECT_EQ(eight.State().routes, (Bytes{3, 2, 3, 3, 5, 6, 7, 8}));
  Text(eight, "5All.");
  EXPECT_EQ(eight.State().routes, Bytes(8, 5));
  for (const std::string_view bad : {"0V1.", "3V99.", "3V9.", "V.", "abc", "3V1,", "3V1,.", "03V1.",
                                     "9All.", "All#", "3V1,99."}) {
    Text(eight, bad);
    EXPECT_EQ(eight.State().routes, Bytes(8, 5)) << bad;
  }
  Text(eight, "All#.");
  EXPECT_EQ(eight.State().routes, OneToOne(8));
  EXPECT_TRUE(Text(eight, "").empty());

  sim::SimMatrix sixteen(ConfigOf(sim::DeviceKind::Matrix16));
  Text(sixteen, "12V10,16.");
  Bytes expected = OneToOne(16);
  expected[9] = expected[15] = 12;
  EXPECT_EQ(sixteen.State().routes, expected);
  Text(sixteen, "\r\n16All.");  // a line ending left over on the serial line
  EXPECT_EQ(sixteen.State().routes, Bytes(16, 16));
}

TEST(SimMatrixTest, StatusRepliesFollowTheEightAndSixteenChannelLayouts) {
  sim::SimMatrix eight(ConfigOf(sim::DeviceKind::Matrix8));
  Text(eight, "7V2.");
  Command(eight, 0x82, CommandCode::SetLock, {1});
  Bytes reply = Reply(Command(eight, 0x82, 0x53), 64, 0x53);
  EXPECT_EQ(reply[4], 0x82);
  EXPECT_EQ(Bytes(reply.begin() + 10, reply.begin() + 14), (Bytes{0x51, 0x54, 0x4D, 0x58}));
  EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 26), (Bytes{1, 7, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(reply[26], 1);  // locked
  EXPECT_EQ(reply[27], 1);  // DHCP
  EXPECT_EQ(reply[28], 14);
  const Bytes name{'M', 0, 'A', 0, 'T', 0, 'R', 0, 'I', 0, 'X', 0, '8', 0};
  EXPECT_EQ(Bytes(reply.begin() + 29, reply.begin() + 43), name);
  EXPECT_EQ(Bytes(reply.begin() + 43, reply.begin() + 61), Bytes(18, 0));

  sim::SimMatrix sixteen(ConfigOf(sim::DeviceKind::Matrix16));
  // A 19-character name keeps 16; the format needs a code of the table and type 0x83.
  const std::u16string longName = u"Studio \u00C5 Matrix 16x";
  Bytes nameBytes;
  for (const char16_t c : longName) {
    nameBytes.insert(nameBytes.end(),
                     {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
  }
  Command(sixteen, 0x83, CommandCode::SetDeviceName, nameBytes);
  Command(sixteen, 0x83, 0x19, {0, 30});
  Command(sixteen, 0x83, 0x19, {0, 31});                  // not a format code
  Command(sixteen, 0x82, 0x19, {0, 6});                   // not the sixteen-channel type
  reply = Reply(Command(sixteen, 0x82, 0x53), 73, 0x53);  // either panel gets the own layout
  EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 34), OneToOne(16));
  EXPECT_EQ(reply[34], 0);
  EXPECT_EQ(reply[35], 1);
  EXPECT_EQ(reply[36], 30);
  EXPECT_EQ(reply[37], 32);
  EXPECT_EQ(Bytes(reply.begin() + 38, reply.begin() + 70),
            Bytes(nameBytes.begin(), nameBytes.begin() + 32));

  sim::SimMatrix eightAgain(ConfigOf(sim::DeviceKind::Matrix8));
  Command(eightAgain, 0x83, 0x19, {0, 30});  // an eight-channel switcher has no format
  EXPECT_EQ(eightAgain.State().OutputFormat, 7);
}

TEST(SimMatrixTest, BacklightAndLock) {
  sim::SimMatrix device(ConfigOf(sim::DeviceKind::Matrix16));
  Bytes reply = Reply(Command(device, 0x03, 0x50), 23, 0x50);
  EXPECT_EQ(reply[18], 4);
  EXPECT_EQ(reply[19], 80);

  device.Receive(BuildMatrixValueFrame(0x01, 0x51, 1, LinkKind::Serial), {});
  device.Receive(BuildMatrixValueFrame(0x01, 0x52, 50, LinkKind::Lan), kController);
  device.Receive(BuildMatrixValueFrame(0x01, 0x51, 5, LinkKind::Lan), kController);    // beyond
  device.Receive(BuildMatrixValueFrame(0x01, 0x52, 101, LinkKind::Lan), kController);  // beyond
  reply = Reply(Command(device, 0x03, 0x50), 23, 0x50);
  EXPECT_EQ(reply[18], 1);
  EXPECT_EQ(reply[19], 50);

  // Locked: texts and setters are refused, queries answered, the front panel still works.
  Command(device, 0x83, CommandCode::SetLock, {1});
  EXPECT_EQ(device.State().LockState, 1);
  Text(device, "2All.");
  device.Receive(BuildMatrixValueFrame(0x01, 0x52, 10, LinkKind::Lan), kController);
  Command(device, 0x83, 0x19, {0, 6});
  EXPECT_EQ(device.State().routes, OneToOne(16));
  EXPECT_EQ(device.State().BacklightBrightness, 50);
  EXPECT_EQ(device.State().OutputFormat, 7);
  EXPECT_TRUE(device.Route(9, 1));
  EXPECT_FALSE(device.Route(17, 1));
  EXPECT_EQ(Reply(Command(device, 0x83, 0x53), 73, 0x53)[18], 9);

  Command(device, 0x83, CommandCode::SetLock, {0});
  Text(device, "2All.");
  EXPECT_EQ(device.State().routes, Bytes(16, 2));
}

}  // namespace
}  // namespace quintara
