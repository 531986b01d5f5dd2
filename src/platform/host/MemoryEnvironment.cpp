// Environment variables from a table, expanded as the shell does.
#include "platform/host/MemoryEnvironment.h"

#include "base/Text.h"

namespace tc {

namespace {

std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) {
    c = UpperCase(c);
  }
  return text;
}

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

}  // namespace tc
