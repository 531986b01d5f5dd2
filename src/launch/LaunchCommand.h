// A starter's executable and argument template, expanded with the opened files into one child command line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Processes.h"

namespace tc {

// CreateProcessW takes at most 32,767 characters, the terminating null included.
constexpr std::size_t kMaxCommandLineLength = 32766;

// What an argument template holds at one position: "%1"-"%9", "%U1"-"%U9" (the same value as a file: URL),
// "%*", or no placeholder (length 0), where the character is copied as it stands.
struct Placeholder {
  std::size_t length = 0;
  std::size_t value = 0;  // the positional value's index
  bool url = false;
  bool external = false;  // "%*"
};
Placeholder PlaceholderAt(std::u16string_view text, std::size_t at);

class LaunchCommand {
 public:
  LaunchCommand(std::u16string executableFile, std::u16string argumentTemplate);

  // The next positional value ("%1", then "%2", ...): the text wrapped in double quotes.
  void AddQuotedValue(std::u16string_view text);

  // The expanded command line, or nullopt when it would be longer than a process can be given.
  std::optional<std::u16string> CommandLine(std::u16string_view externalArguments) const;

  // True when the child process was created; nothing is shown either way.
  bool Start(Processes& processes, std::u16string_view externalArguments) const;

 private:
  std::u16string executableFile_;
  std::u16string template_;
  std::vector<std::u16string> values_;
};

}  // namespace tc
