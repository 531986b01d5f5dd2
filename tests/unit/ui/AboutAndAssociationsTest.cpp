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

  std::optional<std::u16string> Default(const std::u16string& key, RegistryRoot root = RegistryRoot::CurrentUser) {
    const auto value = StoredValue(root, u"Software\\Classes\\" + key, u"");
    if (!value || value->type != RegistryType::String) return std::nullopt;
    return ReadStringAt(machine.registry, root, u"Software\\Classes\\" + key, u"");
  }
  void ExpectAssociated() {
    EXPECT_EQ(Default(u".jar"), u"Tessaly-Corvalo.jar");
    EXPECT_EQ(Default(u".jad"), u"Tessaly-Corvalo.jad");
    ExpectRegistered();
  }
  // The links Windows follows from a file type to the program; the e2e scenarios read back every value.
  void ExpectRegistered(RegistryRoot root = RegistryRoot::CurrentUser) {
    const std::u16string program = machine.shell.programPath;
    const auto text = [&](const std::u16string& path, const std::u16string& name) {
      return ReadStringAt(machine.registry, root, path, name);
    };
    for (const std::u16string type : {u".jar", u".jad"}) {
      const std::u16string progId = u"Tessaly-Corvalo" + type;
      EXPECT_TRUE(Default(progId, root).has_value() && !Default(progId, root)->empty()) << ToUtf8(progId);
      EXPECT_EQ(Default(progId + u"\\DefaultIcon", root), program + u",0");
      EXPECT_EQ(Default(progId + u"\\shell\\open\\command", root), u"\"" + program + u"\" \"%1\"");
      const auto marker = StoredValue(root, u"Software\\Classes\\" + type + u"\\OpenWithProgids", progId);
      ASSERT_TRUE(marker.has_value()) << ToUtf8(type);
      EXPECT_EQ(marker->type, RegistryType::None);
      EXPECT_TRUE(marker->data.empty());
      EXPECT_EQ(text(kCapabilities + std::u16string(u"\\FileAssociations"), type), progId);
    }
    EXPECT_EQ(text(u"Software\\RegisteredApplications", u"Tessaly Corvalo"), kCapabilities);
    EXPECT_EQ(Default(u"Applications\\TessalyCorvalo.exe\\shell\\open\\command", root),
              u"\"" + program + u"\" \"%1\"");
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
            u"\"D:\\Tools\\Tessaly Corvalo\\TessalyCorvalo.exe\" \"%1\"");
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
  using Choices = std::vector<std::pair<std::u16string, std::u16string>>;  // key under FileExts, ProgId
  struct Case {
    Choices choices;
    bool led;
  };
  const Case cases[] = {
      {{}, false},
      {{{u".jar\\UserChoice", u"jarfile"}}, true},
      {{{u".jar\\UserChoice", u"Tessaly-Corvalo.jar"}, {u".jad\\UserChoice", u"OtherEmulator.jad"}}, true},
      {{{u".jar\\UserChoice", u"Tessaly-Corvalo.jar"}, {u".jad\\UserChoice", u"TESSALY-CORVALO.JAD"}}, false},
      {{{u".jar\\UserChoice", u""}}, false},  // a choice that names nothing
      // Windows 11 25H2 keeps the choice in UserChoiceLatest and leaves UserChoice as it was.
      {{{u".jar\\UserChoiceLatest", u"jarfile"}, {u".jar\\UserChoice", u"Tessaly-Corvalo.jar"}}, true},
      {{{u".jar\\UserChoiceLatest", u"Tessaly-Corvalo.jar"}, {u".jar\\UserChoice", u"jarfile"}}, false},
      {{{u".jad\\UserChoiceLatest", u""}, {u".jad\\UserChoice", u"OtherEmulator.jad"}}, true},
      // "Open with" records the program itself rather than a ProgID.
      {{{u".jar\\UserChoiceLatest", u"applications\\tessalycorvalo.exe"},
        {u".jad\\UserChoice", u"Applications\\TessalyCorvalo.exe"}},
       false},
      {{{u".jar\\UserChoiceLatest", u"Applications\\Other.exe"}}, true},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const auto& [key, progId] : c.choices) trace += ToUtf8(key + u"=" + progId) + " ";
    SCOPED_TRACE(trace);
    DeleteTree(machine.registry, RegistryRoot::CurrentUser, u"Software");
    machine.ui.messages.clear();
    machine.shell.opened.clear();
    for (const auto& [key, progId] : c.choices) Write(choices + key, u"ProgId", progId);
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
    for (const auto& [key, progId] : c.choices) EXPECT_EQ(StoredString(choices + key, u"ProgId"), progId);
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

