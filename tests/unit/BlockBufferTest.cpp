#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

#include "core/link/BlockBuffer.h"

namespace quintara {
namespace {

std::vector<std::uint8_t> Sequence(std::size_t count, std::uint8_t start = 0) {
  std::vector<std::uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), start);
  return bytes;
}

TEST(BlockBuffer, TakesInOrderAcrossBlocksAndDropsOnNullOut) {
  BlockBuffer buffer(16);
  const auto bytes = Sequence(100);
  buffer.Write(std::span(bytes).first(10));
  buffer.Write(std::span(bytes).subspan(10, 30));
  buffer.Write(std::span(bytes).subspan(40));
  EXPECT_EQ(buffer.BlockCount(), 3u);
  std::vector<std::uint8_t> out(100);
  EXPECT_EQ(buffer.Take(7, out.data()), 7u);
  EXPECT_EQ(buffer.FirstBlockSize(), 3u);
  EXPECT_EQ(buffer.Take(50, out.data() + 7), 50u);  // ends inside the third block
  EXPECT_EQ(buffer.Take(1000, out.data() + 57), 43u);
  EXPECT_EQ(out, bytes);

  buffer.Write(bytes);
  EXPECT_EQ(buffer.Take(30, nullptr), 30u);
  EXPECT_EQ(buffer.Take(1, out.data()), 1u);
  EXPECT_EQ(out[0], 30);
  EXPECT_EQ(buffer.Size(), 69u);
}

TEST(BlockBuffer, EmptiedLastBlockIsKeptOnlyWhenSmall) {
  BlockBuffer small;
  small.Write(Sequence(100));
  small.Take(100, nullptr);
  EXPECT_EQ(small.BlockCount(), 1u);
  small.Write(Sequence(1023));  // fits only because the offsets were reset
  EXPECT_EQ(small.BlockCount(), 1u);

  BlockBuffer large;
  large.Write(Sequence(5000));
  large.Take(5000, nullptr);
  EXPECT_EQ(large.BlockCount(), 0u);
}

TEST(BlockBuffer, WriteNeedsMoreRoomThanItsLength) {
  BlockBuffer buffer;
  buffer.Write(Sequence(1000));
  buffer.Write(Sequence(24));  // exactly the room left
  EXPECT_EQ(buffer.BlockCount(), 2u);
  EXPECT_EQ(buffer.FirstBlockSize(), 1000u);
}

TEST(BlockBuffer, ConcurrentWriterAndTakerKeepEveryByteInOrder) {
  constexpr std::size_t kTotal = 200'000;
  BlockBuffer buffer(64);
  std::thread producer([&buffer] {
    for (std::size_t written = 0, chunk = 1; written < kTotal; written += chunk) {
      chunk = std::min(1 + written % 97, kTotal - written);
      buffer.Write(Sequence(chunk, static_cast<std::uint8_t>(written)));
    }
  });
  std::size_t received = 0, outOfOrder = 0;
  std::vector<std::uint8_t> out(300);
  while (received < kTotal) {
    const std::size_t taken = buffer.Take(1 + received % out.size(), out.data());
    for (std::size_t k = 0; k < taken; ++k) {
      outOfOrder += out[k] != static_cast<std::uint8_t>(received + k);
    }
    received += taken;
  }
  producer.join();
  EXPECT_EQ(outOfOrder, 0u);
  EXPECT_EQ(buffer.Size(), 0u);
}

}  // namespace
}  // namespace quintara
