// The process contract against real children: this test program, started again, plays the watched child.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "contract/ProcessesContract.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

constexpr wchar_t kChildSwitch[] = L"--tc-watched-child";

// Runs before the tests when this program was started as a child: "--tc-watched-child LINES MILLISECONDS CODE".
[[maybe_unused]] const bool kIsChild = [] {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count != 5 || std::wstring(arguments[1]) != kChildSwitch) return false;
  const int lines = std::wcstol(arguments[2], nullptr, 10);
  const DWORD milliseconds = std::wcstoul(arguments[3], nullptr, 10);
  const UINT code = std::wcstoul(arguments[4], nullptr, 10);
  std::string text;
  for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\r\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  Sleep(milliseconds);  // the child's own life, not a wait of the test
  ExitProcess(code);
}();

std::u16string ChildCommand(Processes&, int lines, std::uint32_t milliseconds, std::uint32_t exitCode) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return u"\"" + FromWide(self) + u"\" " + FromWide(kChildSwitch) + u" " + FromWide(std::to_wstring(lines).c_str()) +
         u" " + FromWide(std::to_wstring(milliseconds).c_str()) + u" " + FromWide(std::to_wstring(exitCode).c_str());
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ProcessesContract,
                         ::testing::Values(ProcessesHost{[] { return std::make_unique<Win32Processes>(); },
                                                         ChildCommand}));

}  // namespace tc
