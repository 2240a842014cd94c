#include "cli/TerminalText.h"

namespace quintara::cli {
namespace {

constexpr unsigned char kC1Lead = 0xC2;  // U+0080-U+009F in UTF-8: C2 80 to C2 9F

bool IsC0OrDelete(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F;
}

bool IsC1Tail(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F;
}

void AppendEscape(std::string& out, unsigned char code) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\x";
  out += kDigits[code >> 4];
  out += kDigits[code & 0x0F];
}

}  // namespace

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\\') {
      out += "\\\\";
    } else if (IsC0OrDelete(byte)) {
      AppendEscape(out, byte);
    } else if (byte == kC1Lead && i + 1 < text.size() &&
               IsC1Tail(static_cast<unsigned char>(text[i + 1]))) {
      AppendEscape(out, static_cast<unsigned char>(text[++i]));
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace quintara::cli
