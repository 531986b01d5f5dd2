// The About box and the file-association command.
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

  std::optional<std::u16string> Default(const std::u16string& key) {
    return StoredString(u"Software\\Classes\\" + key, u"");
  }
  void ExpectAssociated() {
    const std::u16string program = machine.shell.programPath;
    EXPECT_EQ(Default(u".jar"), u"Tessaly-Corvalo.jar");
    EXPECT_EQ(Default(u".jad"), u"Tessaly-Corvalo.jad");
    for (const std::u16string progId : {u"Tessaly-Corvalo.jar", u"Tessaly-Corvalo.jad"}) {
      EXPECT_TRUE(Default(progId).has_value() && !Default(progId)->empty()) << ToUtf8(progId);
      EXPECT_EQ(Default(progId + u"\\DefaultIcon"), program + u",0");
      EXPECT_EQ(Default(progId + u"\\shell\\open\\command"), u"\"" + program + u"\" \"%1\"");
    }
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
            (std::vector<std::u16string>{u".jad", u".jar", u"Tessaly-Corvalo.jad", u"Tessaly-Corvalo.jar"}));
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

}  // namespace
}  // namespace tc
