// Text helpers: conversions that must survive hostile bytes, and Format.
#include <gtest/gtest.h>

#include "base/Text.h"

namespace tc {
namespace {

TEST(Utf8, RoundTripsEveryPlane) {
  const std::u16string text = u"a\u00e9\u4e2d\U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(text).size(), 1u + 2 + 3 + 4);
}

TEST(Utf8, MalformedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");               // truncated at the end
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");      // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");  // encoded surrogate
  EXPECT_EQ(FromUtf8("\xFFok"), u"\uFFFDok");
  EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Format, FillsConversionsInOrder) {
  EXPECT_EQ(Format(u"File \"%s\" read error.", {std::u16string_view(u"C:\\a b.jad")}),
            u"File \"C:\\a b.jad\" read error.");
  EXPECT_EQ(Format(u"%u bytes, %i, %04x, 100%%", {4294967295u, std::int32_t{-5}, 0xABu}),
            u"4294967295 bytes, -5, 00ab, 100%");
  EXPECT_EQ(Format(u"%u and %u", {7u}), u"7 and %u");  // a missing argument leaves its conversion as written
  EXPECT_EQ(Format(u"trailing %", {}), u"trailing %");
}

TEST(ParseLeadingDecimal, ReadsLikeTheCRuntime) {
  EXPECT_EQ(ParseLeadingDecimal(u"  12abc"), 12);
  EXPECT_EQ(ParseLeadingDecimal(u"-1"), -1);
  EXPECT_EQ(ParseLeadingDecimal(u"+05"), 5);
  EXPECT_EQ(ParseLeadingDecimal(u"x"), 0);
  EXPECT_EQ(ParseLeadingDecimal(u""), 0);
  EXPECT_GT(ParseLeadingDecimal(u"99999999999999999999999"), 256);  // huge stays huge, never wraps
}

}  // namespace
}  // namespace tc
