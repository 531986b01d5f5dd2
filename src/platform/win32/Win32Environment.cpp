// The environment port over the shell's DoEnvironmentSubstW.
#include "platform/win32/Win32Environment.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/Win32Text.h"

namespace tc {

std::optional<std::u16string> Win32Environment::Expand(const std::u16string& text, std::uint32_t bufferLength) {
  if (text.size() + 1 > bufferLength) return std::nullopt;
  std::u16string buffer = text;
  buffer.resize(bufferLength, u'\0');
  const DWORD result = DoEnvironmentSubstW(Wide(buffer), bufferLength);
  if (HIWORD(result) == FALSE) return std::nullopt;
  buffer.resize(buffer.find(u'\0'));
  return buffer;
}

}  // namespace tc
