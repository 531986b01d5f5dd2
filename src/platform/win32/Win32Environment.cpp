// The environment port over the shell's DoEnvironmentSubstW and kernel32.
#include "platform/win32/Win32Environment.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <limits>

#include "base/Text.h"
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

std::uint16_t Win32Environment::NativeMachine() {
  // Windows 10 before version 1709 lacks the call, and runs on no processor but x86 and x64.
  using IsWow64Process2Call = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  const auto call = reinterpret_cast<IsWow64Process2Call>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
  USHORT process = 0;
  USHORT native = 0;
  if (call && call(GetCurrentProcess(), &process, &native)) return native;
  return IMAGE_FILE_MACHINE_AMD64;
}

bool Win32Environment::FitsCodePage(std::u16string_view text) {
  // A UTF-8 code page takes no WC_NO_BEST_FIT_CHARS and no default character: it holds every text.
  if (GetACP() == CP_UTF8 || text.empty()) return true;
  const int size = static_cast<int>(std::min<std::size_t>(text.size(), std::numeric_limits<int>::max()));
  BOOL defaulted = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data()),
                                         size, nullptr, 0, nullptr, &defaulted);
  return length > 0 && !defaulted && static_cast<std::size_t>(size) == text.size();
}

std::u16string Win32Environment::ErrorText(std::uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text = length > 0 ? FromWide(buffer) : std::u16string();
  LocalFree(buffer);
  // The system ends its texts with a line break.
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
  if (text.empty()) text = Format(u"Error %u.", {code});
  return text;
}

std::u16string Win32Environment::DecodeAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), std::numeric_limits<int>::max()));
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, Wide(text), length);
  return text;
}

}  // namespace tc
