// The status socket holds a burst of reports that arrives faster than the listener takes them.
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
  NetworkLink network{link, timing, devices, clock, prompter, view};
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

}  // namespace
}  // namespace quintara
