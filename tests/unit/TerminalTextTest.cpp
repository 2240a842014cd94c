#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/TerminalText.h"

namespace quintara::cli {
namespace {

TEST(TerminalText, EscapesEveryControlCharacterAndTheBackslashOnly) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"KVT2208Z Cam 1", "KVT2208Z Cam 1"},
      {"\x1B[2J", "\\x1b[2J"},  // clears the screen
      {std::string("\0\t\n\r\x1F", 5), "\\x00\\x09\\x0a\\x0d\\x1f"},
      {"a\x7F", "a\\x7f"},  // DEL
      {"\xC2\x9B"
       "31m\xC2\x80\xC2\x9F",
       "\\x9b31m\\x80\\x9f"},    // C1: CSI, first and last
      {"C:\\x1b", "C:\\\\x1b"},  // a backslash the device sent stays told apart
      {"\xC2\xA0\xC3\xA9\xE4\xB8\xAD", "\xC2\xA0\xC3\xA9\xE4\xB8\xAD"},  // NBSP, e acute, CJK
      {"end \xC2", "end \xC2"},  // a cut sequence is not a C1 control
  };
  for (const auto& [text, shown] : cases) {
    EXPECT_EQ(TerminalText(text), shown) << text;
  }
}

}  // namespace
}  // namespace quintara::cli
