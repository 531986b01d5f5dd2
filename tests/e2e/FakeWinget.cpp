// A stand-in for winget: appends its command line to TC_PROBE_LOG, then does what winget.script beside it says,
// one item a line: the exit code; a file to wait for before going on ("-": none); a folder to move into place as
// the installed Java home ("-": none); that home's place; the key under HKEY_LOCAL_MACHINE (64-bit view) whose
// "Path" names it, as Temurin's installer writes it.
#include <windows.h>

#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "ProbeLog.h"

namespace {

std::wstring Utf16(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  return wide;
}

}  // namespace

int wmain() {
  AppendCommandLineToProbeLog();
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring script = self;
  script = script.substr(0, script.rfind(L'.')) + L".script";
  std::ifstream in(script.c_str());
  std::vector<std::wstring> items;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    items.push_back(Utf16(line));
  }
  if (items.size() < 5) return 2;
  if (items[1] != L"-") {
    // The scenario lets the installation end once it has seen the installing dialog.
    for (int waited = 0; GetFileAttributesW(items[1].c_str()) == INVALID_FILE_ATTRIBUTES; waited += 50) {
      if (waited > 120000) return 3;
      Sleep(50);
    }
  }
  if (items[2] != L"-") {
    if (!MoveFileW(items[2].c_str(), items[3].c_str())) return 4;
    const std::wstring path = items[3] + L"\\";
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, items[4].c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return 5;
    }
    RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  return static_cast<int>(std::wcstoul(items[0].c_str(), nullptr, 0));
}