// Everyone's registration is the installer's per-user one, value for value, under HKEY_LOCAL_MACHINE: the types'
// default values stay the organisation's choice there too. Each root's registration goes with its own command.
TEST_F(FileAssociationsTest, TheMachineRegistrationIsTheUsersUnderTheMachinesRoot) {
  EXPECT_EQ(RunCommandLine(machine.context, u"/register /machine"), 0);
  ExpectRegistered(RegistryRoot::LocalMachine);
  EXPECT_FALSE(Default(u".jar", RegistryRoot::LocalMachine).has_value());
  EXPECT_FALSE(Default(u".jad", RegistryRoot::LocalMachine).has_value());
  EXPECT_TRUE(Shape(machine.registry, RegistryRoot::CurrentUser, u"Software").empty());
  HostMachine user;
  user.shell.programPath = machine.shell.programPath;
  EXPECT_EQ(RunCommandLine(user.context, u"/register"), 0);
  EXPECT_EQ(Shape(machine.registry, RegistryRoot::LocalMachine, u"Software"),
            Shape(user.registry, RegistryRoot::CurrentUser, u"Software"));

  EXPECT_EQ(RunCommandLine(machine.context, u"/register"), 0);
  EXPECT_EQ(RunCommandLine(machine.context, u"/unregister /machine"), 0);
  const std::vector<std::u16string> nothing{u"Software 0"};  // a top-level key is never deleted
  EXPECT_EQ(Shape(machine.registry, RegistryRoot::LocalMachine, u"Software"), nothing);
  ExpectRegistered(RegistryRoot::CurrentUser);
  EXPECT_EQ(RunCommandLine(machine.context, u"/unregister"), 0);
  EXPECT_EQ(Shape(machine.registry, RegistryRoot::CurrentUser, u"Software"), nothing);
}

// A key that refuses writes, as HKEY_LOCAL_MACHINE does to a user who is not elevated, fails the command, and
// every entry after the refused one is still written or removed.
TEST_F(FileAssociationsTest, ARefusedWriteOrDeleteFailsTheCommand) {
  struct Case {
    const char16_t* commandLine;
    RegistryRoot root;
    const char16_t* readOnly;  // empty: the whole root
    bool appPathsLeft;         // the registration's last key
  };
  const Case cases[] = {
      {u"/register", RegistryRoot::CurrentUser, u"Software\\RegisteredApplications", true},
      {u"/register /machine", RegistryRoot::LocalMachine, u"", false},
      {u"/unregister", RegistryRoot::CurrentUser, u"Software\\Classes\\Tessaly-Corvalo.jar\\DefaultIcon", false},
      {u"/unregister", RegistryRoot::CurrentUser, u"Software\\Classes\\.jad\\OpenWithProgids", false},
      {u"/unregister /machine", RegistryRoot::LocalMachine, u"Software\\RegisteredApplications", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(std::u16string(c.commandLine) + u" " + c.readOnly));
    HostMachine m;
    const std::u16string suffix = c.root == RegistryRoot::LocalMachine ? u" /machine" : u"";
    if (std::u16string(c.commandLine).starts_with(u"/unregister")) {
      ASSERT_EQ(RunCommandLine(m.context, u"/register" + suffix), 0);
    } else if (*c.readOnly) {
      RegistryKey(m.registry, c.root, c.readOnly).OpenOrCreate();
    }
    m.registry.MakeReadOnly(c.root, c.readOnly);
    EXPECT_EQ(RunCommandLine(m.context, c.commandLine), 1);
    const std::u16string appPaths = u"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TessalyCorvalo.exe";
    EXPECT_EQ(RegistryKey(m.registry, c.root, appPaths).Open(), c.appPathsLeft);
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
