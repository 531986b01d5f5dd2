// Environment variables from a table, expanded as the shell does.
#include "platform/host/MemoryEnvironment.h"

#include <algorithm>
#include <iterator>

#include "base/Text.h"

namespace tc {

namespace {

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) {
    c = UpperCase(c);
  }
  return text;
}

// 0x80-0x9F of Windows-1252; the five bytes it leaves unassigned keep their own value, as Windows maps them.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void MemoryEnvironment::Define(const std::u16string& name, const std::u16string& value) {
  variables_[Upper(name)] = value;
}

std::optional<std::u16string> MemoryEnvironment::Expand(const std::u16string& text, std::uint32_t bufferLength) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t close = text[i] == u'%' ? text.find(u'%', i + 1) : std::u16string::npos;
    if (close == std::u16string::npos) {
      out += text[i++];
      continue;
    }
    const auto found = variables_.find(Upper(text.substr(i + 1, close - i - 1)));
    if (found == variables_.end()) {
      // An undefined reference stays as written, closing % included; scanning goes on after it.
      out += text.substr(i, close - i + 1);
      i = close + 1;
      continue;
    }
    out += found->second;
    i = close + 1;
  }
  if (out.size() + 1 > bufferLength) return std::nullopt;
  return out;
}

std::u16string MemoryEnvironment::DecodeAnsi(std::string_view bytes) {
  std::u16string text;
  for (char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    text.push_back(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char16_t>(byte));
  }
  return text;
}

bool MemoryEnvironment::FitsCodePage(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) continue;
    if (std::find(std::begin(kHigh), std::end(kHigh), c) == std::end(kHigh)) return false;
  }
  return true;
}

std::u16string MemoryEnvironment::ErrorText(std::uint32_t code) {
  switch (code) {
    case 2: return u"The system cannot find the file specified.";
    case 5: return u"Access is denied.";
    case 193: return u"%1 is not a valid Win32 application.";
    default: return Format(u"Error %u.", {code});
  }
}

}  // namespace tc
