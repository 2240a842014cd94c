#include <gtest/gtest.h>

#include "core/matrix/MatrixCommands.h"
#include "core/matrix/MatrixState.h"
#include "core/text/TextCodec.h"

namespace quintara {
namespace {

MatrixState Marked(std::uint8_t input, std::initializer_list<int> outputs) {
  MatrixState state;
  state.selectedInput = input;
  for (const int o : outputs) {
    state.pendingMarks[static_cast<std::size_t>(o - 1)] = input;
  }
  return state;
}

TEST(MatrixRoutingTexts, AreBuiltFromTheMarksAndUpdateTheTables) {
  MatrixState three = Marked(3, {1, 4});
  EXPECT_EQ(RouteToOutputsText(three, 3, three.MarkedOutputs(), 8), "3V1,4.");
  EXPECT_EQ(three.routeTable[0], 3);
  EXPECT_EQ(three.statusTable[3], 3);
  EXPECT_EQ(three.pendingMarks[3], 3);  // marks stay

  MatrixState twelve = Marked(12, {9, 10, 16});
  EXPECT_EQ(RouteToOutputsText(twelve, 12, twelve.MarkedOutputs(), 16), "12V9,10,16.");
  // An eight-channel switcher has none of them.
  EXPECT_FALSE(RouteToOutputsText(twelve, 12, twelve.MarkedOutputs(), 8));

  MatrixState unmarked = Marked(5, {});
  EXPECT_FALSE(RouteToOutputsText(unmarked, 5, unmarked.MarkedOutputs(), 16));
  EXPECT_EQ(unmarked.routeTable, MatrixState{}.routeTable);

  MatrixState all = Marked(12, {});
  EXPECT_EQ(RouteToAllText(all, 12, 16), "12All.");
  EXPECT_EQ(all.statusTable[15], 12);
  MatrixState none;
  EXPECT_EQ(RouteOneToOneText(none, 8), "All#.");
  EXPECT_EQ(none.statusTable[7], 8);
  EXPECT_EQ(none.statusTable[8], 0);
}

std::vector<std::uint8_t> StatusReply(std::size_t size, std::size_t nameLengthAt,
                                      std::uint8_t nameLength) {
  // Built at full length, then cut to the size that arrived.
  std::vector<std::uint8_t> reply(kSixteenChannelStatusSize, 0);
  reply[16] = 0x53;
  for (std::size_t o = 0; o < 16; ++o) {
    reply[18 + o] = static_cast<std::uint8_t>(16 - o);
  }
  reply[nameLengthAt] = nameLength;
  const std::vector<std::uint8_t> name = EncodeUtf16Le(u"ABCDEFGHIJKLMNOPQ");
  for (std::size_t k = 0; k < nameLength && nameLengthAt + 1 + k < reply.size(); ++k) {
    reply[nameLengthAt + 1 + k] = name[k % name.size()];
  }
  reply.resize(size);
  return reply;
}

TEST(MatrixStatusReplies, BothLayoutsAndTheNameRule) {
  std::vector<std::uint8_t> eight = StatusReply(kEightChannelStatusSize, 28, 6);
  eight[26] = 1;
  eight[27] = 0;
  const std::optional<MatrixStatus> status = ParseMatrixStatus(eight, kEightChannelType);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->statusTable[0], 16);
  EXPECT_EQ(status->statusTable[8], 1);  // bytes 26-33 land in entries 9-16 on eight channels
  EXPECT_EQ(status->LockState, 1);
  EXPECT_EQ(status->AddressMode, 0);
  EXPECT_EQ(status->name, u"ABC");
  EXPECT_FALSE(status->formatCode);

  std::vector<std::uint8_t> sixteen = StatusReply(kSixteenChannelStatusSize, 37, 32);
  sixteen[36] = 31;
  const std::optional<MatrixStatus> wide = ParseMatrixStatus(sixteen, kSixteenChannelType);
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->name, u"ABCDEFGHIJKLMNOP");  // 32 bytes, 16 characters
  EXPECT_EQ(wide->formatCode, 31);
  EXPECT_FALSE(MatrixFormatIndex(31));  // not a row: the panel shows the first, "1080p60"
  EXPECT_EQ(MatrixFormatIndex(7), 0u);

  EXPECT_EQ(ParseMatrixStatus(StatusReply(73, 37, 33), kSixteenChannelType)->name, u"Custom Name");
  EXPECT_EQ(ParseMatrixStatus(StatusReply(64, 28, 0), kEightChannelType)->name, u"Custom Name");
  // Cut short: the fixed fields never arrived, and a name is read only as far as it arrived.
  EXPECT_FALSE(ParseMatrixStatus(StatusReply(37, 37, 4), kSixteenChannelType));
  EXPECT_EQ(ParseMatrixStatus(StatusReply(33, 28, 8), kEightChannelType), std::nullopt);
  EXPECT_EQ(ParseMatrixStatus(StatusReply(31, 28, 32), kEightChannelType), std::nullopt);
  EXPECT_EQ(ParseMatrixStatus(StatusReply(40, 28, 32), kEightChannelType)->name, u"ABCDEF");
}

}  // namespace
}  // namespace quintara
