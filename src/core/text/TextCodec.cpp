#include "core/text/TextCodec.h"

namespace quintara {
namespace {

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i], advancing i; nothing on a malformed sequence.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) {
    return lead;
  }
  int continuation = 0;
  char32_t codePoint = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    continuation = 1, codePoint = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    continuation = 2, codePoint = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    continuation = 3, codePoint = lead & 0x07, minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  for (int k = 0; k < continuation; ++k) {
    if (i >= text.size()) {
      return std::nullopt;
    }
    const auto next = static_cast<unsigned char>(text[i++]);
    if ((next & 0xC0) != 0x80) {
      return std::nullopt;
    }
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) {
    return std::nullopt;
  }
  return codePoint;
}

}  // namespace

std::string Latin1ToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const std::uint8_t byte : bytes) {
    AppendUtf8(out, byte);
  }
  return out;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::optional<char32_t> codePoint = DecodeUtf8(text, i);
    if (!codePoint) {
      return std::nullopt;
    }
    if (*codePoint < 0x10000) {
      out += static_cast<char16_t>(*codePoint);
    } else {
      const char32_t offset = *codePoint - 0x10000;
      out += static_cast<char16_t>(0xD800 + (offset >> 10));
      out += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    const bool pairs = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                       text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pairs) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      unit = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    AppendUtf8(out, unit);
  }
  return out;
}

std::vector<std::uint8_t> EncodeUtf16Le(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

std::u16string DecodeUtf16Le(std::span<const std::uint8_t> bytes) {
  std::u16string text;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const std::uint8_t high = i + 1 < bytes.size() ? bytes[i + 1] : 0;
    const auto unit = static_cast<char16_t>(bytes[i] | (high << 8));
    if (unit == 0) {
      break;
    }
    text += unit;
  }
  return text;
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) {
      text += ' ';
    }
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

}  // namespace quintara
