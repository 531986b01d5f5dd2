// What a file's Zone.Identifier stream says, and what follows from it under the organisation's policy.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "launch/FileZone.h"
#include "platform/host/MemoryEnvironment.h"
#include "platform/host/MemoryFiles.h"

namespace tc {
namespace {

std::string Utf16(std::u16string_view text, bool little) {  // with its byte order mark
  std::string bytes(little ? "\xFF\xFE" : "\xFE\xFF");
  for (const char16_t c : text) bytes += little ? std::string{char(c), char(c >> 8)} : std::string{char(c >> 8), char(c)};
  return bytes;
}

TEST(FileZone, TheStreamAsWindowsReadsItAndThePolicyDecideAndWhatCantBeReadAsks) {
  const std::string mark = "[ZoneTransfer]\r\nZoneId=3\r\n", zero = "[ZoneTransfer]\r\nZoneId=0",
                    ru = "\xD0\xBF\xD1\x80\xD0\xB8.\xD1\x80\xD1\x84";
  const std::u16string utf16 = u"[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://" + FromUtf8(ru) + u"/x\r\n";
  const struct {
    std::string stream;  // "-": none
    std::string answers;  // under the policy's 0, 1, 2: S starts, A asks, R refused as restricted, P by the policy
    std::string from = "";
    FileFault fault = FileFault::None;
  } rows[] = {
      {"-", "SSS"}, {zero, "SSS"}, {"[ZoneTransfer]\nZoneId=1\n", "SSS"}, {"[ZoneTransfer]\rZoneId=2\r", "SSS"},
      {"[ZoneTransfer]\r\nZoneId=4\r\n", "RRR"}, {zero + "\r\nZoneId=3\r\n", "SSS"},  // the first, as Windows reads
      {mark + "ReferrerUrl=https://www.example.org/\r\nHostUrl=https://dl.example.com/g.jar", "APS", "dl.example.com"},
      {"[Other]\r\nZoneId=0\r\n [ zonetransfer ]\r\n zoneid =  3 \r\n", "APS"},
      {zero + "\r\n" + std::string(1 << 20, 'x'), "SSS"},
      // A mark that can't be read is taken for one from the internet.
      {"ZoneId=0\r\n", "APS"}, {"[ZoneTransfer]\r\nZoneId=-1", "APS"}, {"[ZoneTransfer]\r\nZoneId=99999999999", "APS"},
      {"[ZoneTransfer]\r\nZoneId=5", "APS"}, {"[ZoneTransfer]\r\nZoneId=" + std::string(1, '\0') + "0", "APS"},
      {std::string(1 << 20, '\0'), "APS"}, {zero, "APS", "", FileFault::Locked}, {zero, "APS", "", FileFault::ReadFails},
      // Encodings, and the host alone.
      {Utf16(utf16, true), "APS", ru}, {Utf16(utf16, false), "APS", ru}, {mark + "HostUrl=ftp://" + ru, "APS", ru},
      {"\xEF\xBB\xBF" + mark + "HostUrl=http://" + ru, "APS", ru},
      {mark + "HostUrl=http://b\xFC" "cher.example/", "APS", "b\xC3\xBC" "cher.example"},  // Windows-1252
      {mark + "HostUrl=about:internet\r\nReferrerUrl=https://www.example.org/x", "APS", "www.example.org"},
      {mark + "HostUrl=HTTPS://user:p@ss@host.example:8443/x?a=b@c", "APS", "host.example"},
      {mark + "HostUrl=http://[2001:db8::1]:8080/", "APS", "[2001:db8::1]"},
      {mark + "HostUrl=javascript:alert(1)//\r\nReferrerUrl=https://r.example/", "APS"},
      {mark + "HostUrl=http://evil\xE2\x80\xAEmoc.example\x01/", "APS", "evilmoc.example"},
      {mark + "HostUrl=http://" + std::string(99, 'a') + "\xF0\x9F\x98\x80", "APS", std::string(99, 'a')},
      {mark + "HostUrl=http://" + std::string(100000, 'h'), "APS", std::string(100, 'h')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stream.substr(0, 80));
    MemoryFiles files;
    MemoryEnvironment environment;  // Windows-1252
    files.AddFile(u"C:\\Downloads\\game.jar", "jar");
    if (row.stream != "-") files.AddFile(u"C:\\Downloads\\game.jar:Zone.Identifier", row.stream);
    files.SetFault(u"C:\\Downloads\\game.jar:Zone.Identifier", row.fault);
    const ZoneMark mark = ReadZoneMark(files, environment, u"C:\\Downloads\\game.jar");
    std::string answers;
    for (const auto policy : {FromTheInternet::Ask, FromTheInternet::NeverStart, FromTheInternet::StartWithoutAsking}) {
      answers += "SARP"[static_cast<int>(DecideZone(mark.zone, policy))];
    }
    EXPECT_EQ(answers, row.answers);
    EXPECT_EQ(ToUtf8(mark.from), row.from);
  }
}

}  // namespace
}  // namespace tc
