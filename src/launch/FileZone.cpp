// Where a file came from, and the question before a desktop JAR from the internet runs.
#include "launch/FileZone.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "base/Path.h"
#include "base/Text.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

// What Windows writes is a few hundred bytes. Anyone who can write the stream can write any zone into it, so
// what lies beyond this is not worth reading; the host of a longer URL still shows.
constexpr std::size_t kMostStreamBytes = 64 * 1024;
constexpr std::size_t kMostHostCharacters = 100;

// The first `limit` bytes of the file, or all of a shorter one; false when it can't be opened or read.
bool ReadStart(Files& files, const std::u16string& path, std::size_t limit, std::vector<std::uint8_t>& bytes) {
  const std::unique_ptr<FileReader> reader = files.OpenForReading(path);
  if (!reader) return false;
  bytes.assign(limit, 0);
  std::size_t total = 0;
  while (total < limit) {
    const std::optional<std::size_t> got = reader->ReadAt(total, bytes.data() + total, limit - total);
    if (!got || *got > limit - total) return false;
    if (*got == 0) break;
    total += *got;
  }
  bytes.resize(total);
  return true;
}

// As the profile functions read a file: UTF-16 after its byte order mark; else UTF-8 where the bytes are that, and
// the ANSI code page where they are not.
std::u16string DecodeText(const std::vector<std::uint8_t>& bytes, Environment& environment) {
  if (bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    const bool littleEndian = bytes[0] == 0xFF;
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<char16_t>(littleEndian ? bytes[i] | bytes[i + 1] << 8 : bytes[i] << 8 | bytes[i + 1]);
    }
    return text;
  }
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (raw.starts_with("\xEF\xBB\xBF")) return FromUtf8(raw.substr(3));
  std::u16string text = FromUtf8(raw);
  // Malformed UTF-8 does not come back as it was.
  return ToUtf8(text) == raw ? text : environment.DecodeAnsi(raw);
}

struct ZoneTransfer {
  std::optional<std::u16string> zoneId, hostUrl, referrerUrl;
};

// The [ZoneTransfer] values as GetPrivateProfileStringW reads them: names in any case, blanks around names and
// values dropped, and of a name given twice the first. Windows itself takes that first ZoneId, and a mark that
// anyone can rewrite is no reason to be stricter than Windows.
ZoneTransfer ReadZoneTransfer(std::u16string_view text) {
  ZoneTransfer values;
  bool inSection = false;
  for (std::size_t begin = 0; begin <= text.size();) {
    std::size_t end = text.find_first_of(u"\r\n", begin);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string line = Trim(text.substr(begin, end - begin));
    begin = end + 1;
    if (line.starts_with(u'[')) {
      const std::size_t close = line.find(u']');
      inSection = close != std::u16string::npos && EqualsIgnoreCase(Trim(line.substr(1, close - 1)), u"ZoneTransfer");
      continue;
    }
    const std::size_t equals = line.find(u'=');
    if (!inSection || equals == std::u16string::npos) continue;
    const std::u16string name = Trim(line.substr(0, equals));
    std::optional<std::u16string>* value = EqualsIgnoreCase(name, u"ZoneId")        ? &values.zoneId
                                           : EqualsIgnoreCase(name, u"HostUrl")     ? &values.hostUrl
                                           : EqualsIgnoreCase(name, u"ReferrerUrl") ? &values.referrerUrl
                                                                                    : nullptr;
    if (value && !*value) *value = Trim(line.substr(equals + 1));
  }
  return values;
}

