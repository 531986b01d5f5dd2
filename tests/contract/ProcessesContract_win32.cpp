// The process port's watched and kept-console starts against real children: this test program, started again,
// plays the child.
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
  std::string text = Lines(1, std::wcstol(arguments[2], nullptr, 10));
  char layer[64] = {};
  if (GetEnvironmentVariableA("__COMPAT_LAYER", layer, sizeof layer) > 0) text += std::string("layer ") + layer;
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  Sleep(std::wcstoul(arguments[3], nullptr, 10));  // the child's own life, not a wait of the test
  ExitProcess(std::wcstoul(arguments[4], nullptr, 10));
}();

std::u16string ChildCommand(int lines, int milliseconds, int exitCode) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring command = L"\"" + std::wstring(self) + L"\" " + kChildSwitch + L" " + std::to_wstring(lines) +
                               L" " + std::to_wstring(milliseconds) + L" " + std::to_wstring(exitCode);
  return FromWide(command.c_str());
}

std::optional<WatchedChild> Watch(int lines, int milliseconds, int exitCode, std::uint32_t window, std::size_t keep,
                                  const EnvironmentChanges& environment = {}) {
  return Win32Processes().StartWatched(ChildCommand(lines, milliseconds, exitCode), environment, window, keep);
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
  EXPECT_FALSE(Win32Processes().StartWatched(u"\"C:\\no such folder\\program.exe\"", {}, 300, 1024));

  // The child's environment is this one's with the change over it.
  const auto layered = Watch(1, 0, 0, 10000, 1024, {{u"__COMPAT_LAYER", u"DPIUNAWARE"}});
  ASSERT_TRUE(layered && layered->ended);
  EXPECT_EQ(layered->output, Lines(1, 1) + "layer DPIUNAWARE");
}

TEST(Win32Processes, AKeptConsoleRunsTheChildInItAndGivesItsLinesBackUntilAKeyIsPressed) {
  // A program that can't be started leaves no console behind, and says why.
  const KeptConsoleStart failed =
      Win32Processes().StartInKeptConsole(u"x", u"\"C:\\no such folder\\program.exe\"", {});
  EXPECT_FALSE(failed.console);
  EXPECT_NE(failed.error, 0u);
  EXPECT_EQ(GetConsoleWindow(), nullptr);

  const auto console = Win32Processes().StartInKeptConsole(u"tool.jar - Tessaly Corvalo", ChildCommand(3, 400, 3), {}).console;
  ASSERT_TRUE(console);
  EXPECT_FALSE(console->WaitForEnd(0)) << "it is still running";
  EXPECT_EQ(console->WaitForEnd(10000), std::optional<std::uint32_t>(3));
  EXPECT_EQ(console->LastLines(2), u"line 2\r\nline 3\r\n");
  wchar_t title[64] = {};
  GetConsoleTitleW(title, 64);
  EXPECT_EQ(std::wstring(title), L"tool.jar - Tessaly Corvalo");
  // A line longer than the console is wide comes back as one.
  const std::u16string wide(300, u'x');
  console->Write(wide + u"\r\nPress any key");
  EXPECT_EQ(console->LastLines(2), wide + u"\r\nPress any key\r\n");

  INPUT_RECORD key{KEY_EVENT};
  key.Event.KeyEvent = {TRUE, 1, VK_SPACE, 0, {L' '}, 0};
  DWORD written = 0;
  HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  const BOOL typed = WriteConsoleInputW(input, &key, 1, &written);
  CloseHandle(input);
  ASSERT_TRUE(typed) << "else the wait below would not end";
  console->WaitForKey();  // returns: the key was there
  FreeConsole();
  // Ctrl+C and Ctrl+Break are the program's; the end of the session ends the launcher too.
  for (const DWORD event : {CTRL_C_EVENT, CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT}) {
    EXPECT_EQ(KeepsLauncherAlive(event), event <= CTRL_BREAK_EVENT) << event;
  }
}

}  // namespace tc
