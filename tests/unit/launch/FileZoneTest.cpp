// A file's zone as its Zone.Identifier stream tells it, and what the zone and the policy mean for a start.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "launch/FileZone.h"
#include "platform/host/MemoryEnvironment.h"
#include "platform/host/MemoryFiles.h"

namespace tc {
namespace {

std::string Utf16(std::u16string_view text, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (const char16_t c : text) {
    const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

TEST(ReadZoneMark, ReadsWhatWindowsWritesAndTakesWhatItCantReadForUnreadable) {
  const std::string mark = "[ZoneTransfer]\r\nZoneId=3\r\n";
  const std::u16string russian = u"\u043f\u0440\u0438\u043c\u0435\u0440.\u0440\u0444";
  const std::u16string utf16 = u"[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://" + russian + u"/game.jar\r\n";
  const struct {
    std::string stream;
    Zone zone;
    std::u16string from;
  } cases[] = {
      {"[ZoneTransfer]\r\nZoneId=0\r\n", Zone::LocalMachine, u""},
      {"[ZoneTransfer]\r\nZoneId=1", Zone::Intranet, u""},
      {"[ZoneTransfer]\nZoneId=2\n", Zone::TrustedSites, u""},
      {mark + "ReferrerUrl=https://www.example.org/\r\nHostUrl=https://dl.example.com/g.jar\r\n", Zone::Internet,
       u"dl.example.com"},
      {"[ZoneTransfer]\rZoneId=4\r", Zone::RestrictedSites, u""},
      {"[Other]\r\nZoneId=0\r\n  [ zonetransfer ]\r\n  zoneid =  3 \r\n", Zone::Internet, u""},
      {"[ZoneTransfer]\r\nZoneId=003\r\n", Zone::Internet, u""},
      {mark + "ZoneId=3\r\n", Zone::Internet, u""},
      {mark + "ZoneId=0\r\n", Zone::Internet, u""},  // the first, as Windows reads it
      {"ZoneId=3\r\n", Zone::Unreadable, u""},
      {"[ZoneTransfer]\r\nHostUrl=https://dl.example.com/\r\n", Zone::Unreadable, u"dl.example.com"},
      {"[ZoneTransfer]\r\nZoneId=-1\r\n", Zone::Unreadable, u""},
      {"[ZoneTransfer]\r\nZoneId=99999999999\r\n", Zone::Unreadable, u""},
      {"[ZoneTransfer]\r\nZoneId=5\r\n", Zone::Unreadable, u""},
      {"[ZoneTransfer]\r\nZoneId=3 0\r\n", Zone::Unreadable, u""},
      {"[ZoneTransfer]\r\nZoneId=\r\n", Zone::Unreadable, u""},
      {std::string("[ZoneTransfer]\r\nZoneId=\0003\r\n", 20), Zone::Unreadable, u""},
      {std::string(1 << 20, '\0'), Zone::Unreadable, u""},
      {mark + std::string(1 << 20, 'x'), Zone::Internet, u""},  // the rest is never read
      // The encodings.
      {Utf16(utf16, true), Zone::Internet, russian},
      {Utf16(utf16, false), Zone::Internet, russian},
      {"\xEF\xBB\xBF" + mark + "HostUrl=http://b\xC3\xBC" "cher.example/", Zone::Internet, u"b\u00fccher.example"},
      {mark + "HostUrl=http://b\xC3\xBC" "cher.example/", Zone::Internet, u"b\u00fccher.example"},
      {mark + "HostUrl=http://b\xFC" "cher.example/", Zone::Internet, u"b\u00fccher.example"},  // Windows-1252
      // The host, and only the host.
      {mark + "HostUrl=about:internet\r\nReferrerUrl=https://www.example.org/x", Zone::Internet, u"www.example.org"},
      {mark + "HostUrl=HTTPS://user:p@ss@host.example:8443/x?a=b@c#d", Zone::Internet, u"host.example"},
      {mark + "HostUrl=http://[2001:db8::1]:8080/", Zone::Internet, u"[2001:db8::1]"},
      {mark + "HostUrl=javascript:alert(1)//\r\nReferrerUrl=https://other.example/", Zone::Internet, u""},
      {mark + "HostUrl=http://evil\xE2\x80\xAEmoc.example\x01/", Zone::Internet, u"evilmoc.example"},
      {mark + "HostUrl=http://" + std::string(99, 'a') + "\xF0\x9F\x98\x80/", Zone::Internet, std::u16string(99, u'a')},
      {mark + "HostUrl=http://" + std::string(100000, 'h'), Zone::Internet, std::u16string(100, u'h')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stream.substr(0, 100));
    MemoryFiles files;
    MemoryEnvironment environment;
    files.AddFile(u"C:\\Downloads\\game.jar", "jar");
    files.AddFile(u"C:\\Downloads\\game.jar:Zone.Identifier", c.stream);
    const ZoneMark mark = ReadZoneMark(files, environment, u"C:\\Downloads\\game.jar");
    EXPECT_EQ(mark.zone, c.zone);
    EXPECT_EQ(ToUtf8(mark.from), ToUtf8(c.from));
    EXPECT_EQ(files.OpenReaders(), 0);
  }
  // No stream is no mark; one there that can't be opened or read is unreadable.
  for (const FileFault fault : {FileFault::None, FileFault::Locked, FileFault::ReadFails}) {
    MemoryFiles files;
    MemoryEnvironment environment;
    files.AddFile(u"C:\\Downloads\\game.jar", "jar");
    if (fault != FileFault::None) {
      files.AddFile(u"C:\\Downloads\\game.jar:Zone.Identifier", "[ZoneTransfer]\r\nZoneId=0\r\n");
      files.SetFault(u"C:\\Downloads\\game.jar:Zone.Identifier", fault);
    }
    EXPECT_EQ(ReadZoneMark(files, environment, u"C:\\Downloads\\game.jar").zone,
              fault == FileFault::None ? Zone::Unmarked : Zone::Unreadable);
  }
}

TEST(DecideZone, OnlyTheInternetAndUnreadableMarksFollowThePolicyAndRestrictedSitesNeverStart) {
  // The answers under each value of the policy: ask, never start, start without asking.
  constexpr ZoneAnswer S = ZoneAnswer::Start, A = ZoneAnswer::Ask, R = ZoneAnswer::RefuseRestricted,
                       P = ZoneAnswer::RefuseByPolicy;
  const struct {
    Zone zone;
    ZoneAnswer answers[3];
  } rows[] = {
      {Zone::Unmarked, {S, S, S}}, {Zone::LocalMachine, {S, S, S}},    {Zone::Intranet, {S, S, S}},
      {Zone::TrustedSites, {S, S, S}}, {Zone::Internet, {A, P, S}},    {Zone::RestrictedSites, {R, R, R}},
      {Zone::Unreadable, {A, P, S}},
  };
  for (const auto& row : rows) {
    for (const FromTheInternet policy :
         {FromTheInternet::Ask, FromTheInternet::NeverStart, FromTheInternet::StartWithoutAsking}) {
      EXPECT_EQ(DecideZone(row.zone, policy), row.answers[static_cast<int>(policy)])
          << static_cast<int>(row.zone) << " " << static_cast<int>(policy);
    }
  }
}

}  // namespace
}  // namespace tc
