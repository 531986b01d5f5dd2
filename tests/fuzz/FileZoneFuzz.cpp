// libFuzzer target: any Zone.Identifier stream through the reader of a file's mark: the host shown is at most 100
// characters, holds no user information, no control or direction character, and what can't be read is never
// taken for a safe zone.
//
// Input: the stream's bytes; their first byte also chooses the policy.
#include <cstdint>
#include <string>

#include "launch/FileZone.h"
#include "platform/host/MemoryEnvironment.h"
#include "platform/host/MemoryFiles.h"

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tc::MemoryFiles files;
  tc::MemoryEnvironment environment;
  const std::u16string jar = u"C:\\Downloads\\game.jar";
  files.AddFile(jar, "jar");
  files.AddFile(jar + tc::kZoneStream, std::vector<std::uint8_t>(data, data + size));
  const tc::ZoneMark mark = tc::ReadZoneMark(files, environment, jar);
  CHECK(mark.zone != tc::Zone::Unmarked);
  CHECK(mark.from.size() <= 100);
  for (const char16_t c : mark.from) {
    CHECK(c >= 0x20 && c != 0x7F && c != u'@' && c != u'/');
    CHECK(!(c >= 0x202A && c <= 0x202E) && !(c >= 0x2066 && c <= 0x2069) && c != 0x200E && c != 0x200F);
  }
  const auto policy = static_cast<tc::FromTheInternet>(size > 0 ? data[0] % 3 : 0);
  const tc::ZoneAnswer answer = tc::DecideZone(mark.zone, policy);
  // Only a mark that says a safe zone starts unasked, unless the organisation allows it.
  if (answer == tc::ZoneAnswer::Start && policy != tc::FromTheInternet::StartWithoutAsking) {
    CHECK(mark.zone == tc::Zone::LocalMachine || mark.zone == tc::Zone::Intranet ||
          mark.zone == tc::Zone::TrustedSites);
  }
  return 0;
}
