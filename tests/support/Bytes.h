#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace quintara::test {

// "A5 6C 1B 00" -> bytes; the worked examples read best in this form.
inline std::vector<std::uint8_t> Bytes(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in(hex);
  std::string token;
  while (in >> token) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
  }
  return bytes;
}

}  // namespace quintara::test
