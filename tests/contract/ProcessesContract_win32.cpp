// The process port's watched start against real children: this test program, started again, plays the child.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

constexpr wchar_t kChildSwitch[] = L"--tc-watched-child";

std::string Lines(int from, int to) {
  std::string text;
  for (int i = from; i <= to; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

// Runs before the tests when this program was started as a child: "--tc-watched-child LINES MILLISECONDS CODE"
// writes the lines at once, goes on for the milliseconds, and ends with the code.
[[maybe_unused]] const bool kIsChild = [] {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count != 5 || std::wstring(arguments[1]) != kChildSwitch) return false;
  const std::string text = Lines(1, std::wcstol(arguments[2], nullptr, 10));
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  Sleep(std::wcstoul(arguments[3], nullptr, 10));  // the child's own life, not a wait of the test
  ExitProcess(std::wcstoul(arguments[4], nullptr, 10));
}();

std::optional<WatchedChild> Watch(int lines, int milliseconds, int exitCode, std::uint32_t window, std::size_t keep) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring command = L"\"" + std::wstring(self) + L"\" " + kChildSwitch + L" " + std::to_wstring(lines) +
                               L" " + std::to_wstring(milliseconds) + L" " + std::to_wstring(exitCode);
  return Win32Processes().StartWatched(FromWide(command.c_str()), window, keep);
}

}  // namespace

TEST(Win32Processes, AWatchedChildLeavesItsCodeAndTheTailOfWhatItWrote) {
  const auto ended = Watch(3, 0, 3, 10000, 64 * 1024);
  ASSERT_TRUE(ended && ended->ended);
  EXPECT_EQ(ended->exitCode, 3u);
  EXPECT_EQ(ended->output, Lines(1, 3));

  const auto flooded = Watch(20000, 0, 1, 10000, 4096);
  ASSERT_TRUE(flooded && flooded->ended);
  EXPECT_EQ(flooded->output.size(), 4096u);
  EXPECT_TRUE(flooded->output.ends_with(Lines(19999, 20000)));

  const auto running = Watch(1, 8000, 0, 300, 64 * 1024);  // still running when the window ends: left running
  ASSERT_TRUE(running);
  EXPECT_FALSE(running->ended);
  EXPECT_FALSE(Win32Processes().StartWatched(u"\"C:\\no such folder\\program.exe\"", 300, 1024));
}

}  // namespace tc
