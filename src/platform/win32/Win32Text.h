// Win32 adapters only: u16string and the W functions' wchar_t, which is 16 bits on Windows.
#pragma once

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Win32 adapters need a 16-bit wchar_t");

namespace tc {

inline const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline wchar_t* Wide(std::u16string& text) { return reinterpret_cast<wchar_t*>(text.data()); }
inline std::u16string FromWide(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline std::u16string FromWide(const wchar_t* text, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace tc
