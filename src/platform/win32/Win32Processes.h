// The process port over kernel32: plain starts, watched starts whose output goes to a pipe, console starts.
#pragma once

#include "platform/Processes.h"

namespace tc {

class Win32Processes final : public Processes {
 public:
  bool Start(const std::u16string& commandLine) override;
  std::optional<WatchedChild> StartWatched(const std::u16string& commandLine, std::uint32_t windowMilliseconds,
                                           std::size_t keep) override;
  ConsoleStart StartInNewConsole(const std::u16string& commandLine) override;
};

}  // namespace tc
