// The program's registration with Windows and the file-association command: one list of what is written, used
// both to register (the command, and the installer through the command line) and to unregister.
#include "ui/FileAssociations.h"

#include <vector>

#include "base/Text.h"
#include "catalogue/RegistryKey.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

constexpr char16_t kClasses[] = u"Software\\Classes\\";
constexpr char16_t kProgramName[] = u"Tessaly Corvalo";
constexpr char16_t kCapabilities[] = u"Software\\Tessaly\\Corvalo\\Capabilities";
constexpr char16_t kUserChoices[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr char16_t kDefaultAppsPage[] = u"ms-settings:defaultapps?registeredAppUser=Tessaly%20Corvalo";

struct FileType {
  const char16_t* extension;
  const char16_t* progId;
  const char16_t* description;
};

constexpr FileType kFileTypes[] = {
    {u".jad", u"Tessaly-Corvalo.jad", u"Java Application Descriptor"},
    {u".jar", u"Tessaly-Corvalo.jar", u"Java Archive"},
};

// One value under HKEY_CURRENT_USER. A key of the program's own is deleted whole on unregistering; in a key
// that other programs share only this value goes, and a string only while it still holds what was written.
struct Entry {
  std::u16string key;
  std::u16string name;  // empty: the key's default value
  std::u16string text;
  RegistryType type;  // String, or None for an empty marker
  bool ownKey;
};

// The file types' default values: they make the program the handler, which only the user asks for.
std::vector<Entry> DefaultEntries() {
  std::vector<Entry> entries;
  for (const FileType& type : kFileTypes) {
    entries.push_back({kClasses + std::u16string(type.extension), u"", type.progId, RegistryType::String, false});
  }
  return entries;
}

std::vector<Entry> ProgramEntries(const std::u16string& program) {
  const std::u16string command = u"\"" + program + u"\" \"%1\"";
  const std::u16string application = kClasses + std::u16string(u"Applications\\TessalyCorvalo.exe");
  const std::u16string capabilities = kCapabilities;
  std::vector<Entry> entries;
  for (const FileType& type : kFileTypes) {
    const std::u16string progId = kClasses + std::u16string(type.progId);
    entries.push_back({progId, u"", type.description, RegistryType::String, true});
    entries.push_back({progId + u"\\DefaultIcon", u"", program + u",0", RegistryType::String, true});
    entries.push_back({progId + u"\\shell\\open\\command", u"", command, RegistryType::String, true});
    // Windows' way of offering a program in "Open with" without taking the type from another one.
    entries.push_back({kClasses + std::u16string(type.extension) + u"\\OpenWithProgids", type.progId, u"",
                       RegistryType::None, false});
  }
  entries.push_back({application, u"FriendlyAppName", kProgramName, RegistryType::String, true});
  entries.push_back({application + u"\\shell\\open\\command", u"", command, RegistryType::String, true});
  for (const FileType& type : kFileTypes) {
    entries.push_back({application + u"\\SupportedTypes", type.extension, u"", RegistryType::String, true});
  }
  entries.push_back({capabilities, u"ApplicationName", kProgramName, RegistryType::String, true});
  entries.push_back({capabilities, u"ApplicationDescription",
                     u"Starts Java programs and MIDlet suites with the Java runtime or emulator you choose.",
                     RegistryType::String, true});
  entries.push_back({capabilities, u"ApplicationIcon", u"\"" + program + u"\",0", RegistryType::String, true});
  for (const FileType& type : kFileTypes) {
    entries.push_back({capabilities + u"\\FileAssociations", type.extension, type.progId, RegistryType::String, true});
  }
  entries.push_back({u"Software\\RegisteredApplications", kProgramName, capabilities, RegistryType::String, false});
  entries.push_back({u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TessalyCorvalo.exe", u"", program,
                     RegistryType::String, true});
  return entries;
}

// A key that can't be opened or created is skipped; the next one is still written.
bool Write(Registry& registry, const std::vector<Entry>& entries) {
  bool complete = true;
  for (const Entry& entry : entries) {
    RegistryKey key(registry, RegistryRoot::CurrentUser, entry.key);
    if (!key.OpenOrCreate()) {
      complete = false;
      continue;
    }
    if (entry.type == RegistryType::None) {
      key.WriteNone(entry.name);
    } else {
      key.WriteString(entry.name, entry.text);
    }
  }
  return complete;
}

bool WriteRegistration(Registry& registry, const std::u16string& program, bool makeDefault) {
  const bool complete = !makeDefault || Write(registry, DefaultEntries());
  // Without the program's path there is no command to write; one naming no program would be worse.
  if (program.empty()) return false;
  return Write(registry, ProgramEntries(program)) && complete;
}

std::u16string ParentKey(const std::u16string& path) {
  const size_t last = path.rfind(u'\\');
  return last == std::u16string::npos ? std::u16string() : path.substr(0, last);
}

// Keys the registration created and left empty go, up to the first that holds something; never a top-level key.
void DeleteEmptyKeys(Registry& registry, std::u16string path) {
  while (path.find(u'\\') != std::u16string::npos && DeleteIfEmpty(registry, RegistryRoot::CurrentUser, path)) {
    path = ParentKey(path);
  }
}

// Windows follows the user's own choice of program over any default value, and only Settings can change it.
bool AnotherProgramIsChosen(Registry& registry) {
  for (const FileType& type : kFileTypes) {
    const std::u16string chosen = ReadStringAt(registry, RegistryRoot::CurrentUser,
                                               kUserChoices + std::u16string(type.extension) + u"\\UserChoice",
                                               u"ProgId");
    if (!chosen.empty() && !EqualsIgnoreCase(chosen, type.progId)) return true;
  }
  return false;
}

}  // namespace

bool RegisterProgram(Platform& platform) {
  const bool complete = WriteRegistration(platform.registry, platform.shell.ProgramPath(), false);
  platform.shell.NotifyAssociationsChanged();
  return complete;
}

void UnregisterProgram(Platform& platform) {
  Registry& registry = platform.registry;
  std::vector<Entry> entries = DefaultEntries();
  for (Entry& entry : ProgramEntries(u"")) entries.push_back(std::move(entry));
  for (const Entry& entry : entries) {
    if (entry.ownKey) {
      DeleteTree(registry, RegistryRoot::CurrentUser, entry.key);
    } else if (entry.type == RegistryType::None ||
               EqualsIgnoreCase(ReadStringAt(registry, RegistryRoot::CurrentUser, entry.key, entry.name), entry.text)) {
      DeleteValue(registry, RegistryRoot::CurrentUser, entry.key, entry.name);
    }
  }
  for (const Entry& entry : entries) DeleteEmptyKeys(registry, entry.ownKey ? ParentKey(entry.key) : entry.key);
  platform.shell.NotifyAssociationsChanged();
}

void AssociateFileTypes(Context& context, WindowId owner) {
  if (!AskConfirmation(context.platform.ui, owner,
                       u"Would you like to associate JAR and JAD files with Tessaly Corvalo?")) {
    return;
  }
  Platform& platform = context.platform;
  WriteRegistration(platform.registry, platform.shell.ProgramPath(), true);
  platform.shell.NotifyAssociationsChanged();
  if (AnotherProgramIsChosen(platform.registry)) {
    ShowInformation(platform.ui, owner,
                    u"Windows still opens JAR or JAD files with another program. In the Settings page that opens now, "
                    u"choose Tessaly Corvalo for .jar and .jad.");
    platform.shell.Open(kDefaultAppsPage);
  }
}

}  // namespace tc
