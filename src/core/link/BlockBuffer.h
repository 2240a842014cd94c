#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

namespace quintara {

// A byte queue kept as a chain of blocks, so large writes never move bytes already queued.
// Every public call takes the buffer's own lock: one thread may write while another takes.
class BlockBuffer {
 public:
  static constexpr std::size_t kDefaultMinimumBlockSize = 1024;

  explicit BlockBuffer(std::size_t minimumBlockSize = kDefaultMinimumBlockSize);
  ~BlockBuffer();

  BlockBuffer(const BlockBuffer&) = delete;
  BlockBuffer& operator=(const BlockBuffer&) = delete;

  // Appends bytes after everything already queued.
  void Write(std::span<const std::uint8_t> bytes);
  // Removes up to count bytes from the front, copying them to out unless out is null.
  // Returns how many bytes were removed.
  std::size_t Take(std::size_t count, std::uint8_t* out);
  // Frees every block.
  void Clear();

  std::size_t Size() const;
  std::size_t MinimumBlockSize() const { return minimumBlockSize_; }
  std::size_t BlockCount() const;
  // Bytes readable from the first block alone; 0 when nothing is allocated.
  std::size_t FirstBlockSize() const;

 private:
  struct Block {
    explicit Block(std::size_t size)
        : capacity(size), data(std::make_unique_for_overwrite<std::uint8_t[]>(size)) {}

    std::size_t readOffset = 0;
    std::size_t writeOffset = 0;
    std::size_t capacity;
    std::unique_ptr<Block> next;
    std::unique_ptr<std::uint8_t[]> data;
  };

  void FreeFirstLocked();

  mutable std::mutex mutex_;
  std::unique_ptr<Block> first_;
  Block* last_ = nullptr;
  std::size_t size_ = 0;
  const std::size_t minimumBlockSize_;
};

}  // namespace quintara
