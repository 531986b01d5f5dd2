// Which Java this is, told without running it.
#include "detect/JavaRelease.h"

#include <vector>

#include "base/Path.h"
#include "base/Text.h"
#include "detect/Pattern.h"

namespace tc {

namespace {

constexpr std::size_t kReleaseLimit = 64 * 1024;
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr size_t kLongestLabel = 64;

bool IsVersion(std::u16string_view text) {
  if (!IsPrintableLabel(text)) return false;
  for (char16_t c : text) {
    const bool letterOrDigit = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (!letterOrDigit && c != u'.' && c != u'_' && c != u'-' && c != u'+') return false;
  }
  return true;
}

// The value of a KEY="value" line; a value without its closing quote is no value.
std::optional<std::u16string> Unquote(std::u16string_view value) {
  const std::u16string trimmed = Trim(value);
  if (trimmed.size() >= 2 && trimmed.front() == u'"') {
    if (trimmed.back() != u'"') return std::nullopt;
    return trimmed.substr(1, trimmed.size() - 2);
  }
  if (trimmed.find(u'"') != std::u16string::npos) return std::nullopt;
  return trimmed;
}

unsigned LeadingNumber(std::u16string_view text) {
  unsigned number = 0;
  size_t digits = 0;
  for (; digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9' && digits < 6; ++digits) {
    number = number * 10 + (text[digits] - u'0');
  }
  return digits == 0 ? 0 : number;
}

// VS_FIXEDFILEINFO: its signature, then the file version's major and minor numbers in its third double word.
std::uint32_t FixedFileJavaVersion(const VersionResource& resource) {
  const auto info = resource.QueryBinary(u"\\");
  if (!info || info->size() < 16) return 0;
  const auto word = [&](std::size_t at) { return std::uint32_t{(*info)[at]} | std::uint32_t{(*info)[at + 1]} << 8; };
  if ((word(0) | word(2) << 16) != kFixedFileInfoSignature) return 0;
  // Read as a version text, so that a runtime numbered 1.x counts as x, as its other versions do.
  return JavaMajorVersion(Format(u"%u.%u", {word(10), word(8)}));
}

}  // namespace

std::optional<JavaRelease> ReadJavaRelease(Files& files, const std::u16string& home) {
  const auto reader = files.OpenForReading(home + u"\\release");
  if (!reader) return std::nullopt;
  std::vector<std::uint8_t> bytes(kReleaseLimit);
  const auto read = reader->ReadAt(0, bytes.data(), bytes.size());
  if (!read) return std::nullopt;
  const std::u16string text = FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), *read));

  JavaRelease release;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of(u"\r\n", begin);
    if (end == std::u16string::npos) end = text.size();
    const std::u16string_view line = std::u16string_view(text).substr(begin, end - begin);
    begin = end + 1;
    const size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) continue;
    const std::u16string key = Trim(line.substr(0, equals));
    std::u16string* target = key == u"JAVA_VERSION"  ? &release.version
                             : key == u"IMPLEMENTOR" ? &release.implementor
                             : key == u"MODULES"     ? &release.modules
                                                     : nullptr;
    if (!target) continue;
    if (auto value = Unquote(line.substr(equals + 1))) *target = std::move(*value);
  }
  return release;
}

std::u16string FullVersion(VersionInfo& versions, const std::u16string& executable) {
  const auto resource = versions.Read(executable);
  return resource ? FullVersion(*resource) : std::u16string();
}

std::u16string FullVersion(const VersionResource& resource) {
  const auto translation = resource.QueryBinary(u"\\VarFileInfo\\Translation");
  if (!translation || translation->size() < 4) return {};
  const auto& t = *translation;
  const std::uint32_t language = t[0] | t[1] << 8;
  const std::uint32_t codePage = t[2] | t[3] << 8;
  const auto value = resource.QueryString(Format(u"\\StringFileInfo\\%04x%04x\\Full Version", {language, codePage}));
  if (!value) return {};
  return value->substr(0, value->find(u'-'));
}

bool IsRegisteredRuntimeVersionKey(std::u16string_view key) {
  Pattern fullVersion;
  return CompilePattern(fullVersion, u"^\\d+\\.\\d+\\.[0-9_\\.]+$", true) && MatchPattern(fullVersion, key);
}

bool IsInstallerVersionKey(std::u16string_view key) {
  if (key.empty()) return false;
  for (char16_t c : key) {
    if ((c < u'0' || c > u'9') && c != u'.' && c != u'_') return false;
  }
  return true;
}

std::u16string VersionLabel(VersionInfo& versions, const std::u16string& executable, const std::u16string& key) {
  std::u16string version = FullVersion(versions, executable);
  if (!version.empty()) return version;
  return IsRegisteredRuntimeVersionKey(key) ? key : std::u16string();
}

std::u16string HomeVersion(VersionInfo& versions, const std::optional<JavaRelease>& release,
                           const std::u16string& console, const std::u16string& key) {
  if (release && IsVersion(release->version)) return release->version;
  std::u16string full = FullVersion(versions, console);
  full = full.substr(0, full.find(u'+'));
  if (IsVersion(full)) return full;
  return IsInstallerVersionKey(key) ? key : std::u16string();
}

bool IsPrintableLabel(std::u16string_view text) {
  if (text.empty() || text.size() > kLongestLabel) return false;
  for (char16_t c : text) {
    if (c < 0x20 || c == 0x7F || c == 0xFFFD) return false;
  }
  return true;
}

unsigned JavaMajorVersion(std::u16string_view version) {
  if (version.starts_with(u"1.")) return LeadingNumber(version.substr(2));
  return LeadingNumber(version);
}

std::uint32_t JavaRuntimeVersion(Files& files, VersionInfo& versions, const std::u16string& executable) {
  // ...\bin\javaw.exe: the home is the folder above the executable's.
  const std::u16string home = ParentFolder(ParentFolder(executable));
  if (!home.empty()) {
    if (const auto release = ReadJavaRelease(files, home)) {
      if (const std::uint32_t version = JavaMajorVersion(release->version)) return version;
    }
  }
  const auto resource = versions.Read(executable);
  if (!resource) return 0;
  if (const std::uint32_t version = JavaMajorVersion(FullVersion(*resource))) return version;
  return FixedFileJavaVersion(*resource);
}

}  // namespace tc
