// What the user said about one file: the starter it always starts with, how it runs, and what it is given. Kept
// under the settings, one key a file, named by a hash of its full path; written only by the Start Options dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/Registry.h"

namespace tc {

// A desktop program's own say over the class walk's judgement.
enum class RunsIn : std::uint32_t { AsJudged = 0, Console = 1, Window = 2 };
// Who scales a desktop program's windows on a scaled display.
enum class Scaling : std::uint32_t { Automatic = 0, ProgramsOwn = 1, ByWindows = 2 };

constexpr std::uint32_t kMinMemory = 16;
constexpr std::uint32_t kMaxMemory = 1048576;
constexpr std::uint32_t kMinScreenSide = 64;
constexpr std::uint32_t kMaxScreenSide = 2048;
// What the dialog's text fields hold; a longer stored text counts as missing.
constexpr std::size_t kMaxOptionText = 2048;
constexpr std::size_t kMaxFilesWithOptions = 4096;

struct FileOptions {
  std::uint32_t starter = 0;  // a slot of the file's kind; 0: the kind's action
  RunsIn runs = RunsIn::AsJudged;
  Scaling scaling = Scaling::Automatic;
  std::uint32_t memory = 0;  // the most memory Java may take, in MB; 0: Java's own
  std::u16string javaOptions;
  std::u16string arguments;  // the program's own, before the external arguments
  std::uint32_t width = 0, height = 0;  // a game's screen; 0: the game's own

  bool IsDefault() const { return *this == FileOptions{}; }
  friend bool operator==(const FileOptions&, const FileOptions&) = default;
};

// The key's name: the 64-bit FNV-1a hash of the full path, upper-cased as names are compared, each UTF-16 unit
// hashed as two bytes, low byte first; 16 lowercase hex digits.
std::u16string FileOptionsKeyName(std::u16string_view fullPath);

// The options kept for the file at `fullPath`; nullopt when none are (no key, a key of another path, or one past
// the first 4096). A value out of range or of another type counts as missing.
std::optional<FileOptions> ReadFileOptions(Registry& registry, const std::u16string& fullPath);

// The options of a file as it was opened (its full path's), or the defaults when it has none.
FileOptions OptionsOfFile(Registry& registry, Files& files, const std::u16string& path);

// What "%*" stands for: the file's own arguments, then those of this launch.
std::u16string ArgumentsOfLaunch(const FileOptions& options, const std::u16string& externalArguments);

// What a Java runtime gets before the template's arguments: "-Xmx<N>m", then the Java options as written.
std::u16string JavaOptionsOf(const FileOptions& options);

enum class OptionsWrite { Written, TooManyFiles, Refused };
// Keeps the options for the file, or forgets them when they are all the defaults. Nothing is written when the
// file would be the 4097th with options.
OptionsWrite WriteFileOptions(Registry& registry, const std::u16string& fullPath, const FileOptions& options);

// Removes the file's key; true when none is left.
bool ForgetFileOptions(Registry& registry, const std::u16string& fullPath);

}  // namespace tc
