// The shell port over shell32.
#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/Win32Libraries.h"
#include "platform/win32/Win32Text.h"

namespace tc {

bool Win32Shell::Open(const std::u16string& target) {
  StartComAndControls();  // ShellExecuteW may hand the target to a COM handler
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, nullptr, Wide(target), nullptr, nullptr, SW_SHOWDEFAULT));
  return result > 32;
}

void Win32Shell::NotifyAssociationsChanged() {
  StartComAndControls();
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::u16string Win32Shell::ProgramPath() {
  std::vector<wchar_t> path(MAX_PATH);
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return FromWide(path.data(), length);
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace tc
