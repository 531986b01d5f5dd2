// Threads for tests: a started worker runs when the test says so, on the test's thread; waits pass on a clock.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Threads.h"

namespace tc {

class ScriptedThreads final : public Threads {
 public:
  bool StartDetached(std::function<void()> work) override {
    if (!canStart) return false;
    pending_.push_back(std::move(work));
    return true;
  }
  // Moves the clock on at once; the hook lets a test act at that moment of the worker's run.
  void Wait(std::uint32_t milliseconds) override {
    waits.push_back(milliseconds);
    now += milliseconds;
    if (whileWaiting) whileWaiting(milliseconds);
  }

  // Runs the workers started so far to their end, oldest first; the number run.
  int RunWorkers() {
    std::vector<std::function<void()>> work;
    work.swap(pending_);
    for (auto& run : work) run();
    return static_cast<int>(work.size());
  }
  std::size_t Pending() const { return pending_.size(); }

  bool canStart = true;
  std::uint64_t now = 0;  // ms
  std::vector<std::uint32_t> waits;
  std::function<void(std::uint32_t)> whileWaiting;

 private:
  std::vector<std::function<void()>> pending_;
};

}  // namespace tc
