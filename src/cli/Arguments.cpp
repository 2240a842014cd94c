#include "cli/Arguments.h"

#include <charconv>

#include "cli/CommandContext.h"

namespace quintara::cli {

int BoundedNumber(const std::string& text, int low, int high, const std::string& what) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low ||
      value > high) {
    throw UsageError{what + " takes a number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not '" + text + "'"};
  }
  return value;
}

}  // namespace quintara::cli
