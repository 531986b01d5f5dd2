// The program's registration with Windows and the file-association command: one list of what is written, used
// both to register (the command, and the installer through the command line) and to unregister, under either root.
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
constexpr char16_t kApplication[] = u"Applications\\TessalyCorvalo.exe";
constexpr char16_t kUserChoices[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr char16_t kDefaultAppsPage[] = u"ms-settings:defaultapps?registeredAppUser=Tessaly%20Corvalo";

struct FileType {
  const char16_t* extension;
  const char16_t* progId;
  const char16_t* description;
  bool console;  // a desktop program may run in a console
};

constexpr FileType kFileTypes[] = {
    {u".jad", u"Tessaly-Corvalo.jad", u"Java Application Descriptor", false},
    {u".jar", u"Tessaly-Corvalo.jar", u"Java Archive", true},
};

// The verbs of Explorer's context menu beside "Open": the name it shows, and the command-line form it runs.
struct Verb {
  const char16_t* key;
  const char16_t* name;
  const char16_t* arguments;
  bool consoleOnly;
};

constexpr Verb kVerbs[] = {
    {u"console", u"Open in a &Console", u"/console \"%1\" %*", true},
    {u"select", u"Open with a &Starter...", u"/select \"%1\" %*", false},
    {u"options", u"Start &Options...", u"/options \"%1\"", false},
};

// Windows' drop target for programs: files dropped onto a JAR or JAD start it with their paths as "%*".
constexpr char16_t kProgramDropTarget[] = u"{86C86720-42A0-1069-A2E8-08002B30309D}";

// One value, by its path under the root. A key of the program's own is deleted whole on unregistering; in a key
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
  const std::u16string quoted = u"\"" + program + u"\" ";
  const std::u16string command = quoted + u"\"%1\"";
  const std::u16string application = kClasses + std::u16string(kApplication);
  const std::u16string capabilities = kCapabilities;
  std::vector<Entry> entries;
  for (const FileType& type : kFileTypes) {
    const std::u16string progId = kClasses + std::u16string(type.progId);
    entries.push_back({progId, u"", type.description, RegistryType::String, true});
    entries.push_back({progId + u"\\DefaultIcon", u"", program + u",0", RegistryType::String, true});
    // "Open" stays the verb of a double-click; the files dropped onto the file follow as "%*".
    entries.push_back({progId + u"\\shell", u"", u"open", RegistryType::String, true});
    entries.push_back({progId + u"\\shell\\open\\command", u"", command + u" %*", RegistryType::String, true});
    for (const Verb& verb : kVerbs) {
      if (verb.consoleOnly && !type.console) continue;
      const std::u16string key = progId + u"\\shell\\" + verb.key;
      entries.push_back({key, u"", verb.name, RegistryType::String, true});
      entries.push_back({key + u"\\command", u"", quoted + verb.arguments, RegistryType::String, true});
    }
    entries.push_back({progId + u"\\shellex\\DropHandler", u"", kProgramDropTarget, RegistryType::String, true});
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
  entries.push_back({capabilities, u"ApplicationDescription", TC_DESCRIPTION, RegistryType::String, true});
  entries.push_back({capabilities, u"ApplicationIcon", u"\"" + program + u"\",0", RegistryType::String, true});
  for (const FileType& type : kFileTypes) {
    entries.push_back({capabilities + u"\\FileAssociations", type.extension, type.progId, RegistryType::String, true});
  }
  entries.push_back({u"Software\\RegisteredApplications", kProgramName, capabilities, RegistryType::String, false});
  entries.push_back({u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TessalyCorvalo.exe", u"", program,
                     RegistryType::String, true});
  return entries;
}

// A key that can't be opened or created is skipped; the next one is still written. Returns the refused writes.
int Write(Registry& registry, RegistryRoot root, const std::vector<Entry>& entries) {
  int refused = 0;
  for (const Entry& entry : entries) {
    RegistryKey key(registry, root, entry.key);
    const bool written = entry.type == RegistryType::None ? key.WriteNone(entry.name)
                                                          : key.WriteString(entry.name, entry.text);
    refused += written ? 0 : 1;
  }
  return refused;
}

int WriteRegistration(Registry& registry, RegistryRoot root, const std::u16string& program, bool makeDefault) {
  const int refused = makeDefault ? Write(registry, root, DefaultEntries()) : 0;
  const std::vector<Entry> entries = ProgramEntries(program);
  // Without the program's path there is no command to write; one naming no program would be worse.
  if (program.empty()) return refused + static_cast<int>(entries.size());
  return refused + Write(registry, root, entries);
}

// A key or value that is gone already counts as removed; only one that stays is a refused delete.
int Remove(Registry& registry, RegistryRoot root, const Entry& entry) {
  if (entry.ownKey) {
    const long result = DeleteTree(registry, root, entry.key);
    return result == kRegistryOk || result == kRegistryFileNotFound ? 0 : 1;
  }
  if (entry.type == RegistryType::String &&
      !EqualsIgnoreCase(ReadStringAt(registry, root, entry.key, entry.name), entry.text)) {
    return 0;
  }
  if (DeleteValue(registry, root, entry.key, entry.name)) return 0;
  return RegistryKey(registry, root, entry.key).HasValue(entry.name) ? 1 : 0;
}

std::u16string ParentKey(const std::u16string& path) {
  const size_t last = path.rfind(u'\\');
  return last == std::u16string::npos ? std::u16string() : path.substr(0, last);
}

// Keys the registration created and left empty go, up to the first that holds something; never a top-level key.
// Not counted: an empty key left behind registers nothing.
void DeleteEmptyKeys(Registry& registry, RegistryRoot root, std::u16string path) {
  while (path.find(u'\\') != std::u16string::npos && DeleteIfEmpty(registry, root, path)) path = ParentKey(path);
}

// The user's own choice of program, which Windows follows over any default value and only Settings can change.
// Windows 11 25H2 writes it to UserChoiceLatest alone; earlier versions to UserChoice.
std::u16string ChosenProgId(Registry& registry, const FileType& type) {
  const std::u16string choices = kUserChoices + std::u16string(type.extension);
  const std::u16string latest = ReadStringAt(registry, RegistryRoot::CurrentUser, choices + u"\\UserChoiceLatest",
                                             u"ProgId");
  if (!latest.empty()) return latest;
  return ReadStringAt(registry, RegistryRoot::CurrentUser, choices + u"\\UserChoice", u"ProgId");
}

// Either ProgID, or the program itself as "Open with" records it.
bool IsOurs(const std::u16string& progId) {
  for (const FileType& type : kFileTypes) {
    if (EqualsIgnoreCase(progId, type.progId)) return true;
  }
  return EqualsIgnoreCase(progId, kApplication);
}

bool AnotherProgramIsChosen(Registry& registry) {
  for (const FileType& type : kFileTypes) {
    const std::u16string chosen = ChosenProgId(registry, type);
    if (!chosen.empty() && !IsOurs(chosen)) return true;
  }
  return false;
}

}  // namespace

