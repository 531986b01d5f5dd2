// Posts to a dialog from any thread as a private window message; detached once the dialog has ended.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>

#include "platform/Ui.h"

namespace tc {

// Carries a post: wParam the message, lParam the value. WM_APP numbers are free in dialogs of our own.
constexpr UINT kPostedMessage = WM_APP + 0x71;

class Win32Poster final : public DialogPoster {
 public:
  explicit Win32Poster(HWND window) : window_(window) {}

  void Post(int message, std::intptr_t value) override {
    // Under the lock, so that no post can reach a window handle that was freed and given to another window.
    std::lock_guard<std::mutex> lock(mutex_);
    if (window_) PostMessageW(window_, kPostedMessage, static_cast<WPARAM>(message), static_cast<LPARAM>(value));
  }
  // Posts after this, and those still in the queue, go nowhere.
  void Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    window_ = nullptr;
  }
  bool IsAttached() {
    std::lock_guard<std::mutex> lock(mutex_);
    return window_ != nullptr;
  }

 private:
  std::mutex mutex_;
  HWND window_;
};

}  // namespace tc
