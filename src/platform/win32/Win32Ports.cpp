// Small Win32 adapters: starting processes and the shell.
#include "platform/win32/Win32Ports.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/Win32Text.h"

namespace tc {

bool Win32Processes::Start(const std::u16string& commandLine) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::u16string buffer = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, Wide(buffer), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32Shell::Open(const std::u16string& target) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, nullptr, Wide(target), nullptr, nullptr, SW_SHOWDEFAULT));
  return result > 32;
}

void Win32Shell::NotifyAssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

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
