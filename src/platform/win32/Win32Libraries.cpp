// The libraries of the user interface: COM and the common controls, started on first need.
#include "platform/win32/Win32Libraries.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace tc {

namespace {

bool started = false;
bool comReady = false;

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