// Digits only, leading zeros allowed, 0 to 4; anything else can't be read.
Zone ZoneOf(const std::optional<std::u16string>& id) {
  if (!id || id->empty() || !std::all_of(id->begin(), id->end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
    return Zone::Unreadable;
  }
  const std::size_t first = id->find_first_not_of(u'0');
  if (first == std::u16string::npos) return Zone::LocalMachine;
  if (id->size() - first > 1) return Zone::Unreadable;
  constexpr Zone kZones[] = {Zone::LocalMachine, Zone::Intranet, Zone::TrustedSites, Zone::Internet,
                             Zone::RestrictedSites};
  const int value = (*id)[first] - u'0';
  return value < 5 ? kZones[value] : Zone::Unreadable;
}

// The text without what would make it show as another in the warning: controls, and the marks that turn the
// direction of text ("game\u202Egpj.jar" shows as "gamejar.jpg"). Neither a host nor a file name needs them.
std::u16string Shown(std::u16string_view text) {
  std::u16string shown;
  for (const char16_t c : text) {
    const bool misleads = c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F ||
                          (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    if (!misleads) shown += c;
  }
  return shown;
}

// The host a URL names, for people to read: never the user name and password that may come before it, nor its
// port, path or query; nothing for a URL without one ("javascript:", "about:internet").
std::u16string HostOf(std::u16string_view url) {
  const std::size_t colon = url.find(u':');
  const auto inScheme = [](char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+' ||
           c == u'-' || c == u'.';
  };
  if (colon == std::u16string_view::npos || colon == 0 || !std::all_of(url.begin(), url.begin() + colon, inScheme) ||
      url.substr(colon + 1, 2) != u"//") {
    return {};
  }
  std::u16string_view authority = url.substr(colon + 3);
  authority = authority.substr(0, authority.find_first_of(u"/\\?#"));
  if (const std::size_t at = authority.rfind(u'@'); at != std::u16string_view::npos) authority.remove_prefix(at + 1);
  // An IPv6 address keeps the colons inside its brackets.
  const std::size_t end = authority.starts_with(u'[') ? authority.find(u']') + 1 : authority.find(u':');
  return Clipped(Shown(authority.substr(0, end)), kMostHostCharacters);
}

}  // namespace

ZoneMark ReadZoneMark(Files& files, Environment& environment, const std::u16string& fullPath) {
  const std::u16string stream = fullPath + kZoneStream;
  std::vector<std::uint8_t> bytes;
  if (!ReadStart(files, stream, kMostStreamBytes, bytes)) {
    // Only a stream that is not there is no mark; one held by another program or that fails to read asks.
    return {files.Attributes(stream) ? Zone::Unreadable : Zone::Unmarked, {}};
  }
  const ZoneTransfer values = ReadZoneTransfer(DecodeText(bytes, environment));
  const std::optional<std::u16string>& host = values.hostUrl;
  const bool hostKnown = host && !host->empty() && !EqualsIgnoreCase(*host, u"about:internet");
  const std::optional<std::u16string>& url = hostKnown ? host : values.referrerUrl;
  return {ZoneOf(values.zoneId), url ? HostOf(*url) : u""};
}

bool MayStartFromItsZone(Context& context, const std::u16string& archivePath) {
  Files& files = context.platform.files;
  Ui& ui = context.platform.ui;
  const std::u16string fullPath = files.FullPath(archivePath).value_or(archivePath);
  const ZoneMark mark = ReadZoneMark(files, context.platform.environment, fullPath);
  const std::u16string name = Shown(FileName(fullPath));
  switch (DecideZone(mark.zone, context.Policy().filesFromTheInternet)) {
    case ZoneAnswer::Start:
      return true;
    case ZoneAnswer::RefuseRestricted:
      ShowLaunchError(ui, Format(u"\"%s\" comes from a site that Windows restricts, so it is not started.",
                                 {std::u16string_view(name)}));
      return false;
    case ZoneAnswer::RefuseByPolicy:
      ShowLaunchError(ui, Format(u"\"%s\" came from the internet, and your organisation does not allow programs from "
                                 u"the internet to start.",
                                 {std::u16string_view(name)}));
      return false;
    case ZoneAnswer::Ask:
      break;
  }
  const SecurityWarningAnswer answer = RunSecurityWarningDialog(ui, {name, mark.from});
  if (!answer.run) return false;
  // As Windows' own "Unblock" does. Where the file can't be changed (read-only, or in a folder the user can't
  // write) the mark stays and the next start asks again; this one goes ahead all the same.
  if (!answer.alwaysAsk) files.RemoveFile(fullPath + kZoneStream);
  return true;
}

}  // namespace tc
