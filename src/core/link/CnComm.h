#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <future>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "core/link/BlockBuffer.h"

namespace quintara {

// A serial port on a POSIX terminal device, with optional worker threads and chained read and
// write buffers. The controller holds one, with a watch thread and asynchronous I/O.
class CnComm {
 public:
  using BlockBuffer = quintara::BlockBuffer;

  enum Option : std::uint32_t {
    kWatchThread = 0x001,     // watch the port for events while it is open
    kOverlapped = 0x002,      // reads wait for their data, writes are not waited for
    kReadBuffer = 0x004,      // received bytes are kept in the read buffer; reads take from it
    kWriteBuffer = 0x008,     // written bytes are queued in the write buffer
    kReadThread = 0x010,      // a thread moves received bytes into the read buffer every 50 ms
    kWriteThread = 0x020,     // a thread drains the write buffer when woken or every 200 ms
    kSuspended = 0x040,       // threads wait for ResumeThreads before they start working
    kRaisedPriority = 0x080,  // threads run one step above normal priority
    kFlushOnClose = 0x100,    // let the output drain before closing
    kDrainOnClose = 0x200,    // as kFlushOnClose, after the write buffer has emptied
  };
  static constexpr std::uint32_t kControllerOptions = kWatchThread | kOverlapped;
  static constexpr int kCloseWaitMs = 500;
  // Names this long or longer are refused.
  static constexpr std::size_t kNameLimit = 63;
  static constexpr int kOpenedPortNumber = 1028;

  explicit CnComm(std::uint32_t options = kControllerOptions);
  ~CnComm();
  CnComm(const CnComm&) = delete;
  CnComm& operator=(const CnComm&) = delete;

  // Opens the named port exclusively at 8N1 and the given rate; an open port is closed first.
  bool SerialOpen(std::string_view portName, int baudRate);
  // Stops the threads (each gets waitMs to end), purges and closes. Nothing when closed.
  void SerialClose(int waitMs = kCloseWaitMs);
  bool IsOpen() const { return fd_.load() >= 0; }

  // Returns when buffer.size() bytes came, after 100 ms of silence between bytes, or after
  // 500 ms in all (250 ms without kOverlapped).
  std::size_t SerialRead(std::span<std::uint8_t> buffer);
  // Hands the bytes to the port; returns how many it took.
  std::size_t SerialWrite(std::span<const std::uint8_t> bytes);
  // Bytes waiting in the port's input queue; -1 when closed or unreadable.
  int QueuedInput() const;

  void ResumeThreads();

  std::uint32_t Options() const { return options_; }
  const std::string& PortName() const { return portName_; }
  int PortNumber() const { return portNumber_; }
  std::uint32_t BytesRead() const { return bytesRead_.load(); }
  std::uint32_t BytesWritten() const { return bytesWritten_.load(); }
  BlockBuffer& ReadBuffer() { return readBuffer_; }
  BlockBuffer& WriteBuffer() { return writeBuffer_; }
  bool HasThreads() const;

 private:
  struct Worker {
    std::thread thread;
    std::future<void> finished;
    int wake = -1;  // eventfd: stop, or look again
  };

  bool ConfigureLine(int baudRate);
  bool StartThreads();
  bool StopThreads(int waitMs);
  bool StartWorker(Worker& worker, void (CnComm::*loop)(int wake));
  bool StopWorker(Worker& worker, int waitMs);
  void EnterThread();
  void WatchLoop(int wake);
  void ReadLoop(int wake);
  void WriteLoop(int wake);
  // Moves what the port holds into the read buffer (read-buffer option).
  void MoveInputToReadBuffer(std::size_t limit);
  // Writes at most one block from the front of the write buffer.
  void DrainWriteBuffer();
  std::size_t ReadFromPort(std::span<std::uint8_t> buffer);
  std::size_t WriteToPort(std::span<const std::uint8_t> bytes);

  const std::uint32_t options_;
  std::atomic<int> fd_{-1};
  int portNumber_ = -1;
  std::string portName_;
  std::mutex mutex_;  // guards the suspension gate of the threads
  BlockBuffer readBuffer_;
  BlockBuffer writeBuffer_;
  std::atomic<std::uint32_t> bytesRead_{0};
  std::atomic<std::uint32_t> bytesWritten_{0};
  std::atomic<bool> running_{false};
  std::condition_variable resumedChanged_;
  bool resumed_ = false;  // guarded by mutex_
  Worker watch_;
  Worker reader_;
  Worker writer_;
};

// Drops whatever waits in the port's input; nothing when the queue cannot be read.
void DiscardInput(CnComm& port);
// Reads up to buffer.size() bytes: from the read buffer under its option, else from the port.
std::size_t BufferedRead(CnComm& port, std::span<std::uint8_t> buffer);

}  // namespace quintara
