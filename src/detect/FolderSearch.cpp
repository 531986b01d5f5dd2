// What the detectors ask of the file system, the environment and the Uninstall entries.
#include "detect/FolderSearch.h"

#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/RegistryKey.h"

namespace tc {

namespace {

constexpr std::uint32_t kEnvironmentBuffer = 4096;
// The largest environment block Windows allows; no variable is longer.
constexpr std::uint32_t kVariableBuffer = 32767;

std::u16string Folded(std::u16string text) {
  for (char16_t& c : text) c = FoldCase(c);
  return text;
}

std::vector<std::u16string> ListEntries(Files& files, const std::u16string& folder, const std::u16string& pattern,
                                        bool folders) {
  std::vector<std::u16string> names;
  for (const FolderEntry& entry : files.Find(JoinPath(folder, pattern))) {
    const bool isFolder = (entry.attributes & attribute::kDirectory) != 0;
    if (isFolder != folders || entry.name == u"." || entry.name == u"..") continue;
    names.push_back(entry.name);
  }
  return names;
}

}  // namespace

const char16_t kUninstallPath[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool FileExists(Files& files, const std::u16string& path) { return files.Attributes(path).has_value(); }

std::u16string FullPath(Files& files, const std::u16string& path) { return files.FullPath(path).value_or(u""); }

std::vector<std::u16string> ListSubfolders(Files& files, const std::u16string& folder) {
  return ListEntries(files, folder, u"*.*", true);
}

std::vector<std::u16string> ListFiles(Files& files, const std::u16string& folder, const std::u16string& pattern) {
  return ListEntries(files, folder, pattern, false);
}

bool SameFile(Files& files, const std::u16string& a, const std::u16string& b) {
  const std::u16string full = FullPath(files, a);
  if (!full.empty() && EqualsIgnoreCase(full, FullPath(files, b))) return true;
  const std::optional<FileIdentity> identity = files.Identity(a);
  return identity && identity == files.Identity(b);
}

bool FolderWalk::Step(const std::u16string& folder, int levels, int depth) {
  const std::optional<FileIdentity> identity = files_.Identity(folder);
  const auto [walked, first] =
      walked_.try_emplace(identity ? decltype(walked_)::key_type(*identity) : Folded(folder), -1);
  if (first && !visit_(folder, depth)) return false;
  // A folder reached again is walked again only with more levels left below it: one that is a root of its own and
  // also lies inside another root is searched as deep as a root.
  if (walked->second >= levels) return true;
  walked->second = levels;
  if (levels == 0) return true;
  for (const std::u16string& name : ListSubfolders(files_, folder)) {
    if (!Step(JoinPath(folder, name), levels - 1, depth + 1)) return false;
  }
  return true;
}

std::u16string ExpandEnvironment(Environment& environment, const std::u16string& text) {
  const std::u16string buffer = text.substr(0, kEnvironmentBuffer - 1);
  return environment.Expand(buffer, kEnvironmentBuffer).value_or(buffer);
}

std::u16string EnvironmentVariable(Environment& environment, const std::u16string& name) {
  const std::u16string reference = u"%" + name + u"%";
  const auto value = environment.Expand(reference, kVariableBuffer);
  return value && *value != reference ? *value : std::u16string();
}

std::vector<std::u16string> ProgramFolders(Environment& environment) {
  std::vector<std::u16string> folders;
  for (const char16_t* name : {u"ProgramFiles", u"ProgramFiles(x86)"}) {
    if (std::u16string folder = EnvironmentVariable(environment, name); !folder.empty()) {
      folders.push_back(std::move(folder));
    }
  }
  const std::u16string local = EnvironmentVariable(environment, u"LOCALAPPDATA");
  if (!local.empty()) folders.push_back(JoinPath(local, u"Programs"));
  return folders;
}

std::u16string ReadUninstallValue(Registry& registry, const std::u16string& entry, const std::u16string& name,
                                  RegistryView view) {
  return ReadStringAt(registry, RegistryRoot::LocalMachine, std::u16string(kUninstallPath) + u"\\" + entry, name,
                      view);
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

}  // namespace tc
