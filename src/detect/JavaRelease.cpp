// What a Java home tells about itself without being run.
#include "detect/JavaRelease.h"

#include <vector>

#include "base/Text.h"

namespace tc {

namespace {

constexpr std::size_t kReleaseLimit = 64 * 1024;

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
    std::u16string* target = key == u"JAVA_VERSION" ? &release.version
                             : key == u"IMPLEMENTOR" ? &release.implementor
                                                     : nullptr;
    if (!target) continue;
    if (auto value = Unquote(line.substr(equals + 1))) *target = std::move(*value);
  }
  return release;
}

unsigned JavaMajorVersion(std::u16string_view version) {
  if (version.starts_with(u"1.")) return LeadingNumber(version.substr(2));
  return LeadingNumber(version);
}

}  // namespace tc
