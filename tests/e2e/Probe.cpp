// The e2e starter program: appends the exact command line it was started with to the file named by TC_PROBE_LOG.
// Built twice, as a console and as a window program. A file beside it named like it with ".script" makes it act
// out a Java runtime's start: its first line "EXIT MILLISECONDS TIMES", then text written to standard error
// TIMES times, after which it goes on for MILLISECONDS and ends with EXIT. Started in a console, it also logs
// "console", whether its three standard handles are that console, and the processes attached to it, when
// TC_PROBE_CONSOLE is set; and "layer" with the compatibility layers Windows applies to it, when it has any.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ProbeLog.h"

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

void LogConsole() {
  if (GetEnvironmentVariableW(L"TC_PROBE_CONSOLE", nullptr, 0) == 0) return;
  DWORD processes[16] = {};
  const DWORD count = GetConsoleProcessList(processes, 16);
  if (count == 0) return;
  DWORD mode = 0;
  bool handles = true;
  for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    handles = handles && GetConsoleMode(GetStdHandle(which), &mode);
  }
  std::wstring line = handles ? L"console handles" : L"console other";
  for (DWORD i = 0; i < count && i < 16; ++i) line += L" " + std::to_wstring(processes[i]);
  AppendToProbeLog(line.c_str());
}

void LogCompatibilityLayer() {
  wchar_t layers[1024] = {};
  const DWORD length = GetEnvironmentVariableW(L"__COMPAT_LAYER", layers, 1024);
  if (length == 0 || length >= 1024) return;
  AppendToProbeLog((std::wstring(L"layer ") + layers).c_str());
}

}  // namespace

int wmain() {
  if (!AppendCommandLineToProbeLog()) return 2;
  LogConsole();
  LogCompatibilityLayer();
  ActOutScript();
  return 0;
}
