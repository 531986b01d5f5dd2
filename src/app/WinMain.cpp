// The Windows entry: brings up the process-wide services, runs the command line, and takes them down again.
#include <windows.h>

#include "app/CommandLine.h"
#include "platform/win32/MsxmlXml.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/Win32Libraries.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Threads.h"
#include "platform/win32/Win32Ui.h"
#include "platform/win32/Win32VersionInfo.h"

namespace {

// The program's single-instance marker, in its session. The installer does not wait on it, nor on any name: a name
// says nothing of the folder a program runs from, and anyone may hold one. It waits while the installed program's
// file is in use, which only a program running from that folder does.
constexpr wchar_t kProgramMutex[] = L"{5B2E7D14-9A3C-4F61-B8D0-72C4E19A6F35}";

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  // COM and the common controls start before the first window or COM object (StartComAndControls), not here: a
  // launch that shows nothing then loads neither.
  HANDLE marker = CreateMutexW(nullptr, FALSE, kProgramMutex);

  int exitCode = 1;
  {
    tc::Win32Ui ui(instance);
    tc::Win32Registry registry;
    tc::Win32Files files;
    tc::Win32Processes processes;
    tc::Win32Shell shell;
    tc::Win32VersionInfo versions;
    tc::Win32Http http;
    tc::Win32Threads threads;
    tc::Win32Environment environment;
    tc::MsxmlXml xml;
    tc::Platform platform{registry, files, processes, ui, shell, versions, http, threads, environment, xml};
    tc::Context context(platform);
    exitCode = tc::RunCommandLine(context, tc::FromWide(commandLine));
  }

  tc::EndComAndControls();
  if (marker) CloseHandle(marker);
  return exitCode;
}
