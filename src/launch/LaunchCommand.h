// A starter's executable and argument template, expanded with the opened files into one child command line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ArgumentTemplate.h"
#include "launch/GameScreenSize.h"
#include "platform/Processes.h"

namespace tc {

// CreateProcessW takes at most 32,767 characters, the terminating null included.
constexpr std::size_t kMaxCommandLineLength = 32766;

class LaunchCommand {
 public:
  // The kind decides which placeholders the template holds.
  LaunchCommand(std::u16string executableFile, std::u16string argumentTemplate, StarterKind kind);

  // The next positional value ("%1", then "%2", ...): the text wrapped in double quotes.
  void AddQuotedValue(std::u16string_view text) { AddQuotedValue(text, text); }
  // The same for a file's path given in another form (its short one): "%U1"... still make their URL of `path`.
  void AddQuotedValue(std::u16string_view text, std::u16string_view path);

  std::size_t ValueCount() const { return values_.size(); }
  // Whether the template asks for the value at `index` as it is ("%1"), not only as a URL ("%U1").
  bool UsesPlainValue(std::size_t index) const;

  // Options for the executable itself, before the template's arguments ("-Xmx512m" for a Java runtime): written as
  // they stand, never read as a template.
  void SetLeadingArguments(std::u16string text) { leading_ = std::move(text); }

  // The game's screen for a J2ME template's "%W" and "%H"; without it they produce nothing, as a value that is not
  // set does.
  void SetScreenSize(ScreenSize size) { screen_ = size; }

  // The expanded command line, or nullopt when it would be longer than a process can be given.
  std::optional<std::u16string> CommandLine(std::u16string_view externalArguments) const;

  // True when the child process was created, with `environment` over the launcher's own; nothing is shown either
  // way.
  bool Start(Processes& processes, std::u16string_view externalArguments,
             const EnvironmentChanges& environment = {}) const;

 private:
  std::u16string executableFile_;
  std::u16string template_;
  StarterKind kind_;
  struct Value {
    std::u16string quoted;
    std::u16string path;  // what its URL is made of
  };
  std::vector<Value> values_;
  std::optional<ScreenSize> screen_;
  std::u16string leading_;
};

}  // namespace tc
