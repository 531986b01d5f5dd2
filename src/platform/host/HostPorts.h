// Small host adapters: a process port that records command lines and plays back its children, a shell that
// records what it opened, version resources from a table.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/VersionInfo.h"

namespace tc {

// Records every command line and plays back scripted children: what each watched child does, and when the
// program started in a console ends.
class RecordingProcesses final : public Processes {
 public:
  bool Start(const std::u16string& commandLine, const EnvironmentChanges& environment) override {
    Record(commandLine, environment);
    return succeed;
  }
  std::optional<WatchedChild> StartWatched(const std::u16string& commandLine, const EnvironmentChanges& environment,
                                           std::uint32_t windowMilliseconds, std::size_t keep) override {
    Record(commandLine, environment);
    watched.push_back(commandLine);
    if (!succeed) return std::nullopt;
    if (children.empty()) return WatchedChild{};  // it keeps running
    WatchedChild child = std::move(children.front());
    children.pop_front();
    if (child.output.size() > keep) child.output.erase(0, child.output.size() - keep);
    return child;
  }
  KeptConsoleStart StartInKeptConsole(const std::u16string& title, const std::u16string& commandLine,
                                      const EnvironmentChanges& environment) override {
    Record(commandLine, environment);
    kept.push_back({title, commandLine});
    if (!succeed) return {nullptr, kFileNotFound};
    return {std::make_unique<Kept>(*this), 0};
  }
  ConsoleStart StartInNewConsole(const std::u16string& commandLine) override {
    consoles.push_back(commandLine);
    if (consoleError != 0) return ConsoleStart{nullptr, consoleError};
    return ConsoleStart{std::make_unique<Console>(*this), 0};
  }

  static constexpr std::uint32_t kFileNotFound = 2;  // the error of a start that fails

  std::vector<std::u16string> started;  // every command line, watched or not
  std::vector<EnvironmentChanges> environments;  // what each of them got over the launcher's environment
  std::vector<std::u16string> watched;
  std::vector<std::u16string> consoles;
  bool succeed = true;
  std::deque<WatchedChild> children;  // what the next watched children do; without one a child keeps running
  std::uint32_t consoleError = 0;     // not 0: a console program can't be started, with this error
  std::optional<std::uint32_t> consoleExitCode;  // set: the console program has ended with this code

  // The launcher's own console: what it was opened as, and what the program in it does and the launcher writes.
  struct KeptStart {
    std::u16string title;
    std::u16string commandLine;
  };
  std::vector<KeptStart> kept;
  std::uint32_t keptExitCode = 0;
  bool keptEndsAtOnce = false;  // within the first wait; otherwise only in the wait for ever
  std::u16string keptScreen;    // what the program left on the screen, as the console gives its lines back
  std::u16string keptWritten;   // what the launcher wrote after it
  int keptKeysAwaited = 0;

 private:
  void Record(const std::u16string& commandLine, const EnvironmentChanges& environment) {
    started.push_back(commandLine);
    environments.push_back(environment);
  }

  class Console final : public ChildProcess {
   public:
    explicit Console(RecordingProcesses& processes) : processes_(processes) {}
    std::optional<std::uint32_t> ExitCode() override { return processes_.consoleExitCode; }

   private:
    RecordingProcesses& processes_;
  };
  class Kept final : public KeptConsole {
   public:
    explicit Kept(RecordingProcesses& processes) : processes_(processes) {}
    std::optional<std::uint32_t> WaitForEnd(std::uint32_t milliseconds) override {
      if (milliseconds != kForever && !processes_.keptEndsAtOnce) return std::nullopt;
      return processes_.keptExitCode;
    }
    // A screen of no more lines than asked for.
    std::u16string LastLines(std::size_t) override { return processes_.keptScreen; }
    void Write(const std::u16string& text) override { processes_.keptWritten += text; }
    void WaitForKey() override { ++processes_.keptKeysAwaited; }

   private:
    RecordingProcesses& processes_;
  };
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