int RegisterProgram(Platform& platform, RegistryRoot root) {
  const int refused = WriteRegistration(platform.registry, root, platform.shell.ProgramPath(), false);
  platform.shell.NotifyAssociationsChanged();
  return refused;
}

int UnregisterProgram(Platform& platform, RegistryRoot root) {
  Registry& registry = platform.registry;
  std::vector<Entry> entries = DefaultEntries();
  for (Entry& entry : ProgramEntries(u"")) entries.push_back(std::move(entry));
  int refused = 0;
  for (const Entry& entry : entries) refused += Remove(registry, root, entry);
  for (const Entry& entry : entries) DeleteEmptyKeys(registry, root, entry.ownKey ? ParentKey(entry.key) : entry.key);
  platform.shell.NotifyAssociationsChanged();
  return refused;
}

void AssociateFileTypes(Context& context, WindowId owner) {
  if (!AskConfirmation(context.platform.ui, owner,
                       u"Would you like to associate JAR and JAD files with Tessaly Corvalo?")) {
    return;
  }
  Platform& platform = context.platform;
  // The link keeps its texts; only the command line reports refused writes, by its exit code.
  WriteRegistration(platform.registry, RegistryRoot::CurrentUser, platform.shell.ProgramPath(), true);
  platform.shell.NotifyAssociationsChanged();
  if (AnotherProgramIsChosen(platform.registry)) {
    ShowInformation(platform.ui, owner,
                    u"Windows still opens JAR or JAD files with another program. In the Settings page that opens now, "
                    u"choose Tessaly Corvalo for .jar and .jad.");
    platform.shell.Open(kDefaultAppsPage);
  }
}

}  // namespace tc
