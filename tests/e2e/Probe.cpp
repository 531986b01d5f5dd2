// The e2e starter program: appends the exact command line it was started with to the file named by TC_PROBE_LOG.
// Built twice, as a console and as a window program. A file beside it named like it with ".script" makes it act
// out a Java runtime's start: its first line "EXIT MILLISECONDS TIMES", then text written to standard error
// TIMES times, after which it goes on for MILLISECONDS and ends with EXIT.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void ActOutScript() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path = path.substr(0, path.rfind(L'.')) + L".script";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string script(1 << 20, '\0');
  DWORD read = 0;
  ReadFile(file, script.data(), static_cast<DWORD>(script.size()), &read, nullptr);
  CloseHandle(file);
  script.resize(read);
  unsigned exitCode = 0, milliseconds = 0, times = 0;
  const size_t lineEnd = script.find('\n');
  if (lineEnd == std::string::npos || std::sscanf(script.c_str(), "%u %u %u", &exitCode, &milliseconds, &times) != 3) {
    return;
  }
  const std::string text = script.substr(lineEnd + 1);
  std::string all;
  for (unsigned i = 0; i < times; ++i) all += text;
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), all.data(), static_cast<DWORD>(all.size()), &written, nullptr);
  Sleep(milliseconds);  // a program that goes on running, not a wait for anything
  ExitProcess(exitCode);
}

}  // namespace

int wmain() {
  wchar_t logPath[1024] = {};
  if (GetEnvironmentVariableW(L"TC_PROBE_LOG", logPath, 1024) == 0) return 2;
  const wchar_t* line = GetCommandLineW();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
  if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8.data(), bytes, nullptr, nullptr);
  utf8 += '\n';
  HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(log);
  ActOutScript();
  return 0;
}
