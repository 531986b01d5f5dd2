// Attribute files: line splitting, look-ups, edits, and lines written back exactly as they were read.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "formats/AttributeFile.h"

namespace tc {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

AttributeFile Parsed(std::string_view text) {
  AttributeFile file;
  file.Parse(Bytes(text));
  return file;
}

std::string Serialized(const AttributeFile& file) {
  std::vector<std::uint8_t> bytes = Bytes("left over from before");
  file.Serialize(bytes);
  return {bytes.begin(), bytes.end()};
}

using Lines = std::vector<std::pair<std::u16string, std::u16string>>;

Lines LinesOf(const AttributeFile& file) {
  Lines lines;
  for (std::size_t i = 0; i < file.LineCount(); ++i) lines.emplace_back(file.Line(i).text, file.Line(i).ending);
  return lines;
}

TEST(AttributeFileParse, SplitsOnEveryKindOfTerminator) {
  const struct {
    std::string_view bytes;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"A: 1\r\nB: 2", {{u"A: 1", u"\r\n"}, {u"B: 2", u""}}},
      {"A: 1\n\rB: 2\n", {{u"A: 1", u"\n\r"}, {u"B: 2", u"\n"}}},
      {"a\r\rb", {{u"a", u"\r"}, {u"", u"\r"}, {u"b", u""}}},
      {"a\n\nb", {{u"a", u"\n"}, {u"", u"\n"}, {u"b", u""}}},
      {"\n\r\n", {{u"", u"\n\r"}, {u"", u"\n"}}},
      {"\r\n\n\r", {{u"", u"\r\n"}, {u"", u"\n\r"}}},
      {"x\r", {{u"x", u"\r"}}},
      {"MIDlet-Description: a\n  continued\n", {{u"MIDlet-Description: a", u"\n"}, {u"  continued", u"\n"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LinesOf(Parsed(c.bytes)), c.lines) << c.bytes;
  }
}

TEST(AttributeFileParse, DecodesEachLineTolerantly) {
  const struct {
    std::string_view bytes;
    std::u16string text;
  } cases[] = {
      {"\xC3\xA9t\xC3\xA9", u"\u00e9t\u00e9"},
      {"\xE4\xB8\xAD", u"\u4e2d"},
      // A Latin-1 letter takes the next two bytes with it.
      {"Caf\xE9 Ltd", std::u16string(u"Caf") + char16_t(0x980C) + u"td"},
      // At the end of the line it stands alone, so the line break after it still counts.
      {"Caf\xE9\r\n", u"Caf\u00e9"},
      {"x\xC3", u"x\u00c3"},
      {"\xE4\xB8", u"\u0138"},  // only two bytes left: the two-byte formula
      // A 4-byte sequence is read as three bytes and a stray one.
      {"\xF0\x9F\x98\x80", std::u16string{char16_t(0x07D8), char16_t(0x0080)}},
      {"\xEF\xBB\xBF" "A", u"\uFEFFA"},
      {"\xC0\x8A", u"\n"},  // an overlong line feed is text, not a terminator
  };
  for (const auto& c : cases) {
    const AttributeFile file = Parsed(c.bytes);
    ASSERT_GE(file.LineCount(), 1u) << c.bytes;
    EXPECT_EQ(file.Line(0).text, c.text) << c.bytes;
  }
}

TEST(AttributeFileSerialize, ReproducesAnyBytesThatWereNotEdited) {
  const std::string_view cases[] = {
      "MIDlet-Name: Game\r\nMIDlet-Jar-Size: 100",
      "A: 1\nB: 2\r\nC: 3\rD: 4\n\r\n\n\r\r",
      "\xEF\xBB\xBFMIDlet-Name: Game\r\n",
      "MIDlet-Vendor: Soci\xE9t\xE9\r\nMIDlet-Jar-Size: 5\r\n",
      "MIDlet-Name: \xF0\x9F\x98\x80 Party\nMIDlet-Jar-Size: 5\n",
      "\xC0\x8A\xE0\x80\x8A\x80\n\xFF\xFE\xFD\r\xBF",
      std::string_view("nul\0inside\n", 11),
  };
  for (const std::string_view bytes : cases) {
    EXPECT_EQ(Serialized(Parsed(bytes)), bytes);
  }
}

TEST(AttributeFileLookup, MatchesNameColonBlankInAnyLetterCase) {
  const struct {
    std::string_view line;
    bool found;
    std::u16string trimmed;
    std::u16string untrimmed;
  } cases[] = {
      {"MIDlet-Jar-URL:   app.jar  ", true, u"app.jar", u"  app.jar  "},
      {"midlet-JAR-url: app.jar", true, u"app.jar", u"app.jar"},
      {"MIDlet-Jar-URL: \t app.jar\x0B\x0C", true, u"app.jar", u"\t app.jar\v\f"},
      {"MIDlet-Jar-URL: ", true, u"", u""},
      {"MIDlet-Jar-URL:app.jar", false, u"", u""},
      {"MIDlet-Jar-URL : app.jar", false, u"", u""},
      {" MIDlet-Jar-URL: app.jar", false, u"", u""},
      {"MIDlet-Jar-URL:", false, u"", u""},
      {"MIDlet-Jar-URLs: app.jar", false, u"", u""},
      {"\xEF\xBB\xBFMIDlet-Jar-URL: app.jar", false, u"", u""},
  };
  for (const auto& c : cases) {
    const AttributeFile file = Parsed(std::string("Other: x\n") + std::string(c.line) + "\r\n");
    EXPECT_EQ(file.FindLine(u"MIDlet-Jar-URL"), c.found ? 1 : -1) << c.line;
    EXPECT_EQ(file.HasAttribute(u"MIDlet-Jar-URL"), c.found) << c.line;
    EXPECT_EQ(file.GetValue(u"MIDlet-Jar-URL", true), c.trimmed) << c.line;
    EXPECT_EQ(file.GetValue(u"MIDlet-Jar-URL", false), c.untrimmed) << c.line;
  }
}

TEST(AttributeFileLookup, FoldsOnlyAsciiLetters) {
  const AttributeFile file = Parsed("\xC3\xA4rger: 1\n");  // "ärger"
  EXPECT_EQ(file.FindLine(u"\u00e4rger"), 0);
  EXPECT_EQ(file.FindLine(u"\u00c4rger"), -1);
  EXPECT_EQ(file.FindLine(u"\u00c4RGER"), -1);
}

TEST(AttributeFileLookup, FirstOfTwoLinesWithTheSameNameWins) {
  AttributeFile file = Parsed("MIDlet-Jar-Size: 1\r\nmidlet-jar-size: 2\r\n");
  EXPECT_EQ(file.GetValue(u"MIDlet-Jar-Size", true), u"1");
  file.SetValue(u"MIDlet-Jar-Size", u"3");
  EXPECT_EQ(Serialized(file), "MIDlet-Jar-Size: 3\r\nmidlet-jar-size: 2\r\n");
  file.RemoveAttribute(u"MIDLET-JAR-SIZE");
  file.RemoveAttribute(u"Missing");
  EXPECT_EQ(Serialized(file), "midlet-jar-size: 2\r\n");
}

TEST(AttributeFileSetValue, ReplacesInPlaceWithTheCallersSpellingAndTheLinesOwnEnding) {
  AttributeFile file = Parsed("A: 1\nmidlet-jar-size: 99\r\nC: 3");
  file.SetValue(u"MIDlet-Jar-Size", u"12");
  EXPECT_EQ(Serialized(file), "A: 1\nMIDlet-Jar-Size: 12\r\nC: 3");
}

TEST(AttributeFileSetValue, NewLinesEndLikeTheFirstLineOnceThereAreTwo) {
  const struct {
    std::string_view before;
    std::string_view after;
  } cases[] = {
      {"", "A: 1\n\rB: 2\n\rC: 3\n\r"},
      {"X: 0\r\n", "X: 0\r\nA: 1\n\rB: 2\r\nC: 3\r\n"},
      {"X: 0\rY: 0\n", "X: 0\rY: 0\nA: 1\rB: 2\rC: 3\r"},
      // A last line without terminator first gets the new line's one.
      {"X: 0", "X: 0\n\rA: 1\n\rB: 2\n\rC: 3\n\r"},
      {"X: 0\nY: 0", "X: 0\nY: 0\nA: 1\nB: 2\nC: 3\n"},
  };
  for (const auto& c : cases) {
    AttributeFile file = Parsed(c.before);
    file.SetValue(u"A", u"1");
    file.SetValue(u"B", u"2");
    file.SetValue(u"C", u"3");
    EXPECT_EQ(Serialized(file), c.after) << c.before;
  }
}

TEST(AttributeFileSetValue, EncodesTheNewTextAsUtf8) {
  AttributeFile file = Parsed("A: 1\n");
  file.SetValue(u"MIDlet-Name", u"\u00e9\u4e2d\U0001F600");
  EXPECT_EQ(Serialized(file), "A: 1\nMIDlet-Name: \xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\n\r");
}

// A descriptor corrected in place differs from the user's only in the line that was set.
TEST(AttributeFileSetValue, CorrectingADescriptorLeavesEveryOtherByteAlone) {
  const struct {
    const char* what;
    std::string_view before;
    std::string_view after;
  } cases[] = {
      {"Latin-1", "MIDlet-Vendor: Soci\xE9t\xE9\r\nMIDlet-Jar-Size: 1\r\nMIDlet-Description: Caf\xE9 Ltd\r\n",
       "MIDlet-Vendor: Soci\xE9t\xE9\r\nMIDlet-Jar-Size: 1234\r\nMIDlet-Description: Caf\xE9 Ltd\r\n"},
      {"emoji", "MIDlet-Name: \xF0\x9F\x98\x80\nMIDlet-Jar-Size: 1\n# \xF0\x9F\x8E\xAE fun\n",
       "MIDlet-Name: \xF0\x9F\x98\x80\nMIDlet-Jar-Size: 1234\n# \xF0\x9F\x8E\xAE fun\n"},
      {"byte-order mark", "\xEF\xBB\xBFMIDlet-Jar-Size: 1\r\nMIDlet-Jar-Size: 2\r\n",
       "\xEF\xBB\xBFMIDlet-Jar-Size: 1\r\nMIDlet-Jar-Size: 1234\r\n"},
      {"CR LF and a comment", "# made by hand\r\nMIDlet-Jar-Size: 1\r\nMIDlet-Jar-URL: g.jar",
       "# made by hand\r\nMIDlet-Jar-Size: 1234\r\nMIDlet-Jar-URL: g.jar"},
  };
  for (const auto& c : cases) {
    AttributeFile file = Parsed(c.before);
    ASSERT_TRUE(file.HasAttribute(u"MIDlet-Jar-Size")) << c.what;
    file.SetValue(u"MIDlet-Jar-Size", u"1234");
    EXPECT_EQ(Serialized(file), c.after) << c.what;
  }
}

TEST(AttributeFileEdits, EndingsChangeWithoutTouchingTheText) {
  AttributeFile file = Parsed("\r\nA: Caf\xE9\r\n\n\r\nB: \xF0\x9F\x98\x80\r\n\r\n");
  file.RemoveEmptyLines();
  EXPECT_EQ(Serialized(file), "A: Caf\xE9\r\nB: \xF0\x9F\x98\x80\r\n");
  file.SetAllLineEndings(u"\n");
  EXPECT_EQ(Serialized(file), "A: Caf\xE9\nB: \xF0\x9F\x98\x80\n");
}

// How a manifest becomes a temporary descriptor.
TEST(AttributeFileEdits, ManifestTurnedIntoADescriptor) {
  const struct {
    std::string_view manifest;
    std::string_view descriptor;
  } cases[] = {
      {"Manifest-Version: 1.0\r\nMIDlet-1: Game, , g.Main\r\nMIDlet-Jar-Size: 7\r\n\r\nName: g/Main.class\r\n"
       "SHA1-Digest: xyz\r\n \r\n\r\n",
       "MIDlet-1: Game, , g.Main\nMIDlet-Jar-Size: 4096\nName: g/Main.class\nSHA1-Digest: xyz\n \n"
       "MIDlet-Jar-URL: qvo_temp.jar\n"},
      // Reduced to one line, the first new line still ends with LF CR; the second copies the first line.
      {"Manifest-Version: 1.0\r\nMIDlet-1: Game, , g.Main\r\n\r\n",
       "MIDlet-1: Game, , g.Main\nMIDlet-Jar-Size: 4096\n\rMIDlet-Jar-URL: qvo_temp.jar\n"},
  };
  for (const auto& c : cases) {
    AttributeFile file = Parsed(c.manifest);
    file.RemoveAttribute(u"Manifest-Version");
    file.RemoveEmptyLines();
    file.SetAllLineEndings(u"\n");
    file.SetValue(u"MIDlet-Jar-Size", u"4096");
    file.SetValue(u"MIDlet-Jar-URL", u"qvo_temp.jar");
    EXPECT_EQ(Serialized(file), c.descriptor);
  }
}

}  // namespace
}  // namespace tc
