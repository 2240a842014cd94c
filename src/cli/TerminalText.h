#pragma once

#include <string>
#include <string_view>

namespace quintara::cli {

// Text from a device, made safe to print on a terminal: every control character (U+0000-U+001F,
// U+007F and U+0080-U+009F) becomes \xHH with its code in lower-case hex, and a backslash becomes
// \\, so that a name cannot move the cursor or clear the screen and the printed text still says
// exactly what the device sent. The text is UTF-8; everything else passes unchanged.
std::string TerminalText(std::string_view text);

}  // namespace quintara::cli
