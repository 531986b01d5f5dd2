// Small host adapters: a process port that records command lines, a shell that records what it opened,
// version resources from a table.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/VersionInfo.h"

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

// Version resources by executable path (exact spelling); each resource maps sub-blocks to their values.
class TableVersionInfo final : public VersionInfo {
 public:
  struct Resource {
    std::map<std::u16string, std::vector<std::uint8_t>> binary;
    std::map<std::u16string, std::u16string> strings;
  };

  // A resource with one translation (language, code page) whose "Full Version" is the given text.
  void AddFullVersion(const std::u16string& executable, const std::u16string& fullVersion,
                      std::uint16_t language = 0x0409, std::uint16_t codePage = 0x04B0);
  // The fixed file information ("\\"), as VS_FIXEDFILEINFO lays it out, with this file version.
  void AddFileVersion(const std::u16string& executable, std::uint16_t major, std::uint16_t minor,
                      std::uint16_t build, std::uint16_t revision);

  std::unique_ptr<VersionResource> Read(const std::u16string& executable) override;

  std::map<std::u16string, Resource> resources;
};

}  // namespace tc
