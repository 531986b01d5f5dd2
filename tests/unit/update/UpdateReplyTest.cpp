// The update reply: strict Base64, the record walk, and which download addresses may reach the shell.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Text.h"
#include "unit/update/ReplyBuilder.h"
#include "update/UpdateReply.h"

namespace tc {
namespace {

using namespace test;

TEST(UpdateReplyBase64, DecodesTheStandardAlphabetWithItsPadding) {
  const struct {
    std::string text;
    std::string bytes;
  } cases[] = {
      {"", ""},
      {"QQ==", "A"},
      {"QUI=", "AB"},
      {"QUJD", "ABC"},
      {"QUJDRA==", "ABCD"},
      {"QQ==QUJD", "AABC"},  // groups encoded apart and joined
      {"QUI=QQ==", "ABA"},
      {"+/+/", "\xFB\xFF\xBF"},
      {"AAAA", std::string(3, '\0')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeBase64(c.text), std::optional<std::string>(c.bytes)) << c.text;
  }
}

TEST(UpdateReplyBase64, RefusesEverythingElse) {
  const std::string cases[] = {
      "Q",            // not a multiple of four
      "QQ=",          //
      "QUJDR",        //
      "QUJD\n",       // a trailing line break
      "QUJD\r\n",     //
      "QU JD",        // a space
      "QU-D",         // the URL-safe alphabet
      "QU_D",         //
      "QQ=A",         // data after "=" in its group
      "Q===",         // "=" in the first two places
      "=QQQ",         //
      "====",         //
      std::string("QU\0D", 4),
      "QU\xC3\x84",   // beyond ASCII
  };
  for (const std::string& text : cases) EXPECT_EQ(DecodeBase64(text), std::nullopt) << text;
}

TEST(UpdateReplyRecords, TakesTheVersionAndTheAddressInEitherOrderSkippingOtherTypes) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"version first", VersionRecord(0x01020304) + AddressRecord("http://a.test/")},
      {"address first", AddressRecord("http://a.test/") + VersionRecord(0x01020304)},
      {"others between", VersionRecord(0x01020304) + Record(0, "") + Record(2, "xyz") +
                             Record(4, std::string(300, 'q')) + Record(255, "\x01\x02") + AddressRecord("http://a.test/")},
      {"others around", Record(7, "") + VersionRecord(0x01020304) + AddressRecord("http://a.test/") + Record(2, "z")},
  };
  for (const auto& c : cases) {
    const std::optional<UpdateReply> reply = ParseUpdateRecords(c.bytes);
    ASSERT_TRUE(reply.has_value()) << c.name;
    EXPECT_EQ(reply->version, 0x01020304u) << c.name;
    EXPECT_EQ(reply->address, "http://a.test/") << c.name;
  }
}

TEST(UpdateReplyRecords, ReadsTheVersionLittleEndian) {
  const std::string bytes = Record(1, std::string("\x00\x01\x01\x01", 4)) + AddressRecord("x");
  const std::optional<UpdateReply> reply = ParseUpdateRecords(bytes);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->version, 0x01010100u);
}

TEST(UpdateReplyRecords, KeepsTheAddressBytesAsTheyCame) {
  const std::string address("http://a.test/\x80\xFF\0z", 18);
  const std::optional<UpdateReply> reply = ParseUpdateRecords(VersionRecord(1) + AddressRecord(address));
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->address, address);
}

TEST(UpdateReplyRecords, RefusesRecordsThatBreakTheRules) {
  const std::string version = VersionRecord(0x01010101);
  const std::string address = AddressRecord("http://a.test/");
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"no address", version},
      {"no version", address},
      {"only other types", Record(2, "ab") + Record(4, "")},
      {"two versions", version + address + VersionRecord(0x01010101)},
      {"two addresses", version + address + AddressRecord("http://b.test/")},
      {"version of length 3", Record(1, "\x01\x01\x01") + address},
      {"version of length 5", Record(1, "\x01\x01\x01\x01\x01") + address},
      {"version of length 0", Record(1, "") + address},
      {"negative length", version + address + RecordWithLength(2, 0xFFFFFFFF, "")},
      {"length with the sign bit", version + address + RecordWithLength(2, 0x80000000, "")},
      {"value past the end", version + address + RecordWithLength(2, 3, "ab")},
      {"address past the end", version + RecordWithLength(3, 15, "http://a.test/")},
      {"huge length", version + address + RecordWithLength(2, 0x7FFFFFFF, "abc")},
      {"four bytes left", version + address + std::string(4, '\0')},
      {"one byte left", version + address + std::string(1, '\x02')},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseUpdateRecords(c.bytes), std::nullopt) << c.name;
}

