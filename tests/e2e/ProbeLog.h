// What the e2e stand-ins share: the exact command line they were started with, appended as a UTF-8 line to the
// file named by TC_PROBE_LOG.
#pragma once

#include <windows.h>

#include <string>

// False when there is no log to write to.
inline bool AppendToProbeLog(const wchar_t* line) {
  wchar_t logPath[1024] = {};
  if (GetEnvironmentVariableW(L"TC_PROBE_LOG", logPath, 1024) == 0) return false;
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes > 0 ? bytes - 1 : 0, '\0');
  if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8.data(), bytes, nullptr, nullptr);
  utf8 += '\n';
  HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(log);
  return true;
}

inline bool AppendCommandLineToProbeLog() { return AppendToProbeLog(GetCommandLineW()); }
