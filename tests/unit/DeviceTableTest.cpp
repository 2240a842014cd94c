#include <gtest/gtest.h>

#include "core/link/DeviceDirectory.h"
#include "support/CraftedDevice.h"

namespace quintara {
namespace {

using test::DiscoverAnswer;
using test::NameAndIdentity;

const Ipv4Address kSender{{192, 168, 1, 100}};

TEST(DiscoverAnswerParsing, WellFormedAnswerGivesOneEntry) {
  const auto answer = DiscoverAnswer(0xA1, 0x07, NameAndIdentity("KVT2208Z", {1, 2, 3, 4}));
  const auto devices = ParseDiscoverAnswer(answer, kSender);
  ASSERT_EQ(devices.size(), 1u);
  const DeviceEntry& entry = devices[0].entry;
  EXPECT_EQ(entry.AddressText(), "192.168.1.100");
  EXPECT_EQ(entry.DeviceType, 0xA1);
  EXPECT_EQ(entry.DeviceAddress, 0x07);
  EXPECT_EQ(entry.DeviceIdentity, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(entry.ModelMatch, 1);
  EXPECT_EQ(devices[0].listLine, "KVT2208Z_192.168.1.100");
}

TEST(DiscoverAnswerParsing, NamesAreLatin1AndMayBeEmpty) {
  const auto latin = DiscoverAnswer(0x82, 0x01, NameAndIdentity("Caf\xE9", {9, 9, 9, 9}));
  ASSERT_EQ(ParseDiscoverAnswer(latin, kSender).size(), 1u);
  EXPECT_EQ(ParseDiscoverAnswer(latin, kSender)[0].listLine, "Caf\xC3\xA9_192.168.1.100");

  const auto unnamed = DiscoverAnswer(0x82, 0x01, NameAndIdentity("", {9, 9, 9, 9}));
  const auto devices = ParseDiscoverAnswer(unnamed, kSender);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].listLine, "_192.168.1.100");
  EXPECT_EQ(devices[0].entry.ModelMatch, 0);
}

TEST(DiscoverAnswerParsing, IdentityBeyondTheDatagramIsStoredAsZero) {
  // Separators right before the sum: the identity starts at the sum, its last byte is missing.
  const auto nearEnd = DiscoverAnswer(0xA1, 0x01, {'M', 'V', '-', 0x00, '-'});
  const std::size_t size = nearEnd.size();
  auto devices = ParseDiscoverAnswer(nearEnd, kSender);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(
      devices[0].entry.DeviceIdentity,
      (std::array<std::uint8_t, 4>{nearEnd[size - 3], nearEnd[size - 2], nearEnd[size - 1], 0}));

  // The last separator the scan accepts stands just before the sum, its partner in the sum.
  std::vector<std::uint8_t> atEnd = DiscoverAnswer(0xA1, 0x01, {'M', 'V', '-'});
  atEnd[atEnd.size() - 2] = '-';
  devices = ParseDiscoverAnswer(atEnd, kSender);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].entry.DeviceIdentity, (std::array<std::uint8_t, 4>{0xAE, 0, 0, 0}));
  EXPECT_EQ(devices[0].listLine, "MV_192.168.1.100");
}

TEST(DiscoverAnswerParsing, TwoPatternsGiveTwoEntriesAndNoneGivesNothing) {
  const auto twice =
      DiscoverAnswer(0x83, 0x01, {'A', '-', 'x', '-', 'B', 'B', '-', 'y', '-', 1, 2, 3, 4});
  const auto devices = ParseDiscoverAnswer(twice, kSender);
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[0].listLine, "A_192.168.1.100");
  EXPECT_EQ(devices[0].entry.DeviceIdentity, (std::array<std::uint8_t, 4>{'B', 'B', '-', 'y'}));
  EXPECT_EQ(devices[1].listLine, "A-x-BB_192.168.1.100");
  EXPECT_EQ(devices[1].entry.DeviceIdentity, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));

  EXPECT_TRUE(ParseDiscoverAnswer(DiscoverAnswer(0x83, 1, {'A', 'B', 'C', 'D'}), kSender).empty());
  EXPECT_TRUE(ParseDiscoverAnswer(std::vector<std::uint8_t>(21, '-'), kSender).empty());
}

TEST(DeviceDirectoryCapacity, KeepsTheFirst256Devices) {
  DeviceDirectory devices;
  DiscoveredDevice device;
  device.listLine = "x";
  for (int i = 0; i < 300; ++i) {
    device.entry.DeviceAddress = static_cast<std::uint8_t>(i);
    EXPECT_EQ(devices.Record(device), i < 256);
  }
  EXPECT_EQ(devices.Table().Count(), 256u);
  EXPECT_EQ(devices.Table().Entry(255).DeviceAddress, 255);
  EXPECT_EQ(devices.Lines().size(), 256u);

  devices.BeginSearch();
  EXPECT_EQ(devices.Table().Count(), 0u);
  EXPECT_EQ(devices.Table().Entry(0), DeviceEntry{});
  EXPECT_TRUE(devices.Lines().empty());
}

TEST(DeviceEntryAddress, TextIsCutToFifteenCharactersAndTerminated) {
  DeviceEntry entry;
  entry.SetAddressText("192.168.100.200-extra");
  EXPECT_EQ(entry.AddressText(), "192.168.100.200");
  EXPECT_EQ(entry.addressText[15], '\0');
}

}  // namespace
}  // namespace quintara
