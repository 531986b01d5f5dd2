// The process port: starting the child program, watching its first seconds, running a command-line program in
// the launcher's own console, and starting a helper program the user follows in a console window of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tc {

// A variable the child gets over the launcher's own environment: added where the launcher has none of that name,
// else in place of its value. The rest of the block is the launcher's own, in its order.
struct EnvironmentChange {
  std::u16string name;
  std::u16string value;
  friend bool operator==(const EnvironmentChange&, const EnvironmentChange&) = default;
};
using EnvironmentChanges = std::vector<EnvironmentChange>;

// What a watched child did while it was watched.
struct WatchedChild {
  bool ended = false;          // it ended within the window
  std::uint32_t exitCode = 0;  // its exit code, when it ended
  std::string output;          // the last bytes it wrote to its standard output and error, as written
};

// A started program whose end the caller waits for; it goes on running when this object is destroyed.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  // Its exit code once it has ended; nullopt while it runs. Returns at once.
  virtual std::optional<std::uint32_t> ExitCode() = 0;
};

struct ConsoleStart {
  std::unique_ptr<ChildProcess> process;  // null when the process was not created
  std::uint32_t error = 0;                // and then the system's error code
};

class KeptConsole;
struct KeptConsoleStart {
  std::unique_ptr<KeptConsole> console;  // null when the process was not created, and the console freed again
  std::uint32_t error = 0;               // and then the system's error code
};

// A program running in the launcher's own console, which stays open after it ends.
class KeptConsole {
 public:
  virtual ~KeptConsole() = default;
  // Its exit code once it has ended, waiting at most `milliseconds` (kForever: until it ends); nullopt while it runs.
  virtual std::optional<std::uint32_t> WaitForEnd(std::uint32_t milliseconds) = 0;
  // The last `count` lines the console shows, each line wrapped by the console's width joined again.
  virtual std::u16string LastLines(std::size_t count) = 0;
  virtual void Write(const std::u16string& text) = 0;
  // Returns once a key that closes the console (ClosesKeptConsole) is pressed in it; closing its window ends the
  // launcher with it.
  virtual void WaitForKey() = 0;
};

inline constexpr std::uint32_t kForever = 0xFFFFFFFF;

class Processes {
 public:
  virtual ~Processes() = default;
  // CreateProcessW with no application name, handles not inherited, no flags but a Unicode environment, the
  // launcher's environment with `environment` over it, and its current folder; both handles are closed at once.
  // True when the process started.
  virtual bool Start(const std::u16string& commandLine, const EnvironmentChanges& environment) = 0;
  // As Start, but the child's standard output and error go to one pipe and its standard input is the NUL
  // device, the only handles it inherits. The pipe is read until the child ends or `windowMilliseconds` pass,
  // keeping the last `keep` bytes; the child goes on running. nullopt when the process was not created.
  virtual std::optional<WatchedChild> StartWatched(const std::u16string& commandLine,
                                                   const EnvironmentChanges& environment,
                                                   std::uint32_t windowMilliseconds, std::size_t keep) = 0;
  // Opens the launcher's own console, titled `title`, and starts the program in it, with its environment as Start
  // gives it: the program shares the console, whose handles are its standard handles, the only ones it inherits.
  virtual KeptConsoleStart StartInKeptConsole(const std::u16string& title, const std::u16string& commandLine,
                                              const EnvironmentChanges& environment) = 0;
  // In a new console window of its own, with the program's environment and current folder.
  virtual ConsoleStart StartInNewConsole(const std::u16string& commandLine) = 0;
};

}  // namespace tc
