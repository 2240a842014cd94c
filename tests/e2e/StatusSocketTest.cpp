// The status socket holds a burst of reports that arrives faster than the listener takes them;
// the command socket goes only where it is aimed.
#include <gtest/gtest.h>

#include "core/link/NetworkLink.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

class StatusSocket : public ::testing::Test {
 protected:
  StatusSocket() : link(test::LoopbackLink({}, test::FreeUdpPort())) {
    DeviceEntry entry;
    entry.SetAddressText("127.0.0.1");
    devices.Record({entry, "KVT2208Z_127.0.0.1"});
    devices.SetSelectedIndex(0);
  }

  LinkConfig link;
  LinkTiming timing;
  DeviceDirectory devices;
  SystemClock clock;
  test::RecordingPrompter prompter;
  DeviceListView view;
  NetworkLink network{link, timing, clock, view};
};

TEST_F(StatusSocket, AsksForMoreRoomThanASocketGetsByDefault) {
  const std::optional<UdpSocket> status = network.OpenStatusSocket();
  ASSERT_TRUE(status);
  const std::optional<UdpSocket> plain = UdpSocket::Create();
  ASSERT_TRUE(plain);
  const std::optional<std::size_t> granted = status->ReceiveBufferSize();
  const std::optional<std::size_t> usual = plain->ReceiveBufferSize();
  ASSERT_TRUE(granted && usual);
  EXPECT_GT(*granted, *usual);

  // Asking a socket for less than it already has never shrinks it.
  std::optional<UdpSocket> other = UdpSocket::Create();
  ASSERT_TRUE(other);
  EXPECT_EQ(other->RequestReceiveBuffer(1024), usual);
}

TEST_F(StatusSocket, KeepsEveryReportOfABurstUntilItIsRead) {
  std::optional<UdpSocket> status = network.OpenStatusSocket();
  ASSERT_TRUE(status);
  if (status->ReceiveBufferSize().value_or(0) < NetworkLink::kStatusReceiveBuffer) {
    GTEST_SKIP() << "this system grants the status socket only "
                 << status->ReceiveBufferSize().value_or(0)
                 << " bytes (net.core.rmem_max, and no CAP_NET_ADMIN)";
  }
  std::optional<UdpSocket> device = UdpSocket::Create();
  ASSERT_TRUE(device && device->Bind({Ipv4Address::Loopback(), 0}));
  constexpr int kBurst = 1000;
  const UdpEndpoint to{Ipv4Address::Loopback(), link.statusPort};
  for (int i = 0; i < kBurst; ++i) {
    Frame report = BuildFrame(0xA1, 0x01, LinkKind::Lan, 0x33,
                              std::vector<std::uint8_t>{0x00, static_cast<std::uint8_t>(i)});
    ASSERT_TRUE(device->SendTo(report, to));
  }
  std::vector<std::uint8_t> buffer(1400);
  int received = 0;
  while (status->WaitReadable(200) && status->ReceiveFrom(buffer)) {
    EXPECT_EQ(buffer[frame::kValuesOffset], static_cast<std::uint8_t>(received));
    ++received;
  }
  EXPECT_EQ(received, kBurst);
}

// The link only carries frames. Handed no device, even with one selected, it sends nothing,
// asks the operator nothing and says so; the frame after it is the first to arrive.
TEST_F(StatusSocket, ACommandWithoutADeviceLeavesNothingAndSaysSo) {
  std::optional<UdpSocket> device = UdpSocket::Create();
  ASSERT_TRUE(device && device->Bind({Ipv4Address::Loopback(), 0}));
  const LinkConfig aimedAtDevice = test::LoopbackLink({}, device->LocalEndpoint()->port);
  NetworkLink commands{aimedAtDevice, timing, clock, view};
  const Frame unaimed = BuildFrame(0xA1, 0x01, LinkKind::Lan, 0x33, std::vector<std::uint8_t>{1});
  const Frame aimed = BuildFrame(0xA1, 0x01, LinkKind::Lan, 0x33, std::vector<std::uint8_t>{2});
  EXPECT_EQ(commands.SendFrame(unaimed, std::nullopt), SendResult::NoDevice);
  EXPECT_EQ(commands.SendFrame(aimed, Ipv4Address::Loopback()), SendResult::Sent);
  EXPECT_TRUE(prompter.errors.empty());
  std::vector<std::uint8_t> buffer(64);
  ASSERT_TRUE(device->WaitReadable(2000));
  const std::optional<ReceivedDatagram> datagram = device->ReceiveFrom(buffer);
  ASSERT_TRUE(datagram);
  buffer.resize(datagram->size);
  EXPECT_EQ(buffer, aimed);
}

}  // namespace
}  // namespace quintara
