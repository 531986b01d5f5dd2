// Small host adapters: a process port that records command lines, a shell that records what it opened.
#pragma once

#include <string>
#include <vector>

#include "platform/Processes.h"
#include "platform/Shell.h"

namespace tc {

class RecordingProcesses final : public Processes {
 public:
  bool Start(const std::u16string& commandLine) override {
    started.push_back(commandLine);
    return succeed;
  }
  std::vector<std::u16string> started;
  bool succeed = true;
};

class RecordingShell final : public Shell {
 public:
  bool Open(const std::u16string& target) override {
    opened.push_back(target);
    return true;
  }
  void NotifyAssociationsChanged() override { ++associationNotices; }
  std::u16string ProgramPath() override { return programPath; }

  std::vector<std::u16string> opened;
  int associationNotices = 0;
  std::u16string programPath = u"C:\\Program Files\\Tessaly Corvalo\\TessalyCorvalo.exe";
};

}  // namespace tc
