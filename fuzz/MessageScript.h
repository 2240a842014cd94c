#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quintara::fuzz {

using Message = std::vector<std::uint8_t>;

// An input that carries several messages: each is its length as two bytes, low byte first, then
// its bytes. A length beyond the input takes what is left. Each message gets a buffer of its
// own, so the sanitizer catches a read past its end.
std::vector<Message> SplitMessages(std::span<const std::uint8_t> script);

// Appends one message to a script, for the seeds.
void AppendMessage(std::vector<std::uint8_t>& script, std::span<const std::uint8_t> message);

}  // namespace quintara::fuzz
