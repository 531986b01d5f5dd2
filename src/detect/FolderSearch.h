// What the SDK detectors ask of the file system and of the Uninstall entries.
#pragma once

#include <string>
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
// %NAME% references replaced within a buffer of 4096 characters; the text unchanged when the result won't fit.
std::u16string ExpandEnvironment(Environment& environment, const std::u16string& text);
// A value of an entry under HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall", or "".
std::u16string ReadUninstallValue(Registry& registry, const std::u16string& entry, const std::u16string& name,
                                  RegistryView view = RegistryView::Default);
// Exact and case-sensitive; a text shorter than the prefix never starts with it.
bool StartsWith(std::u16string_view text, std::u16string_view prefix);

extern const char16_t kUninstallPath[];

}  // namespace tc
