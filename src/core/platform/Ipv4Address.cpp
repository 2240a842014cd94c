#include "core/platform/Ipv4Address.h"

#include <charconv>

namespace quintara {

std::optional<Ipv4Address> Ipv4Address::Parse(std::string_view text) {
  Ipv4Address address;
  const char* cursor = text.data();
  const char* const end = text.data() + text.size();
  for (std::size_t i = 0; i < address.octets.size(); ++i) {
    if (i > 0) {
      if (cursor == end || *cursor != '.') {
        return std::nullopt;
      }
      ++cursor;
    }
    const char* const digitsStart = cursor;
    unsigned value = 0;
    const auto [next, error] = std::from_chars(cursor, end, value);
    if (error != std::errc{} || value > 255 || next - digitsStart > 3) {
      return std::nullopt;
    }
    address.octets[i] = static_cast<std::uint8_t>(value);
    cursor = next;
  }
  if (cursor != end) {
    return std::nullopt;
  }
  return address;
}

std::string Ipv4Address::ToText() const {
  std::string text;
  for (std::size_t i = 0; i < octets.size(); ++i) {
    if (i > 0) {
      text += '.';
    }
    text += std::to_string(octets[i]);
  }
  return text;
}

}  // namespace quintara
