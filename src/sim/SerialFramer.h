#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quintara::sim {

// Cuts the byte stream a device receives on its serial line into messages: control frames
// (0xA5 0x6C, Length, ..., 0xAE) and plain texts ending in '.', as the routing commands are.
class SerialFramer {
 public:
  void Append(std::span<const std::uint8_t> bytes);
  // The next complete message, or nothing until more bytes arrive.
  std::optional<std::vector<std::uint8_t>> Next();

 private:
  std::optional<std::vector<std::uint8_t>> NextFrame();
  std::optional<std::vector<std::uint8_t>> NextText();
  // Offset of the first frame at or after `from` that is complete and well formed: its trailer
  // where its Length says, and its sum right.
  std::optional<std::size_t> FindWellFormedFrame(std::size_t from) const;
  std::vector<std::uint8_t> Take(std::size_t count);

  std::vector<std::uint8_t> pending_;
};

}  // namespace quintara::sim
