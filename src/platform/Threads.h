// The thread port: a detached worker, and the bounded waits it makes.
#pragma once

#include <cstdint>
#include <functional>

namespace tc {

class Threads {
 public:
  virtual ~Threads() = default;
  // Runs `work` on a new thread that is never joined (CreateThread, default stack size). False when no thread
  // could be started; `work` then never runs.
  virtual bool StartDetached(std::function<void()> work) = 0;
  // Blocks the calling thread for that long (Sleep).
  virtual void Wait(std::uint32_t milliseconds) = 0;
};

}  // namespace tc
