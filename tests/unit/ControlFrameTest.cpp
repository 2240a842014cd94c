#include <gtest/gtest.h>

#include <numeric>

#include "core/link/ControlFrame.h"
#include "core/text/TextCodec.h"
#include "support/Bytes.h"

namespace quintara {
namespace {

using test::Bytes;

// Friday 15 March 2024, 14:07:09.
const LocalDateTime kFriday{2024, 3, 15, 5, 14, 7, 9};

TEST(DiscoverFrame, CarriesTheLocalTimeInBcdOnEitherLink) {
  EXPECT_EQ(
      BuildDiscoverFrame(LinkKind::Lan, kFriday),
      Bytes("A5 6C 1B 00 FF FF 01 00 00 00 00 00 00 00 00 00 FF 24 03 15 05 14 07 09 8F 04 AE"));
  EXPECT_EQ(
      BuildDiscoverFrame(LinkKind::Serial, kFriday),
      Bytes("A5 6C 1B 00 FF FF 00 00 00 00 00 00 00 00 00 00 FF 24 03 15 05 14 07 09 8E 04 AE"));
}

TEST(DiscoverFrame, EncodesYear2000AndSundayAsZero) {
  const Frame frame = BuildDiscoverFrame(LinkKind::Lan, {2000, 12, 31, 0, 23, 59, 58});
  ASSERT_EQ(frame.size(), kDiscoverFrameSize);
  EXPECT_EQ(Frame(frame.begin() + 17, frame.begin() + 24), Bytes("00 12 31 00 23 59 58"));
}

TEST(FrameLayout, FrameWithoutPayloadIsTwentyBytesAndSumsItsHeader) {
  const Frame frame = BuildFrame(0xA1, 0x01, LinkKind::Lan, 0x0A);
  ASSERT_EQ(frame.size(), 20u);
  EXPECT_EQ(frame[2], 0x14);
  EXPECT_EQ(frame[3], 0x00);
  const unsigned sum = std::accumulate(frame.begin(), frame.begin() + 17, 0u);
  EXPECT_EQ(frame[17] | (frame[18] << 8), sum);
  EXPECT_EQ(frame[19], 0xAE);
}

TEST(FrameLayout, SumKeepsOnlyItsLowSixteenBits) {
  const std::vector<std::uint8_t> bytes(300, 0xFF);  // 76 500 in all
  EXPECT_EQ(FrameSum(bytes), 76500 % 65536);

  const Frame frame = BuildFrame(0xA1, 0x01, LinkKind::Lan, 0x1E, bytes);
  const unsigned fullSum = std::accumulate(frame.begin(), frame.end() - 3, 0u);
  ASSERT_GT(fullSum, 65535u);
  EXPECT_EQ(frame[frame.size() - 3] | (frame[frame.size() - 2] << 8), fullSum & 0xFFFF);
}

TEST(DeviceNameFrame, ThreeCharactersMakeTwentySixBytesOfUtf16) {
  const Frame frame = BuildDeviceNameFrame(0xA1, 0x01, LinkKind::Lan, EncodeUtf16Le(u"Cam"));
  ASSERT_EQ(frame.size(), 26u);
  EXPECT_EQ(Frame(frame.begin(), frame.begin() + 4), Bytes("A5 6C 1A 00"));
  EXPECT_EQ(frame[16], CommandCode::SetDeviceName);
  EXPECT_EQ(Frame(frame.begin() + 17, frame.begin() + 23), Bytes("43 00 61 00 6D 00"));
}

TEST(NetworkFrame, StaticAndDhcpMatchTheDeviceProtocol) {
  const std::array<std::uint8_t, 12> staticAddress{192, 168, 1, 50};
  EXPECT_EQ(BuildNetworkFrame(0xA1, 0x01, LinkKind::Lan, staticAddress, 0),
            Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 C0 A8 01 32 "
                  "00 00 00 00 00 00 00 00 00 75 03 AE"));
  const std::array<std::uint8_t, 12> none{};
  EXPECT_EQ(BuildNetworkFrame(0xA1, 0x01, LinkKind::Lan, none, 1),
            Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 "
                  "00 00 00 00 00 00 00 00 00 00 00 00 01 DB 01 AE"));
}

