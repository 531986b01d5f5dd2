// Small Win32 adapters: starting processes and the shell.
#pragma once

#include "platform/Processes.h"
#include "platform/Shell.h"

namespace tc {

class Win32Processes final : public Processes {
 public:
  bool Start(const std::u16string& commandLine) override;
};

class Win32Shell final : public Shell {
 public:
  bool Open(const std::u16string& target) override;
  void NotifyAssociationsChanged() override;
  std::u16string ProgramPath() override;
};

}  // namespace tc
