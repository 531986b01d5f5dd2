// What the SDK detectors ask of the file system and of the Uninstall entries.
#include "detect/FolderSearch.h"

#include "base/Path.h"
#include "catalogue/RegistryKey.h"

namespace tc {

namespace {

constexpr std::uint32_t kEnvironmentBuffer = 4096;

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

std::u16string ExpandEnvironment(Environment& environment, const std::u16string& text) {
  const std::u16string buffer = text.substr(0, kEnvironmentBuffer - 1);
  return environment.Expand(buffer, kEnvironmentBuffer).value_or(buffer);
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
