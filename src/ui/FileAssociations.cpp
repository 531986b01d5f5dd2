// The file-association command: the user's .jar and .jad files open with this program.
#include "catalogue/RegistryKey.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

namespace {

constexpr char16_t kClasses[] = u"Software\\Classes\\";

struct FileType {
  const char16_t* extension;
  const char16_t* progId;
  const char16_t* description;
};

constexpr FileType kFileTypes[] = {
    {u".jad", u"Tessaly-Corvalo.jad", u"Java Application Descriptor"},
    {u".jar", u"Tessaly-Corvalo.jar", u"Java Archive"},
};

// A key that can't be opened or created is skipped; the next one is still written.
void WriteDefaultValue(Registry& registry, const std::u16string& path, const std::u16string& value) {
  RegistryKey key(registry, RegistryRoot::CurrentUser, kClasses + path);
  if (key.OpenOrCreate()) key.WriteString(u"", value);
}

// The file type names its ProgID, and only the ProgID's open command makes a double-click reach the program.
void WriteProgId(Registry& registry, const FileType& type, const std::u16string& program) {
  const std::u16string progId = type.progId;
  WriteDefaultValue(registry, progId, type.description);
  WriteDefaultValue(registry, progId + u"\\DefaultIcon", program + u",0");
  WriteDefaultValue(registry, progId + u"\\shell\\open\\command", u"\"" + program + u"\" \"%1\"");
}

}  // namespace

void AssociateFileTypes(Context& context, WindowId owner) {
  if (!AskConfirmation(context.platform.ui, owner,
                       u"Would you like to associate JAR and JAD files with Tessaly Corvalo?")) {
    return;
  }
  Registry& registry = context.platform.registry;
  const std::u16string program = context.platform.shell.ProgramPath();
  for (const FileType& type : kFileTypes) {
    // Without the program's path there is no command to write; one naming no program would be worse.
    if (!program.empty()) WriteProgId(registry, type, program);
    WriteDefaultValue(registry, type.extension, type.progId);
  }
  context.platform.shell.NotifyAssociationsChanged();
}

}  // namespace tc
