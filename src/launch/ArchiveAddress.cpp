// Reading a descriptor's "MIDlet-Jar-URL" as download sites write it: schemes, file: URLs, percent-escapes.
#include "launch/ArchiveAddress.h"

#include <string>

#include "base/Text.h"

namespace tc {

namespace {

// No Windows path is longer; a longer address can't name a file.
constexpr std::size_t kMaxAddress = 32767;

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The address without its query and fragment.
std::u16string_view WithoutQuery(std::u16string_view url) { return url.substr(0, url.find_first_of(u"?#")); }

}  // namespace

bool HasScheme(std::u16string_view url) {
  const std::size_t colon = url.find(u':');
  if (colon == std::u16string_view::npos || colon < 2 || !IsAsciiLetter(url[0])) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const char16_t c = url[i];
    if (!IsAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.') return false;
  }
  return true;
}

std::u16string DecodePercentEscapes(std::u16string_view text) {
  std::u16string out;
  std::size_t i = 0;
  while (i < text.size()) {
    // A run of escapes is decoded together: one character may take several UTF-8 bytes.
    std::string bytes;
    std::size_t end = i;
    while (end + 2 < text.size() && text[end] == u'%') {
      const int high = HexValue(text[end + 1]);
      const int low = HexValue(text[end + 2]);
      if (high < 0 || low < 0 || (high == 0 && low == 0)) break;
      bytes += static_cast<char>(high * 16 + low);
      end += 3;
    }
    if (bytes.empty()) {
      out += text[i++];
      continue;
    }
    const std::u16string decoded = FromUtf8(bytes);
    if (ToUtf8(decoded) == bytes) {
      out += decoded;
    } else {
      out += text.substr(i, end - i);
    }
    i = end;
  }
  return out;
}

std::optional<std::u16string> FileUrlPath(std::u16string_view url) {
  if (url.size() > kMaxAddress || url.size() < 5 || !EqualsIgnoreCase(url.substr(0, 5), u"file:")) {
    return std::nullopt;
  }
  std::u16string_view rest = WithoutQuery(url.substr(5));
  if (rest.starts_with(u"//")) {
    rest.remove_prefix(2);
    const std::size_t slash = rest.find(u'/');
    const std::u16string_view host = rest.substr(0, slash);
    if (!host.empty() && !EqualsIgnoreCase(host, u"localhost")) return std::nullopt;
    rest = slash == std::u16string_view::npos ? std::u16string_view() : rest.substr(slash);
  }
  if (rest.starts_with(u"/")) rest.remove_prefix(1);  // "/C:/x": the slash belongs to the URL
  std::u16string path = DecodePercentEscapes(rest);
  if (path.size() >= 2 && path[1] == u'|') path[1] = u':';
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
  }
  // Only a path on a drive of this machine: opening a network path would hand the user's credentials to
  // whichever server a downloaded descriptor names.
  if (path.size() < 3 || !IsAsciiLetter(path[0]) || path[1] != u':' || path[2] != u'\\') return std::nullopt;
  return path;
}

std::optional<std::u16string> LastSegmentName(std::u16string_view url) {
  if (url.size() > kMaxAddress) return std::nullopt;
  std::u16string_view path = WithoutQuery(url);
  const std::size_t separator = path.find_last_of(u"/\\");
  if (separator != std::u16string_view::npos) path = path.substr(separator + 1);
  const std::u16string name = DecodePercentEscapes(path);
  if (name.empty() || name == u"." || name == u"..") return std::nullopt;
  for (const char16_t c : name) {
    if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) return std::nullopt;
  }
  return name;
}

}  // namespace tc
