// The thread port over kernel32: a worker that is never joined, and Sleep.
#include "platform/win32/Win32Threads.h"

#include <windows.h>

#include <memory>

namespace tc {

namespace {

DWORD WINAPI RunWork(void* parameter) {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  (*work)();
  return 0;
}

}  // namespace

bool Win32Threads::StartDetached(std::function<void()> work) {
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  HANDLE thread = CreateThread(nullptr, 0, RunWork, owned.get(), 0, nullptr);
  if (!thread) return false;
  owned.release();  // the thread owns it now
  CloseHandle(thread);
  return true;
}

void Win32Threads::Wait(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace tc
