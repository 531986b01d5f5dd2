// The process port over kernel32: plain starts, watched starts whose output goes to a pipe, console starts.
#pragma once

#include "platform/Processes.h"

namespace tc {

class Win32Processes final : public Processes {
 public:
  bool Start(const std::u16string& commandLine, const EnvironmentChanges& environment) override;
  std::optional<WatchedChild> StartWatched(const std::u16string& commandLine, const EnvironmentChanges& environment,
                                           std::uint32_t windowMilliseconds, std::size_t keep) override;
  KeptConsoleStart StartInKeptConsole(const std::u16string& title, const std::u16string& commandLine,
                                      const EnvironmentChanges& environment) override;
  ConsoleStart StartInNewConsole(const std::u16string& commandLine) override;
};

// The kept console's control handler: Ctrl+C and Ctrl+Break are the program's, the launcher lives on to write
// the end line; closing the window, logging off or shutting down end it as they end any console program.
bool KeepsLauncherAlive(std::uint32_t controlEvent);


}  // namespace tc
