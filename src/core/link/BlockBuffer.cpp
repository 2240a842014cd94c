#include "core/link/BlockBuffer.h"

#include <algorithm>
#include <cstring>

namespace quintara {

BlockBuffer::BlockBuffer(std::size_t minimumBlockSize) : minimumBlockSize_(minimumBlockSize) {}

BlockBuffer::~BlockBuffer() {
  Clear();
}

void BlockBuffer::Write(std::span<const std::uint8_t> bytes) {
  const std::size_t count = bytes.size();
  if (count == 0) {
    return;
  }
  std::lock_guard lock(mutex_);
  // Strictly more room than needed, so a write never fills the last block exactly.
  if (last_ == nullptr || last_->capacity - last_->writeOffset <= count) {
    auto block = std::make_unique<Block>(std::max(count, minimumBlockSize_));
    Block* added = block.get();
    if (last_ == nullptr) {
      first_ = std::move(block);
    } else {
      last_->next = std::move(block);
    }
    last_ = added;
  }
  std::memcpy(last_->data.get() + last_->writeOffset, bytes.data(), count);
  last_->writeOffset += count;
  size_ += count;
}

std::size_t BlockBuffer::Take(std::size_t count, std::uint8_t* out) {
  std::lock_guard lock(mutex_);
  std::size_t taken = 0;
  while (taken < count && first_ != nullptr) {
    Block& block = *first_;
    const std::size_t part = std::min(count - taken, block.writeOffset - block.readOffset);
    if (out != nullptr && part > 0) {
      std::memcpy(out + taken, block.data.get() + block.readOffset, part);
    }
    block.readOffset += part;
    taken += part;
    if (block.readOffset < block.writeOffset) {
      break;
    }
    // A small last block is reused rather than reallocated on the next write.
    if (&block == last_ && block.capacity <= 4 * minimumBlockSize_) {
      block.readOffset = 0;
      block.writeOffset = 0;
      break;
    }
    FreeFirstLocked();
  }
  size_ -= taken;
  return taken;
}

void BlockBuffer::Clear() {
  std::lock_guard lock(mutex_);
  // One block at a time: letting the unique_ptr chain unwind itself recurses per block.
  while (first_ != nullptr) {
    FreeFirstLocked();
  }
  size_ = 0;
}

void BlockBuffer::FreeFirstLocked() {
  std::unique_ptr<Block> next = std::move(first_->next);
  first_ = std::move(next);
  if (first_ == nullptr) {
    last_ = nullptr;
  }
}

std::size_t BlockBuffer::Size() const {
  std::lock_guard lock(mutex_);
  return size_;
}

std::size_t BlockBuffer::BlockCount() const {
  std::lock_guard lock(mutex_);
  std::size_t blocks = 0;
  for (const Block* block = first_.get(); block != nullptr; block = block->next.get()) {
    ++blocks;
  }
  return blocks;
}

std::size_t BlockBuffer::FirstBlockSize() const {
  std::lock_guard lock(mutex_);
  return first_ == nullptr ? 0 : first_->writeOffset - first_->readOffset;
}

}  // namespace quintara
