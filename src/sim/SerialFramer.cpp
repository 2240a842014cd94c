#include "sim/SerialFramer.h"

#include <algorithm>

#include "core/link/ControlFrame.h"

namespace quintara::sim {
namespace {

// Longer than any frame of the protocol; a Length beyond it is line noise.
constexpr std::size_t kLargestFrame = 4096;

}  // namespace

void SerialFramer::Append(std::span<const std::uint8_t> bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<std::vector<std::uint8_t>> SerialFramer::Next() {
  while (!pending_.empty()) {
    const std::size_t before = pending_.size();
    std::optional<std::vector<std::uint8_t>> message =
        pending_.front() == frame::kStart ? NextFrame() : NextText();
    if (message || pending_.size() == before) {
      return message;  // a message, or a wait for more bytes
    }
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> SerialFramer::NextFrame() {
  if (pending_.size() >= 2 && pending_[1] != frame::kTag) {
    Take(1);
    return std::nullopt;
  }
  if (pending_.size() < 4) {
    return std::nullopt;
  }
  const std::size_t length = pending_[2] | (std::size_t{pending_[3]} << 8);
  if (length < frame::kOverhead || length > kLargestFrame) {
    Take(1);
    return std::nullopt;
  }
  if (pending_.size() < length) {
    // Waiting out a false start would keep the device deaf until its Length arrived; a
    // complete, well-formed frame behind it marks it as one, and is served instead.
    if (const std::optional<std::size_t> later = FindWellFormedFrame(1)) {
      Take(*later);
    }
    return std::nullopt;
  }
  if (pending_[length - 1] != frame::kTrailer) {
    Take(1);
    return std::nullopt;
  }
  return Take(length);
}

std::optional<std::size_t> SerialFramer::FindWellFormedFrame(std::size_t from) const {
  for (std::size_t at = from; at + frame::kOverhead <= pending_.size(); ++at) {
    if (pending_[at] != frame::kStart || pending_[at + 1] != frame::kTag) {
      continue;
    }
    const std::size_t length = pending_[at + 2] | (std::size_t{pending_[at + 3]} << 8);
    if (length < frame::kOverhead || at + length > pending_.size() ||
        pending_[at + length - 1] != frame::kTrailer) {
      continue;
    }
    const auto candidate = std::span(pending_).subspan(at, length);
    const std::uint16_t sum = FrameSum(candidate.first(length - 3));
    if (candidate[length - 3] == (sum & 0xFF) && candidate[length - 2] == (sum >> 8)) {
      return at;
    }
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> SerialFramer::NextText() {
  const auto stop = std::ranges::find_if(
      pending_, [](std::uint8_t byte) { return byte == '.' || byte == frame::kStart; });
  if (stop == pending_.end()) {
    if (pending_.size() > kLargestFrame) {
      pending_.clear();  // noise that never ends a text
    }
    return std::nullopt;
  }
  const auto count = static_cast<std::size_t>(stop - pending_.begin());
  if (*stop == frame::kStart) {
    Take(count);  // bytes before a frame that no '.' closed
    return std::nullopt;
  }
  return Take(count + 1);
}

std::vector<std::uint8_t> SerialFramer::Take(std::size_t count) {
  std::vector<std::uint8_t> taken(pending_.begin(),
                                  pending_.begin() + static_cast<std::ptrdiff_t>(count));
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
  return taken;
}

}  // namespace quintara::sim
