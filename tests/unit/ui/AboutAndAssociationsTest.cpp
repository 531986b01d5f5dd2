// The About box and the file-association command.
#include "app/CommandLine.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/ui/DialogMachine.h"

namespace tc {
namespace {

class AboutBoxTest : public DialogMachine {};

TEST_F(AboutBoxTest, ShowsTheVersionAndOpensTheWebSiteWhileStayingOpen) {
  machine.ui.OnDialog(u"About", [&](ScriptedDialog& d) {
    EXPECT_EQ(d.Text(IDC_ABOUT_VERSION), std::u16string(u"Tessaly Corvalo v") + TC_VERSION_TEXT);
    EXPECT_EQ(d.Text(IDL_WEB_SITE), TC_WEB_SITE);
    EXPECT_EQ(d.FocusedControl(), kIdOk);  // Enter closes the box
    d.Click(IDL_WEB_SITE);
    EXPECT_FALSE(d.HasEnded());
    d.PressEnter();
    EXPECT_EQ(d.EndCode(), kIdOk);
  });
  machine.ui.OnDialog(u"About", [](ScriptedDialog& d) { d.Close(); });
  RunAboutBox(machine.context, 0x42);
  RunAboutBox(machine.context, kNoWindow);
  EXPECT_EQ(machine.shell.opened, std::vector<std::u16string>{TC_WEB_SITE});
  EXPECT_EQ(machine.ui.dialogOwners, (std::vector<WindowId>{0x42, kNoWindow}));
  ExpectScriptFollowed();
}

class FileAssociationsTest : public DialogMachine {
 protected:
  static constexpr char16_t kQuestion[] = u"Would you like to associate JAR and JAD files with Tessaly Corvalo?";
  static constexpr char16_t kCapabilities[] = u"Software\\Tessaly\\Corvalo\\Capabilities";