TEST(UpdateReplyBody, NeedsTheStarFirstAndBase64Records) {
  EXPECT_TRUE(DecodeUpdateReply(ValidBody(0x01010101, "http://a.test/")).has_value());
  EXPECT_EQ(DecodeUpdateReply(""), std::nullopt);
  EXPECT_EQ(DecodeUpdateReply("*"), std::nullopt);  // no records at all
  EXPECT_EQ(DecodeUpdateReply(Base64(VersionRecord(1) + AddressRecord("http://a.test/"))), std::nullopt);
  EXPECT_EQ(DecodeUpdateReply(" " + ValidBody(1, "http://a.test/")), std::nullopt);
  EXPECT_EQ(DecodeUpdateReply(ValidBody(1, "http://a.test/") + "\n"), std::nullopt);
  EXPECT_EQ(DecodeUpdateReply(ValidBody(1, "http://a.test/") + "\r\n"), std::nullopt);
  EXPECT_EQ(DecodeUpdateReply("**" + Base64(VersionRecord(1) + AddressRecord("x"))), std::nullopt);
}

TEST(UpdateReplyBody, ChecksEachChunkAsItArrives) {
  UpdateReplyBody wrongStart;
  EXPECT_FALSE(wrongStart.Append(reinterpret_cast<const std::uint8_t*>("<html>"), 6));

  UpdateReplyBody atTheLimit;
  const std::string chunk(kUpdateReplyChunk, 'A');
  EXPECT_TRUE(atTheLimit.Append(reinterpret_cast<const std::uint8_t*>("*"), 1));
  std::size_t size = 1;
  while (size + chunk.size() <= kUpdateReplyLimit) {
    ASSERT_TRUE(atTheLimit.Append(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size()));
    size += chunk.size();
  }
  const std::size_t rest = kUpdateReplyLimit - size;
  EXPECT_TRUE(atTheLimit.Append(reinterpret_cast<const std::uint8_t*>(chunk.data()), rest));
  EXPECT_EQ(atTheLimit.Bytes().size(), kUpdateReplyLimit);
  EXPECT_FALSE(atTheLimit.Append(reinterpret_cast<const std::uint8_t*>("A"), 1));
}

TEST(UpdateReplyAddress, OpensOnlyWebAddresses) {
  const std::u16string web[] = {
      u"http://www.tessaly.example/corvalo/download/",
      u"https://a.test",
      u"HTTPS://a.test/x?y=1&z=%20",
      u"http://127.0.0.1:8080/",
      u"http://a.test/caf\u00e9",
  };
  for (const auto& address : web) EXPECT_TRUE(IsWebAddress(address));
  const std::u16string others[] = {
      u"",
      u"file:///C:/Windows/System32/calc.exe",
      u"C:\\Windows\\System32\\calc.exe",
      u"\\\\server\\share\\setup.exe",
      u"calc.exe",
      u"javascript:alert(1)",
      u"ftp://a.test/",
      u"mailto:someone@a.test",
      u"http:/a.test/",
      u"http:a.test",
      u"http://",
      u"https://",
      u"http:///etc/passwd",
      u" http://a.test/",
      u"http://a.test/ --flag",
      u"http://a.test/\" --flag",
      u"http://a.test/\tx",
      u"http://a.test/\nx",
      std::u16string(u"http://a.test/\0x", 16),
      u"http://a.test/\u007f",
      u"httpx://a.test/",
  };
  for (const auto& address : others) EXPECT_FALSE(IsWebAddress(address)) << ToUtf8(address);
}

}  // namespace
}  // namespace tc
