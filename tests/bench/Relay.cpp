// The least a launcher can do, for comparison: starts the rest of its own command line as the program's watched
// start does (output to a pipe that a thread reads, NUL as input, only those two handles inherited), waits for the
// child within the same window, and exits.
#include <windows.h>

#include <string>

namespace {

DWORD WINAPI Drain(void* pipe) {
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(pipe, chunk, sizeof chunk, &read, nullptr) && read > 0) {
  }
  return 0;
}

}  // namespace

int wmain() {
  const wchar_t* line = GetCommandLineW();
  // Skip the relay's own name, quoted or not, and the blanks after it.
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"') ++line;
    if (*line) ++line;
  } else {
    while (*line > L' ') ++line;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  std::wstring child = line;

  HANDLE read = nullptr;
  HANDLE write = nullptr;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (!CreatePipe(&read, &write, nullptr, 64 * 1024)) return 1;
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                           nullptr);
  SetHandleInformation(write, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::string storage(size, '\0');
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  InitializeProcThreadAttributeList(attributes, 1, 0, &size);
  HANDLE inherited[] = {write, nul};
  UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof inherited, nullptr,
                            nullptr);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = nul;
  startup.StartupInfo.hStdOutput = write;
  startup.StartupInfo.hStdError = write;
  startup.lpAttributeList = attributes;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, child.data(), nullptr, nullptr, TRUE, EXTENDED_STARTUPINFO_PRESENT,
                                      nullptr, nullptr, &startup.StartupInfo, &process);
  DeleteProcThreadAttributeList(attributes);
  CloseHandle(write);
  CloseHandle(nul);
  if (!started) return 1;
  CloseHandle(process.hThread);
  HANDLE reader = CreateThread(nullptr, 0, Drain, read, 0, nullptr);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  if (reader) CloseHandle(reader);
  return 0;
}
