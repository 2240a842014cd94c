#include "fuzz/MessageScript.h"

#include <algorithm>
#include <cstddef>

namespace quintara::fuzz {

std::vector<Message> SplitMessages(std::span<const std::uint8_t> script) {
  std::vector<Message> messages;
  while (script.size() >= 2) {
    const std::size_t length = script[0] | (std::size_t{script[1]} << 8);
    script = script.subspan(2);
    const std::size_t taken = std::min(length, script.size());
    messages.emplace_back(script.begin(), script.begin() + static_cast<std::ptrdiff_t>(taken));
    script = script.subspan(taken);
  }
  return messages;
}

void AppendMessage(std::vector<std::uint8_t>& script, std::span<const std::uint8_t> message) {
  script.push_back(static_cast<std::uint8_t>(message.size() & 0xFF));
  script.push_back(static_cast<std::uint8_t>(message.size() >> 8));
  script.insert(script.end(), message.begin(), message.end());
}

}  // namespace quintara::fuzz
