// CnComm on real pseudo-terminals.
#include <gtest/gtest.h>

#include <chrono>

#include "core/link/CnComm.h"
#include "support/Patience.h"
#include "support/Pty.h"

namespace quintara {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

TEST(SerialPort, OpensExclusivelyAndReopensCleanly) {
  test::PtyPair first;
  test::PtyPair second;
  CnComm port;
  ASSERT_TRUE(port.SerialOpen(first.Path(), 9600));
  EXPECT_EQ(port.PortNumber(), CnComm::kOpenedPortNumber);
  EXPECT_TRUE(port.HasThreads());  // the watch thread

  CnComm other;
  EXPECT_FALSE(other.SerialOpen(first.Path(), 9600));  // held by the port above
  EXPECT_FALSE(other.IsOpen());
  EXPECT_FALSE(other.SerialOpen(second.Path(), 0));  // no such rate
  EXPECT_FALSE(other.IsOpen());

  EXPECT_FALSE(port.SerialOpen("/dev/" + std::string(58, 'x'), 9600));  // 63 characters
  EXPECT_TRUE(port.IsOpen());                                           // left as it was

  ASSERT_TRUE(port.SerialOpen(second.Path(), 115200));  // closes the first port
  EXPECT_TRUE(other.SerialOpen(first.Path(), 19200));
  port.SerialClose();
  port.SerialClose();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(port.HasThreads());
}

TEST(SerialPort, ReadEndsAfterSilenceAndClosedPortsCountMinusOne) {
  test::PtyPair line;
  CnComm port;
  EXPECT_EQ(port.QueuedInput(), -1);
  DiscardInput(port);  // nothing to do, nothing breaks
  ASSERT_TRUE(port.SerialOpen(line.Path(), 9600));

  line.Send(Bytes(23, 0x42));
  EXPECT_TRUE(test::AwaitCondition([&port] { return port.QueuedInput() == 23; }));
  Bytes buffer(64);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port.SerialRead(buffer), 23u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);  // the silence that ends it
  EXPECT_EQ(port.BytesRead(), 23u);

  line.Send({1, 2, 3});
  ASSERT_TRUE(test::AwaitCondition([&port] { return port.QueuedInput() == 3; }));
  DiscardInput(port);
  EXPECT_EQ(port.QueuedInput(), 0);

  const Bytes frame{0xA5, 0x6C, 0x14, 0x00};
  EXPECT_EQ(port.SerialWrite(frame), frame.size());
  EXPECT_EQ(line.Receive(), frame);
  EXPECT_EQ(port.BytesWritten(), 4u);
}

TEST(SerialPort, BufferOptionsMoveBytesThroughTheirThreads) {
  test::PtyPair line;
  CnComm port(CnComm::kOverlapped | CnComm::kReadBuffer | CnComm::kReadThread |
              CnComm::kWriteBuffer | CnComm::kWriteThread);
  ASSERT_TRUE(port.SerialOpen(line.Path(), 9600));

  line.Send({7, 8, 9});
  ASSERT_TRUE(test::AwaitCondition([&port] { return port.ReadBuffer().Size() >= 3; }));
  Bytes taken(8);
  EXPECT_EQ(BufferedRead(port, taken), 3u);
  EXPECT_EQ(Bytes(taken.begin(), taken.begin() + 3), (Bytes{7, 8, 9}));

  const Bytes text{'3', 'V', '1', ',', '4', '.'};
  EXPECT_EQ(port.SerialWrite(text), text.size());  // queued; the write thread sends it
  EXPECT_EQ(line.Receive(), text);
  port.SerialClose();
  EXPECT_FALSE(port.HasThreads());
}

TEST(SerialPort, WatchThreadDrainsTheWriteBufferWithoutAWriteThread) {
  test::PtyPair line;
  CnComm port(CnComm::kWatchThread | CnComm::kOverlapped | CnComm::kWriteBuffer);
  ASSERT_TRUE(port.SerialOpen(line.Path(), 9600));
  const Bytes frame(40, 0x11);
  EXPECT_EQ(port.SerialWrite(frame), frame.size());
  EXPECT_EQ(line.Receive(), frame);
}

}  // namespace
}  // namespace quintara