  std::optional<std::u16string> Default(const std::u16string& key) {
    return StoredString(u"Software\\Classes\\" + key, u"");
  }
  void ExpectAssociated() {
    EXPECT_EQ(Default(u".jar"), u"Tessaly-Corvalo.jar");
    EXPECT_EQ(Default(u".jad"), u"Tessaly-Corvalo.jad");
    ExpectRegistered();
  }
  // The links Windows follows from a file type to the program; the e2e scenarios read back every value.
  void ExpectRegistered() {
    const std::u16string program = machine.shell.programPath;
    for (const std::u16string type : {u".jar", u".jad"}) {
      const std::u16string progId = u"Tessaly-Corvalo" + type;
      EXPECT_TRUE(Default(progId).has_value() && !Default(progId)->empty()) << ToUtf8(progId);
      EXPECT_EQ(Default(progId + u"\\DefaultIcon"), program + u",0");
      // "Open" first, the files dropped onto it after; then the verbs of the context menu.
      EXPECT_EQ(Default(progId + u"\\shell"), u"open");
      EXPECT_EQ(Default(progId + u"\\shell\\open\\command"), u"\"" + program + u"\" \"%1\" %*");
      EXPECT_EQ(Default(progId + u"\\shellex\\DropHandler"), u"{86C86720-42A0-1069-A2E8-08002B30309D}");
      const std::pair<std::u16string, std::u16string> verbs[] = {
          {u"select", u"Open with a &Starter...|/select \"%1\" %*"},
          {u"options", u"Start &Options...|/options \"%1\""},
          {u"console", type == u".jar" ? u"Open in a &Console|/console \"%1\" %*" : u"|"}};
      for (const auto& [verb, expected] : verbs) {
        const std::u16string key = progId + u"\\shell\\" + verb;
        const std::u16string name = Default(key).value_or(u""), command = Default(key + u"\\command").value_or(u"");
        EXPECT_EQ(name + u"|" + (command.empty() ? u"" : command.substr(program.size() + 3)), expected);
      }
      const auto marker =
          StoredValue(RegistryRoot::CurrentUser, u"Software\\Classes\\" + type + u"\\OpenWithProgids", progId);
      ASSERT_TRUE(marker.has_value()) << ToUtf8(type);
      EXPECT_EQ(marker->type, RegistryType::None);
      EXPECT_TRUE(marker->data.empty());
      EXPECT_EQ(StoredString(kCapabilities + std::u16string(u"\\FileAssociations"), type), progId);
    }
    EXPECT_EQ(StoredString(u"Software\\RegisteredApplications", u"Tessaly Corvalo"), kCapabilities);
    EXPECT_EQ(Default(u"Applications\\TessalyCorvalo.exe\\shell\\open\\command"), u"\"" + program + u"\" \"%1\"");
  }
  void Write(const std::u16string& path, const std::u16string& name, const std::u16string& text) {
    RegistryKey(machine.registry, RegistryRoot::CurrentUser, path).WriteString(name, text);
  }
  std::vector<std::u16string> Subkeys(const std::u16string& path) {
    return ListSubkeys(machine.registry, RegistryRoot::CurrentUser, path);
  }
};

TEST_F(FileAssociationsTest, NoWritesNothingAndTellsTheShellNothing) {
  machine.ui.AnswerMessage(kIdNo);
  AssociateFileTypes(machine.context, 0x42);
  ASSERT_EQ(machine.ui.messages.size(), 1u);
  const auto& question = machine.ui.messages[0];
  EXPECT_EQ(question.text, kQuestion);
  EXPECT_EQ(question.caption, u"Confirmation");
  EXPECT_EQ(question.icon, MessageIcon::Question);
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.owner, WindowId{0x42});
  EXPECT_FALSE(machine.registry.Open(RegistryRoot::CurrentUser, u"Software\\Classes", kKeyRead,
                                     RegistryView::Default));
  EXPECT_EQ(machine.shell.associationNotices, 0);
  ExpectScriptFollowed();
}

TEST_F(FileAssociationsTest, YesPointsBothTypesAtProgIdsThatOpenTheRunningProgram) {
  machine.shell.programPath = u"D:\\Tools\\Tessaly Corvalo\\TessalyCorvalo.exe";
  machine.ui.AnswerMessage(kIdYes);
  AssociateFileTypes(machine.context, 0x42);
  ExpectAssociated();
  EXPECT_EQ(Default(u"Tessaly-Corvalo.jar\\shell\\open\\command"),
            u"\"D:\\Tools\\Tessaly Corvalo\\TessalyCorvalo.exe\" \"%1\" %*");
  EXPECT_EQ(machine.shell.associationNotices, 1);
  ExpectScriptFollowed();
}

TEST_F(FileAssociationsTest, AnotherProgramsAssociationIsOverwrittenAndARepeatChangesNothing) {
  {
    RegistryKey jar(machine.registry, RegistryRoot::CurrentUser, u"Software\\Classes\\.jar");
    jar.OpenOrCreate();
    jar.WriteString(u"", u"jarfile");
    jar.WriteString(u"Content Type", u"application/java-archive");
  }
  machine.ui.AnswerMessage(kIdYes);
  machine.ui.AnswerMessage(kIdYes);
  AssociateFileTypes(machine.context, kNoWindow);
  AssociateFileTypes(machine.context, kNoWindow);
  ExpectAssociated();
  // Other values of the extension key are left alone.
  EXPECT_EQ(StoredString(u"Software\\Classes\\.jar", u"Content Type"), u"application/java-archive");
  EXPECT_EQ(ListSubkeys(machine.registry, RegistryRoot::CurrentUser, u"Software\\Classes"),
            (std::vector<std::u16string>{u".jad", u".jar", u"Applications", u"Tessaly-Corvalo.jad",
                                         u"Tessaly-Corvalo.jar"}));
  EXPECT_EQ(machine.shell.associationNotices, 2);
  EXPECT_EQ(machine.ui.messages.size(), 2u);  // one question each time, nothing more
  ExpectScriptFollowed();
}

TEST_F(FileAssociationsTest, WithoutTheProgramsPathNoCommandIsWritten) {
  machine.shell.programPath = u"";
  machine.ui.AnswerMessage(kIdYes);
  AssociateFileTypes(machine.context, kNoWindow);
  EXPECT_EQ(Default(u".jar"), u"Tessaly-Corvalo.jar");
  EXPECT_FALSE(Default(u"Tessaly-Corvalo.jar\\shell\\open\\command").has_value());
  EXPECT_EQ(machine.shell.associationNotices, 1);
  ExpectScriptFollowed();
}

// Windows ignores the default values once the user has picked a program for the type, so the user is led to
// the one page where the choice can be changed.
TEST_F(FileAssociationsTest, AnotherProgramChosenByTheUserLeadsToDefaultApps) {
  const std::u16string choices = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
  struct Case {
    const char16_t* jarChoice;  // nullptr: no UserChoice key
    const char16_t* jadChoice;
    bool led;
    const char16_t* jarLatest = nullptr;  // Windows 11 25H2's UserChoiceLatest, which UserChoice no longer follows
  };
  const Case cases[] = {
      {nullptr, nullptr, false},
      {u"jarfile", nullptr, true},
      {u"Tessaly-Corvalo.jar", u"OtherEmulator.jad", true},
      {u"Tessaly-Corvalo.jar", u"TESSALY-CORVALO.JAD", false},
      {u"", nullptr, false},  // a choice that names nothing
      {u"Tessaly-Corvalo.jar", nullptr, true, u"jarfile"},
      {u"jarfile", nullptr, false, u"Tessaly-Corvalo.jar"},
      {u"jarfile", nullptr, true, u""},
      // "Open with" records the program itself rather than a ProgID.
      {nullptr, u"Applications\\TessalyCorvalo.exe", false, u"applications\\tessalycorvalo.exe"},
      {nullptr, nullptr, true, u"Applications\\Other.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.jarChoice ? c.jarChoice : u"-") + " " + ToUtf8(c.jadChoice ? c.jadChoice : u"-") + " " +
                 ToUtf8(c.jarLatest ? c.jarLatest : u"-"));
    DeleteTree(machine.registry, RegistryRoot::CurrentUser, u"Software");
    machine.ui.messages.clear();
    machine.shell.opened.clear();
    if (c.jarChoice) Write(choices + u".jar\\UserChoice", u"ProgId", c.jarChoice);
    if (c.jadChoice) Write(choices + u".jad\\UserChoice", u"ProgId", c.jadChoice);
    if (c.jarLatest) Write(choices + u".jar\\UserChoiceLatest", u"ProgId", c.jarLatest);
    machine.ui.AnswerMessage(kIdYes);
    AssociateFileTypes(machine.context, 0x42);
    ExpectAssociated();
    ASSERT_EQ(machine.ui.messages.size(), c.led ? 2u : 1u);
    if (c.led) {
      const auto& note = machine.ui.messages[1];
      EXPECT_EQ(note.text, u"Windows still opens JAR or JAD files with another program. In the Settings page that "
                           u"opens now, choose Tessaly Corvalo for .jar and .jad.");
      EXPECT_EQ(note.caption, u"Information");
      EXPECT_EQ(note.icon, MessageIcon::Information);
      EXPECT_EQ(note.buttons, MessageButtons::Ok);
      EXPECT_EQ(note.owner, WindowId{0x42});
      EXPECT_EQ(machine.shell.opened,
                std::vector<std::u16string>{u"ms-settings:defaultapps?registeredAppUser=Tessaly%20Corvalo"});
    } else {
      EXPECT_TRUE(machine.shell.opened.empty());
    }
    // The user's own choice is never touched.
    if (c.jarChoice) {
      EXPECT_EQ(StoredString(choices + u".jar\\UserChoice", u"ProgId"), c.jarChoice);
    }
  }
  ExpectScriptFollowed();
}

TEST_F(FileAssociationsTest, TheInstallersRegistrationOffersTheProgramWithoutTakingTheTypes) {
  Write(u"Software\\Classes\\.jar", u"", u"jarfile");
  EXPECT_EQ(RunCommandLine(machine.context, u"/register"), 0);
  ExpectRegistered();
  EXPECT_EQ(Default(u".jar"), u"jarfile");
  EXPECT_FALSE(Default(u".jad").has_value());
  EXPECT_EQ(machine.shell.associationNotices, 1);
  EXPECT_TRUE(machine.ui.messages.empty());

  machine.shell.programPath = u"";
  EXPECT_EQ(RunCommandLine(machine.context, u"/register"), 1);
}

// Every key below the path with its number of values.
std::vector<std::u16string> Shape(Registry& registry, RegistryRoot root, const std::u16string& path) {
  const auto handle = registry.Open(root, path, kKeyRead, RegistryView::Default);
  if (!handle) return {};
  std::vector<std::u16string> shape{path + u" " + ToDecimal(registry.QueryInfo(*handle)->valueCount)};
  registry.Close(*handle);
  for (const std::u16string& name : ListSubkeys(registry, root, path)) {
    for (std::u16string& below : Shape(registry, root, path + u"\\" + name)) shape.push_back(std::move(below));
  }
  return shape;
}

// Everyone's registration is the installer's per-user one under HKEY_LOCAL_MACHINE, key for key (the e2e scenario
// reads every value back); each goes with its own command and leaves the other alone.
TEST_F(FileAssociationsTest, TheMachineRegistrationIsTheUsersUnderTheMachinesRoot) {
  HostMachine user;
  EXPECT_EQ(RunCommandLine(user.context, u"/register"), 0);
  EXPECT_EQ(RunCommandLine(machine.context, u"/register /machine"), 0);
  EXPECT_EQ(Shape(machine.registry, RegistryRoot::LocalMachine, u"Software"),
            Shape(user.registry, RegistryRoot::CurrentUser, u"Software"));
  EXPECT_TRUE(Shape(machine.registry, RegistryRoot::CurrentUser, u"Software").empty());

  EXPECT_EQ(RunCommandLine(machine.context, u"/register"), 0);
  EXPECT_EQ(RunCommandLine(machine.context, u"/unregister /machine"), 0);
  const std::vector<std::u16string> nothing{u"Software 0"};  // a top-level key stays
  EXPECT_EQ(Shape(machine.registry, RegistryRoot::LocalMachine, u"Software"), nothing);
  ExpectRegistered();
}

// A key that refuses changes, as HKEY_LOCAL_MACHINE does to a user who is not elevated, fails the command; the
// entries after it are still written or removed (App Paths comes last).
TEST_F(FileAssociationsTest, ARefusedWriteOrDeleteFailsTheCommand) {
  const std::u16string appPaths = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TessalyCorvalo.exe";
  const struct {
    const char16_t* commandLine;
    const char16_t* readOnly;  // under the command's root; empty: all of it
  } cases[] = {
      {u"/register", u"Software\\RegisteredApplications"},
      {u"/register /machine", u""},
      {u"/unregister", u"Software\\Classes\\Tessaly-Corvalo.jar\\DefaultIcon"},
      {u"/unregister /machine", u"Software\\Classes\\.jad\\OpenWithProgids"},
  };
  for (const auto& c : cases) {
    const std::u16string command = c.commandLine;
    SCOPED_TRACE(ToUtf8(command));
    const bool machineWide = command.ends_with(u"/machine");
    const RegistryRoot root = machineWide ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
    HostMachine m;
    RunCommandLine(m.context, machineWide ? u"/register /machine" : u"/register");
    if (command.starts_with(u"/register")) DeleteTree(m.registry, root, appPaths);
    m.registry.MakeReadOnly(root, c.readOnly);
    EXPECT_EQ(RunCommandLine(m.context, command), 1);
    EXPECT_EQ(RegistryKey(m.registry, root, appPaths).Open(), command.starts_with(u"/register") && *c.readOnly);
  }
}

TEST_F(FileAssociationsTest, UnregisteringRemovesOnlyWhatIsStillOurs) {
  Write(u"Software\\Classes\\.jar\\OpenWithProgids", u"jarfile", u"");
  Write(u"Software\\RegisteredApplications", u"Other", u"Software\\Other\\Capabilities");
  Store(StarterKind::J2se, 1, u"Java");
  machine.ui.AnswerMessage(kIdYes);
  AssociateFileTypes(machine.context, kNoWindow);
  Write(u"Software\\Classes\\.jar", u"", u"jarfile");  // another program took .jar since

  for (int run = 0; run < 2; ++run) {
    EXPECT_EQ(RunCommandLine(machine.context, u"/unregister"), 0);
    EXPECT_EQ(Subkeys(u"Software\\Classes"), std::vector<std::u16string>{u".jar"});
    EXPECT_EQ(Default(u".jar"), u"jarfile");
    EXPECT_EQ(Subkeys(u"Software\\Classes\\.jar"), std::vector<std::u16string>{u"OpenWithProgids"});
    EXPECT_FALSE(StoredValue(RegistryRoot::CurrentUser, u"Software\\Classes\\.jar\\OpenWithProgids",
                             u"Tessaly-Corvalo.jar"));
    EXPECT_TRUE(StoredValue(RegistryRoot::CurrentUser, u"Software\\Classes\\.jar\\OpenWithProgids", u"jarfile"));
    EXPECT_FALSE(StoredString(u"Software\\RegisteredApplications", u"Tessaly Corvalo"));
    EXPECT_TRUE(StoredString(u"Software\\RegisteredApplications", u"Other"));
    EXPECT_EQ(Subkeys(u"Software\\Tessaly\\Corvalo"), std::vector<std::u16string>{u"setup1"});
    EXPECT_TRUE(Subkeys(u"Software\\Microsoft\\Windows\\CurrentVersion").empty());
  }
  EXPECT_EQ(machine.shell.associationNotices, 3);
  ExpectScriptFollowed();
}

}  // namespace
}  // namespace tc