TEST(MatrixFrames, QueriesAndSettersMatchTheWorkedExamples) {
  EXPECT_EQ(BuildFrame(0x82, 0x01, LinkKind::Lan, 0x53),
            Bytes("A5 6C 14 00 82 01 01 00 00 00 00 00 00 00 00 00 53 FC 01 AE"));
  EXPECT_EQ(BuildFrame(0x82, 0x01, LinkKind::Serial, 0x53),
            Bytes("A5 6C 14 00 82 01 00 00 00 00 00 00 00 00 00 00 53 FB 01 AE"));
  EXPECT_EQ(BuildFrame(0x83, 0x01, LinkKind::Lan, 0x53),
            Bytes("A5 6C 14 00 83 01 01 00 00 00 00 00 00 00 00 00 53 FD 01 AE"));
  EXPECT_EQ(BuildFrame(kMatrixValueDeviceType, 0x01, LinkKind::Lan, 0x50),
            Bytes("A5 6C 14 00 03 01 01 00 00 00 00 00 00 00 00 00 50 7A 01 AE"));
  EXPECT_EQ(BuildMatrixValueFrame(0x01, 0x51, 4, LinkKind::Lan),
            Bytes("A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 00 51 04 80 01 AE"));
  EXPECT_EQ(BuildMatrixValueFrame(0x01, 0x52, 50, LinkKind::Lan),
            Bytes("A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 00 52 32 AF 01 AE"));
  const std::array<std::uint8_t, 2> format{0x00, 0x07};
  EXPECT_EQ(BuildFrame(0x83, 0x01, LinkKind::Lan, 0x19, format),
            Bytes("A5 6C 16 00 83 01 01 00 00 00 00 00 00 00 00 00 19 00 07 CC 01 AE"));
}

TEST(LabelFrame, SelectorAndFixedRunPrecedeThePayload) {
  const std::array<std::uint8_t, 4> text{0x41, 0x00, 0x42, 0x00};
  const Frame frame = BuildLabelFrame(0xA1, 0x02, LinkKind::Serial, 0x07, text);
  ASSERT_EQ(frame.size(), text.size() + 28);
  EXPECT_EQ(frame[2], text.size() + 28);
  EXPECT_EQ(frame[6], 0x00);
  EXPECT_EQ(frame[16], 0x1E);
  EXPECT_EQ(Frame(frame.begin() + 17, frame.begin() + 29),
            Bytes("07 01 00 01 00 01 00 01 41 00 42 00"));
  EXPECT_EQ(frame[text.size() + 25] | (frame[text.size() + 26] << 8),
            FrameSum(std::span(frame).first(text.size() + 25)));
  EXPECT_EQ(frame.back(), 0xAE);
}

TEST(FrameShape, OnlyStartTagAndTrailerAreChecked) {
  Frame wrongSum = BuildFrame(0xA1, 0x01, LinkKind::Lan, 0xFF);
  wrongSum[17] ^= 0xFF;
  EXPECT_TRUE(IsFrameShaped(wrongSum));
  EXPECT_TRUE(IsFrameShaped(Bytes("A5 6C AE")));
  EXPECT_FALSE(IsFrameShaped(Bytes("A5 6C")));
  EXPECT_FALSE(IsFrameShaped(Bytes("A5")));
  EXPECT_FALSE(IsFrameShaped({}));
  EXPECT_FALSE(IsFrameShaped(Bytes("A5 6D 00 AE")));
  EXPECT_FALSE(IsFrameShaped(Bytes("A5 6C 00 AF")));
}

}  // namespace
}  // namespace quintara
