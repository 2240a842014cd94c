#include <gtest/gtest.h>

#include "core/text/TextCodec.h"

namespace quintara {
namespace {

TEST(Utf8ToUtf16, DecodesEveryPlaneAndRejectsMalformedInput) {
  EXPECT_EQ(Utf8ToUtf16("Cam 1"), u"Cam 1");
  EXPECT_EQ(Utf8ToUtf16("\xC3\xA9\xE4\xB8\xAD"), u"\u00E9\u4E2D");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x8E\xA5"), u"\U0001F3A5");  // a surrogate pair
  EXPECT_FALSE(Utf8ToUtf16("\xC3"));                          // cut short
  EXPECT_FALSE(Utf8ToUtf16("\xC0\xAF"));                      // overlong
  EXPECT_FALSE(Utf8ToUtf16("\xED\xA0\x80"));                  // encoded surrogate
  EXPECT_FALSE(Utf8ToUtf16("\xFF"));
}

TEST(EncodeUtf16Le, WritesLowByteFirstWithoutTerminator) {
  EXPECT_EQ(EncodeUtf16Le(u"A\u4E2D"), (std::vector<std::uint8_t>{0x41, 0x00, 0x2D, 0x4E}));
  EXPECT_TRUE(EncodeUtf16Le(u"").empty());
}

}  // namespace
}  // namespace quintara
