#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quintara {

// Bytes taken one character each (ISO 8859-1), as device names arrive in Discover answers.
std::string Latin1ToUtf8(std::span<const std::uint8_t> bytes);

// Nothing when the text is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

std::string Utf16ToUtf8(std::u16string_view text);

// Two bytes per UTF-16 code unit, low byte first, no terminator.
std::vector<std::uint8_t> EncodeUtf16Le(std::u16string_view text);

// Low byte first, up to the first zero character; an odd last byte is taken as a character
// of its own (high byte 0).
std::u16string DecodeUtf16Le(std::span<const std::uint8_t> bytes);

// Bytes as upper-case hex pairs with a space between them: "A5 6C 15".
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace quintara
