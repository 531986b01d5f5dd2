// The libraries of the user interface: started on first need, and a clean end when one can't be loaded.
#include "platform/win32/Win32Libraries.h"

#include <windows.h>
#include <commctrl.h>
#include <delayimp.h>
#include <objbase.h>

#include <string>

namespace tc {

namespace {

bool started = false;
bool comReady = false;

std::wstring FromAnsi(const char* text) {
  std::wstring wide;
  for (; text && *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}

// A delay-loaded library or function that can't be found would otherwise end the program with an exception at
// the call. It says so instead, where user32 lets it, and ends with the status the loader would have given.
FARPROC WINAPI LibraryMissing(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliFailLoadLib && notification != dliFailGetProc) return nullptr;
  const std::wstring library = FromAnsi(info->szDll);
  std::wstring text = L"Tessaly Corvalo can't go on: ";
  if (notification == dliFailLoadLib) {
    text += L"the Windows library \"" + library + L"\" could not be loaded.";
  } else {
    const std::wstring function =
        info->dlp.fImportByName ? FromAnsi(info->dlp.szProcName) : L"#" + std::to_wstring(info->dlp.dwOrdinal);
    text += L"the function \"" + function + L"\" is missing from the Windows library \"" + library + L"\".";
  }
  // Loaded here by hand: the library that failed may be user32 itself.
  if (HMODULE user32 = LoadLibraryW(L"user32.dll")) {
    const auto found = reinterpret_cast<void*>(GetProcAddress(user32, "MessageBoxW"));
    if (auto show = reinterpret_cast<decltype(&MessageBoxW)>(found)) {
      show(nullptr, text.c_str(), L"Tessaly Corvalo", MB_OK | MB_ICONERROR);
    }
  }
  ExitProcess(notification == dliFailLoadLib ? STATUS_DLL_NOT_FOUND : STATUS_ENTRYPOINT_NOT_FOUND);
}

}  // namespace

void StartComAndControls() {
  if (started) return;
  started = true;
  comReady = SUCCEEDED(CoInitialize(nullptr));
  INITCOMMONCONTROLSEX controls{8, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
}

void EndComAndControls() {
  if (comReady) CoUninitialize();
  comReady = false;
}

}  // namespace tc

// The delay-load helper calls this hook on a failure. Its declaration is const in some SDKs and not in others.
decltype(__pfnDliFailureHook2) __pfnDliFailureHook2 = tc::LibraryMissing;
