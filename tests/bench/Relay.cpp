// The least a launcher can do, for comparison: starts the rest of its own command line as a process, as the
// program's Start does (CreateProcessW, no inheritance, handles closed at once), and exits.
#include <windows.h>

#include <string>

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
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(nullptr, child.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  if (started) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  return started ? 0 : 1;
}
