// The thread port over kernel32: CreateThread and Sleep.
#pragma once

#include "platform/Threads.h"

namespace tc {

class Win32Threads final : public Threads {
 public:
  bool StartDetached(std::function<void()> work) override;
  void Wait(std::uint32_t milliseconds) override;
};

}  // namespace tc
