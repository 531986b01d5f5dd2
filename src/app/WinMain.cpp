// The Windows entry: brings up the process-wide services, runs the command line, and takes them down again.
#include <windows.h>
#include <sddl.h>

#include <string>

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

constexpr wchar_t kProgramMutex[] = L"{5B2E7D14-9A3C-4F61-B8D0-72C4E19A6F35}";

// The installer waits while this program runs. The mutex of the session serves its own session; this one, in the
// Global namespace, serves an installer of any user or session, which may open it for waiting only.
HANDLE HoldMutexForEveryone() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100000;;;WD)", SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return nullptr;
  }
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  // Asking for SYNCHRONIZE alone also opens the one that an instance of another user already made.
  const std::wstring name = std::wstring(L"Global\\") + kProgramMutex;
  HANDLE mutex = CreateMutexExW(&attributes, name.c_str(), 0, SYNCHRONIZE);
  LocalFree(descriptor);
  return mutex;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  // COM and the common controls start before the first window or COM object (StartComAndControls), not here: a
  // launch that shows nothing then loads neither.
  HANDLE marker = CreateMutexW(nullptr, FALSE, kProgramMutex);
  HANDLE markerForEveryone = HoldMutexForEveryone();

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
  if (markerForEveryone) CloseHandle(markerForEveryone);
  if (marker) CloseHandle(marker);
  return exitCode;
}
