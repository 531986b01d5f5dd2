// Pattern dialect and search: the detectors' own patterns, every element of the dialect, malformed patterns,
// and patterns that would take a backtracking matcher exponential time.
#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"
#include "detect/Pattern.h"

namespace tc {
namespace {

struct MatchCase {
  std::u16string pattern;
  std::u16string text;
  bool matches;
};

void ExpectMatches(const MatchCase* begin, const MatchCase* end, bool caseSensitive) {
  for (const MatchCase* c = begin; c != end; ++c) {
    Pattern pattern;
    ASSERT_TRUE(CompilePattern(pattern, c->pattern, caseSensitive)) << ToUtf8(c->pattern);
    EXPECT_EQ(MatchPattern(pattern, c->text), c->matches) << ToUtf8(c->pattern) << " on \"" << ToUtf8(c->text) << "\"";
  }
}

template <std::size_t N>
void ExpectMatches(const MatchCase (&cases)[N], bool caseSensitive = true) {
  ExpectMatches(cases, cases + N, caseSensitive);
}

TEST(PatternDetectorPatterns, VersionKeyAcceptsOnlyWholeVersionNames) {
  const std::u16string key = u"^\\d+\\.\\d+\\.[0-9_\\.]+$";
  const MatchCase cases[] = {
      {key, u"1.6.0_20", true},   {key, u"1.7.0", true},          {key, u"10.0.1", true},
      {key, u"1.4.2_19.1", true}, {key, u"1.6", false},           {key, u"1.6.0_20-b02", false},
      {key, u" 1.6.0", false},    {key, u"1.6.0 ", false},        {key, u"", false},
      {key, u"1..0", false},      {key, u"x1.6.0", false},        {key, u"1.6.", false},
  };
  ExpectMatches(cases);
}

TEST(PatternDetectorPatterns, DevicePatternsLookForTheOptionAnywhere) {
  const std::u16string any = u".*-Xdevice:.*";
  const std::u16string deviceA = u".*-Xdevice:DeviceA.*";
  const MatchCase cases[] = {
      {any, u"-Xdescriptor:%1 -Xdevice:DeviceA", true},
      {any, u"-Xdevice:", true},
      {any, u"-Xdescriptor:%1", false},
      {any, u"", false},
      {any, u"-xdevice:DeviceA", false},
      {deviceA, u"-Xdescriptor:%1 -Xdevice:DeviceA", true},
      {deviceA, u"-Xdevice:DeviceA2", true},
      {deviceA, u"-Xdevice:DeviceB", false},
      {deviceA, u"-Xdevice: DeviceA", false},
      // A device id is inserted verbatim: its dot stands for any character.
      {u".*-Xdevice:Nokia.N95.*", u"-Xdevice:Nokia_N95", true},
      {u".*-Xdevice:Nokia.N95.*", u"-Xdevice:NokiaN95", false},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, IsASearchUnlessAnchored) {
  const MatchCase cases[] = {
      {u"b", u"abc", true},    {u"^b", u"abc", false},  {u"^a", u"abc", true},   {u"c$", u"abc", true},
      {u"b$", u"abc", false},  {u"^abc$", u"abc", true}, {u"^ab$", u"abc", false}, {u"", u"", true},
      {u"", u"x", true},       {u"^", u"x", true},      {u"$", u"x", true},      {u"^$", u"", true},
      {u"^$", u"x", false},    {u"bc", u"abd bce", true}, {u"x", u"", false},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, AnchorsAreSpecialOnlyAtTheEnds) {
  const MatchCase cases[] = {
      {u"a$b", u"xa$by", true},   {u"a$b", u"ab", false},  {u"a^b", u"a^b", true},
      {u"^^a", u"^a", true},      {u"^^a", u"a", false},   {u"a\\$", u"a$", true},
      {u"a\\$", u"a", false},     {u"a$$", u"a$", true},   {u"a$$", u"a$x", false},
      {u"^\\^", u"^x", true},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, QuantifiersAreGreedyAndGiveBack) {
  const MatchCase cases[] = {
      {u"^a*a$", u"aaa", true},      {u"^a*$", u"", true},          {u"^a+$", u"", false},
      {u"^a+a$", u"a", false},       {u"^a+a$", u"aa", true},       {u"^.*b.*c$", u"abbcc", true},
      {u"^.*b.*c$", u"acb", false},  {u"^x.+y$", u"xy", false},     {u"^x.+y$", u"xzy", true},
      {u"^[ab]*b$", u"abab", true},  {u"^[ab]*b$", u"aba", false},  {u"^\\d*\\.\\d+$", u".5", true},
      {u"^a*b*c*$", u"aacc", true},  {u"^a*b*c*$", u"aca", false},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, BracketListsTakeRangesAndEscapes) {
  const MatchCase cases[] = {
      {u"^[0-9_\\.]$", u"5", true},  {u"^[0-9_\\.]$", u"_", true},  {u"^[0-9_\\.]$", u".", true},
      {u"^[0-9_\\.]$", u"x", false}, {u"^[a-cx]$", u"b", true},      {u"^[a-cx]$", u"x", true},
      {u"^[a-cx]$", u"d", false},    {u"^[.]$", u"x", false},        {u"^[.]$", u".", true},
      {u"^[-a]$", u"-", true},       {u"^[a-]$", u"-", true},        {u"^[a-]$", u"b", false},
      {u"^[\\]]$", u"]", true},      {u"^[\\-]$", u"-", true},       {u"^[\\d]$", u"d", true},
      {u"^[\\d]$", u"5", false},     {u"^[^ab]$", u"c", true},       {u"^[^ab]$", u"a", false},
      {u"^[a^]$", u"^", true},       {u"^[--/]$", u".", true},       {u"^[a\\-z]$", u"m", false},
      {u"^[$]$", u"$", true},        {u"^[*+]+$", u"+*", true},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, BackslashMakesOtherCharactersLiteral) {
  const MatchCase cases[] = {
      {u"^\\.$", u".", true},  {u"^\\.$", u"x", false}, {u"^\\*$", u"*", true},  {u"^\\[$", u"[", true},
      {u"^\\\\$", u"\\", true}, {u"^\\t$", u"t", true},  {u"^\\t$", u"\t", false}, {u"^\\D$", u"D", true},
      {u"^\\D$", u"5", false}, {u"^\\+$", u"+", true},
      // Characters the dialect gives no meaning are literal, so a device id with them matches itself.
      {u"^(x)|y?{2}$", u"(x)|y?{2}", true}, {u"]", u"a]", true}, {u"^a?$", u"a", false},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, AbbreviationsStandForTheirClasses) {
  const MatchCase cases[] = {
      {u"^\\a$", u"Z", true},     {u"^\\a$", u"7", true},      {u"^\\a$", u"_", false},
      {u"^\\b$", u" ", true},     {u"^\\b$", u"\t", true},     {u"^\\b$", u"\n", false},
      {u"^\\c$", u"q", true},     {u"^\\c$", u"1", false},     {u"^\\d$", u"0", true},
      {u"^\\d$", u"a", false},    {u"^\\h$", u"F", true},      {u"^\\h$", u"g", false},
      // \w and \z are runs: one or more letters, one or more digits.
      {u"^\\w$", u"abcXYZ", true}, {u"^\\w$", u"ab1", false},  {u"^\\w$", u"", false},
      {u"^\\w*$", u"", true},     {u"^\\w+1$", u"ab1", true},  {u"^\\z$", u"0123", true},
      {u"^\\z$", u"12a", false},  {u"^\\z\\.\\z$", u"10.25", true},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, LineBreakIsCrLfOrEitherAlone) {
  const MatchCase cases[] = {
      {u"^a\\nb$", u"a\rb", true},    {u"^a\\nb$", u"a\nb", true},   {u"^a\\nb$", u"a\r\nb", true},
      {u"^a\\nb$", u"a\n\rb", false}, {u"^a\\nb$", u"ab", false},    {u"^\\n$", u"\r\n", true},
      {u"^\\n$", u"\n\n", false},     {u"^\\n+$", u"\n\r\n\r", true}, {u"^\\n*$", u"", true},
      {u"^a\\n*b$", u"a\r\r\nb", true},
  };
  ExpectMatches(cases);
}

TEST(PatternDialect, QuotedTextHasNoQuoteOfItsKindInside) {
  const MatchCase cases[] = {
      {u"^\\q$", u"\"abc\"", true},   {u"^\\q$", u"'a\"b'", true},     {u"^\\q$", u"\"a'b\"", true},
      {u"^\\q$", u"\"\"", true},      {u"^\\q$", u"\"ab'", false},     {u"^\\q$", u"\"a\"b\"", false},
      {u"^\\q$", u"abc", false},      {u"^\\q+$", u"\"a\"'b'", true},  {u"^\\q*$", u"", true},
      {u"=\\q;", u"x=\"1\";", true},  {u"=\\q;", u"x=\"1;", false},
  };
  ExpectMatches(cases);
}

TEST(PatternCase, InsensitiveModeFoldsPatternAndText) {
  const MatchCase cases[] = {
      {u".*-Xdevice:.*", u"-xDEVICE:a", true},  {u"ABC", u"xabcx", true},       {u"^[A-C]+$", u"bCa", true},
      {u"^[a-c]+$", u"BCA", true},              {u"^[^a]$", u"A", false},       {u"^\\c+$", u"aZ", true},
      {u"^\\D$", u"d", true},                   {u"^\\d$", u"D", false},        {u"^\\q$", u"'X'", true},
      {u"^[0-9]$", u"a", false},
  };
  ExpectMatches(cases, false);
}

TEST(PatternCompile, RefusesMalformedPatterns) {
  for (const std::u16string text : {u"[abc", u"[", u"abc\\", u"\\", u"*a", u"+a", u"^*", u"^+a", u"a**", u"a+*",
                                    u"a*+", u"[]", u"[^]", u"[z-a]", u"[a-", u"[a\\", u"[a-\\", u"x[\\]"}) {
    Pattern pattern;
    EXPECT_FALSE(CompilePattern(pattern, text, true)) << ToUtf8(text);
    // A pattern that does not compile matches nothing, not even the empty text.
    EXPECT_FALSE(MatchPattern(pattern, u"")) << ToUtf8(text);
    EXPECT_FALSE(MatchPattern(pattern, text)) << ToUtf8(text);
  }
}

TEST(PatternCompile, RecompilingReplacesThePreviousPattern) {
  Pattern pattern;
  EXPECT_FALSE(MatchPattern(pattern, u"")) << "a pattern never compiled matches nothing";
  ASSERT_TRUE(CompilePattern(pattern, u"^a$", true));
  EXPECT_TRUE(MatchPattern(pattern, u"a"));
  ASSERT_TRUE(CompilePattern(pattern, u"^b$", true));
  EXPECT_TRUE(MatchPattern(pattern, u"b"));
  EXPECT_FALSE(MatchPattern(pattern, u"a"));
  ASSERT_TRUE(CompilePattern(pattern, u"B", false));
  EXPECT_TRUE(MatchPattern(pattern, u"b"));
  EXPECT_FALSE(CompilePattern(pattern, u"[b", true));
  EXPECT_FALSE(MatchPattern(pattern, u"b"));
  EXPECT_FALSE(MatchPattern(pattern, u"[b"));
}

// Patterns on which a plain backtracking matcher takes exponential or high-polynomial time, or recursion as
// deep as the text; each must still give the backtracking answer.
TEST(PatternBounds, PathologicalPatternsAnswerCorrectly) {
  const std::u16string as(1024, u'a');
  std::u16string manyStars;
  for (int i = 0; i < 500; ++i) manyStars += u"a*";
  const MatchCase cases[] = {
      {u"a*a*a*a*a*a*a*a*b", as, false},
      {u"a*a*a*a*a*a*a*a*b", as + u"b", true},
      {u"^a*a*a*a*a*a*a*a*$", as, true},
      {u".*.*.*x", as, false},
      {u".*.*.*x", as + u"x", true},
      {u"^(a+)+$", as, false},
      {u"^\\w*\\w*\\w*1$", as, false},
      {u"^\\n*\\n*x", std::u16string(1024, u'\r') + u"\n", false},
      {u"^\\q*$", std::u16string(1024, u'"'), true},
      {u"^\\q*$", std::u16string(1023, u'"'), false},
      {manyStars + u"b", as, false},
      {manyStars + u"$", as, true},
  };
  ExpectMatches(cases);
}

TEST(PatternBounds, LongTextsNeedNoDeepStack) {
  std::u16string text(1 << 18, u'x');
  text.back() = u'y';
  const MatchCase cases[] = {
      {u".*y", text, true},
      {u"^x+y$", text, true},
      {u"^[^z]*z", text, false},
  };
  ExpectMatches(cases);
}

}  // namespace
}  // namespace tc
