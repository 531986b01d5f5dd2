// What the detectors ask of the file system, the environment and the Uninstall entries.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Registry.h"

namespace tc {

// A folder counts as existing too.
bool FileExists(Files& files, const std::u16string& path);
std::u16string FullPath(Files& files, const std::u16string& path);
// Names of the folder's sub-folders (hidden and system ones included), in the file system's order.
std::vector<std::u16string> ListSubfolders(Files& files, const std::u16string& folder);
// Names of the files in the folder that match the wildcard pattern.
std::vector<std::u16string> ListFiles(Files& files, const std::u16string& folder, const std::u16string& pattern);
// Whether two paths name one file or folder: by identity where both have one, else by their full paths.
bool SameFile(Files& files, const std::u16string& a, const std::u16string& b);

// Walks folders by identity, so that one linked under several names (Wine's profile folders, junctions) is
// visited once.
class FolderWalk {
 public:
  // Called with each folder the first time it is reached and its depth below the root it was reached from;
  // false ends the walk.
  using Visit = std::function<bool(const std::u16string& folder, int depth)>;
  FolderWalk(Files& files, Visit visit) : files_(files), visit_(std::move(visit)) {}
  // The folder and its subfolders down to `levels` below it, in the file system's order; false once ended.
  bool Walk(const std::u16string& folder, int levels) { return Step(folder, levels, 0); }

 private:
  bool Step(const std::u16string& folder, int levels, int depth);

  Files& files_;
  Visit visit_;
  // The most levels walked below each folder: its identity, or its folded path where it has none.
  std::map<std::variant<FileIdentity, std::u16string>, int> walked_;
};

// %NAME% references replaced within a buffer of 4096 characters; the text unchanged when the result won't fit.
std::u16string ExpandEnvironment(Environment& environment, const std::u16string& text);
// A defined variable's value; "" for one that is not defined.
std::u16string EnvironmentVariable(Environment& environment, const std::u16string& name);
// Where programs are installed, those of %ProgramFiles%, %ProgramFiles(x86)% and %LOCALAPPDATA%\Programs that the
// environment defines, in that order.
std::vector<std::u16string> ProgramFolders(Environment& environment);
// A value of an entry under HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall", or "".
std::u16string ReadUninstallValue(Registry& registry, const std::u16string& entry, const std::u16string& name,
                                  RegistryView view = RegistryView::Default);
// Exact and case-sensitive; a text shorter than the prefix never starts with it.
bool StartsWith(std::u16string_view text, std::u16string_view prefix);

extern const char16_t kUninstallPath[];

}  // namespace tc
