// How a simulated device cuts its serial line into messages when the line carries stray bytes.
#include <gtest/gtest.h>

#include "core/link/ControlFrame.h"
#include "sim/SerialFramer.h"
#include "support/Bytes.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// Everything the framer hands out for these bytes, fed in one piece.
std::vector<Bytes> Messages(sim::SerialFramer& framer, const Bytes& bytes) {
  framer.Append(bytes);
  std::vector<Bytes> messages;
  while (std::optional<Bytes> message = framer.Next()) {
    messages.push_back(*message);
  }
  return messages;
}

const Bytes kLock = BuildFrame(0xA1, 0x01, LinkKind::Serial, CommandCode::SetLock, Bytes{0x01});
const Bytes kUnlock = BuildFrame(0xA1, 0x01, LinkKind::Serial, CommandCode::SetLock, Bytes{0x00});

TEST(SerialFramer, AStrayHeaderDoesNotDeafenTheDeviceToTheRequestsBehindIt) {
  // Lengths of 4 KiB, 512 and 64 bytes that never complete, each right before a request.
  for (const Bytes& stray : {test::Bytes("A5 6C FF 0F"), test::Bytes("A5 6C 00 02 00 00 00 00"),
                             test::Bytes("A5 6C 40 00 A1 01")}) {
    sim::SerialFramer framer;
    EXPECT_EQ(Messages(framer, Concat({stray, kLock})), std::vector<Bytes>{kLock})
        << stray.size() << " stray bytes";
    EXPECT_EQ(Messages(framer, kUnlock), std::vector<Bytes>{kUnlock});
  }
}

TEST(SerialFramer, ARequestArrivingInPiecesBehindAStrayHeaderIsServedOnceComplete) {
  sim::SerialFramer framer;
  EXPECT_TRUE(Messages(framer, Concat({test::Bytes("A5 6C FF 0F"),
                                       Bytes(kLock.begin(), kLock.begin() + 10)}))
                  .empty());
  EXPECT_EQ(Messages(framer, Bytes(kLock.begin() + 10, kLock.end())), std::vector<Bytes>{kLock});
}

TEST(SerialFramer, OnlyAWellFormedFrameEndsTheWaitForAnEarlierOne) {
  // A request still arriving holds a frame-like run whose sum is wrong: the framer keeps
  // waiting for the request instead of cutting it there.
  Bytes inner = kLock;
  inner[inner.size() - 3] ^= 0x01;
  Bytes payload(40, 0x00);
  std::ranges::copy(inner, payload.begin() + 4);
  const Bytes outer = BuildFrame(0xA1, 0x01, LinkKind::Serial, CommandCode::SetLabel, payload);
  sim::SerialFramer framer;
  EXPECT_TRUE(Messages(framer, Bytes(outer.begin(), outer.end() - 2)).empty());
  EXPECT_EQ(Messages(framer, Bytes(outer.end() - 2, outer.end())), std::vector<Bytes>{outer});

  // A complete frame with a wrong sum is still served, as before: devices do not check sums.
  sim::SerialFramer plain;
  EXPECT_EQ(Messages(plain, inner), std::vector<Bytes>{inner});
}

}  // namespace
}  // namespace quintara
