// The starter editors: the fields, the checks on OK, the file dialog and the argument presets.
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/ui/DialogMachine.h"

namespace tc {
namespace {

class StarterEditorTest : public DialogMachine {
 protected:
  int Edit(StarterKind kind = StarterKind::J2se) { return RunStarterEditor(machine.context, kind, 0x42, starter); }
  static const char16_t* Caption(StarterKind kind) { return kind == StarterKind::J2se ? u"J2SE Starter" : u"J2ME Starter"; }

  Starter starter{u"Java 8", u"C:\\jre8\\bin\\javaw.exe", u"-jar %1"};
};

TEST_F(StarterEditorTest, OpensOnTheStartersStringsWithTheFieldLimits) {
  for (StarterKind kind : {StarterKind::J2se, StarterKind::J2me}) {
    machine.ui.OnDialog(Caption(kind), [](ScriptedDialog& d) {
      EXPECT_EQ(d.Text(IDC_STARTER_NAME), u"Java 8");
      EXPECT_EQ(d.Text(IDC_STARTER_EXECUTABLE), u"C:\\jre8\\bin\\javaw.exe");
      EXPECT_EQ(d.Text(IDC_STARTER_ARGUMENTS), u"-jar %1");
      EXPECT_EQ(d.TextLimit(IDC_STARTER_NAME), 256u);
      EXPECT_EQ(d.TextLimit(IDC_STARTER_EXECUTABLE), 1024u);
      EXPECT_EQ(d.TextLimit(IDC_STARTER_ARGUMENTS), 1024u);
      d.Close();
    });
    EXPECT_EQ(Edit(kind), kIdCancel);
  }
  EXPECT_EQ(machine.ui.dialogOwners, (std::vector<WindowId>{0x42, 0x42}));
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, TheTwoKindsDifferInTheArgumentsLabel) {
  const std::pair<StarterKind, std::u16string> cases[] = {
      {StarterKind::J2se, u"Arguments (%1 - JAR file name, %U1 - its URL, %* - external arguments)"},
      {StarterKind::J2me,
       u"Arguments (%1 - JAD file name, %2 - JAR file name, %U2 - its URL, %W %H - the game's screen size, "
       u"%* - external arguments)"}};
  for (const auto& [kind, label] : cases) {
    machine.ui.OnDialog(Caption(kind), [label = label](ScriptedDialog& d) {
      bool found = false;
      for (const ControlTemplate& control : d.Template().controls) found = found || control.text == label;
      EXPECT_TRUE(found);
      d.Close();
    });
    Edit(kind);
  }
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, OkChecksTheNameFirstThenTheProgramAndStaysOpenOnAnError) {
  struct Case {
    std::u16string name;
    std::u16string executable;
    std::vector<std::u16string> messages;
  };
  const Case cases[] = {
      {u"", u"", {u"The \"Name\" field is empty."}},  // both empty: the name is named alone
      {u" \t ", u"C:\\x.exe", {u"The \"Name\" field is empty."}},
      {u"Name", u"   ", {u"The \"Executable File\" field is empty."}},
      {u"", u"C:\\x.exe", {u"The \"Name\" field is empty."}},
  };
  for (const Case& c : cases) {
    machine.ui.messages.clear();
    const Starter before = starter;
    machine.ui.OnDialog(u"J2SE Starter", [&](ScriptedDialog& d) {
      d.Type(IDC_STARTER_NAME, c.name);
      d.Type(IDC_STARTER_EXECUTABLE, c.executable);
      d.Click(kIdOk);
      EXPECT_FALSE(d.HasEnded());
      EXPECT_EQ(d.FocusedControl(), c.messages[0].find(u"Name") != std::u16string::npos ? IDC_STARTER_NAME
                                                                                        : IDC_STARTER_EXECUTABLE);
      d.Close();
    });
    EXPECT_EQ(Edit(), kIdCancel);
    EXPECT_EQ(MessageTexts(), c.messages);
    EXPECT_EQ(machine.ui.messages[0].caption, u"Error");
    EXPECT_EQ(machine.ui.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(starter.name, before.name);
  }
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, OkStoresTheTrimmedTextsAndNeedsNoRealProgram) {
  machine.ui.OnDialog(u"J2ME Starter", [](ScriptedDialog& d) {
    d.Type(IDC_STARTER_NAME, u"  Emulator \t");
    d.Type(IDC_STARTER_EXECUTABLE, u" C:\\nowhere\\emulator.exe ");
    d.Type(IDC_STARTER_ARGUMENTS, u"   ");
    d.PressEnter();
  });
  EXPECT_EQ(Edit(StarterKind::J2me), kIdOk);
  EXPECT_EQ(starter.name, u"Emulator");
  EXPECT_EQ(starter.executableFile, u"C:\\nowhere\\emulator.exe");
  EXPECT_EQ(starter.arguments, u"");
  EXPECT_TRUE(machine.ui.messages.empty());
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, CancelAfterTypingLeavesTheStarterAsItWas) {
  machine.ui.OnDialog(u"J2SE Starter", [](ScriptedDialog& d) {
    d.Type(IDC_STARTER_NAME, u"Other");
    d.Type(IDC_STARTER_ARGUMENTS, u"");
    d.Click(kIdCancel);
  });
  EXPECT_EQ(Edit(), kIdCancel);
  EXPECT_EQ(starter.name, u"Java 8");
  EXPECT_EQ(starter.arguments, u"-jar %1");
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, ThePresetMenuOffersTheKindsFragmentsAtTheButtonsCentre) {
  const std::pair<StarterKind, std::vector<std::u16string>> cases[] = {
      {StarterKind::J2se, {u" -jad %1", u" %*"}}, {StarterKind::J2me, {u" -Xdescriptor:%1", u" -Xdevice:?"}}};
  for (const auto& [kind, presets] : cases) {
    machine.ui.OnDialog(Caption(kind), [&, presets = presets](ScriptedDialog& d) {
      d.Click(IDB_STARTER_PRESETS);  // dismissed
      EXPECT_EQ(d.Text(IDC_STARTER_ARGUMENTS), u"-jar %1");
      ASSERT_EQ(d.menusShown.size(), 1u);
      EXPECT_EQ(d.menusShown[0], presets);
      const Rect button = d.ControlRect(IDB_STARTER_PRESETS);
      EXPECT_EQ(d.menuPositions[0].x, button.x + button.width / 2);
      EXPECT_EQ(d.menuPositions[0].y, button.y + button.height / 2);
      d.Close();
    });
    Edit(kind);
  }
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, APickedPresetIsAppendedAtTheEndAndALeadingBlankGoesOnOk) {
  struct Case {
    StarterKind kind;
    std::u16string arguments;
    int item;
    std::u16string shown;
    std::u16string stored;
  };
  const Case cases[] = {
      {StarterKind::J2se, u"-jar %1", 2, u"-jar %1 %*", u"-jar %1 %*"},
      {StarterKind::J2me, u"", 1, u" -Xdescriptor:%1", u"-Xdescriptor:%1"},
      {StarterKind::J2me, u"-Xdescriptor:%1", 2, u"-Xdescriptor:%1 -Xdevice:?", u"-Xdescriptor:%1 -Xdevice:?"},
      // The field's limit applies: only what fits is appended.
      {StarterKind::J2se, std::u16string(1020, u'a'), 1, std::u16string(1020, u'a') + u" -ja",
       std::u16string(1020, u'a') + u" -ja"},
  };
  for (const Case& c : cases) {
    starter.arguments = c.arguments;
    machine.ui.OnDialog(Caption(c.kind), [&](ScriptedDialog& d) {
      d.menuAnswers.push_back(c.item);
      d.Click(IDB_STARTER_PRESETS);  // the caret is at the start of the field, as after opening
      EXPECT_EQ(d.Text(IDC_STARTER_ARGUMENTS), c.shown);
      d.Click(kIdOk);
    });
    EXPECT_EQ(Edit(c.kind), kIdOk);
    EXPECT_EQ(starter.arguments, c.stored);
  }
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, TheFileDialogStartsFromTheFieldAndItsChoiceReplacesIt) {
  machine.ui.AnswerOpenFile(std::nullopt);
  machine.ui.AnswerOpenFile(u"C:\\jdk\\bin\\java.exe");
  machine.ui.OnDialog(u"J2SE Starter", [](ScriptedDialog& d) {
    d.Type(IDC_STARTER_EXECUTABLE, u"  C:\\jre8\\bin\\javaw.exe ");
    d.Click(IDB_STARTER_BROWSE);  // cancelled
    EXPECT_EQ(d.Text(IDC_STARTER_EXECUTABLE), u"  C:\\jre8\\bin\\javaw.exe ");
    d.Click(IDB_STARTER_BROWSE);
    EXPECT_EQ(d.Text(IDC_STARTER_EXECUTABLE), u"C:\\jdk\\bin\\java.exe");
    d.Click(kIdOk);
  });
  Edit();
  EXPECT_EQ(starter.executableFile, u"C:\\jdk\\bin\\java.exe");
  ASSERT_EQ(machine.ui.fileRequests.size(), 2u);
  const OpenFileRequest& request = machine.ui.fileRequests[0];
  EXPECT_EQ(request.owner, WindowId{0x100});
  EXPECT_EQ(request.title, u"Select an Executable File");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[0].name, u"Executable Files (*.exe;*.com;*.bat)");
  EXPECT_EQ(request.filters[0].pattern, u"*.exe;*.com;*.bat");
  EXPECT_EQ(request.filters[1].name, u"All Files");
  EXPECT_EQ(request.filters[1].pattern, u"*.*");
  EXPECT_EQ(request.initialName, u"C:\\jre8\\bin\\javaw.exe");
  EXPECT_EQ(request.bufferLength, 1024u);
  EXPECT_EQ(request.flags, 0x180Cu);  // hide read-only, keep the directory, path and file must exist
  ExpectScriptFollowed();
}

TEST_F(StarterEditorTest, APathTooLongForTheFileDialogIsNotOfferedCut) {
  const std::u16string fits = u"C:\\" + std::u16string(1020, u'x');  // 1023 characters and the terminator
  const std::u16string tooLong = fits + u"y";
  machine.ui.OnDialog(u"J2SE Starter", [&](ScriptedDialog& d) {
    d.Type(IDC_STARTER_EXECUTABLE, fits);
    d.Click(IDB_STARTER_BROWSE);
    d.Type(IDC_STARTER_EXECUTABLE, tooLong);
    d.Click(IDB_STARTER_BROWSE);
    d.Close();
  });
  Edit();
  ASSERT_EQ(machine.ui.fileRequests.size(), 2u);
  EXPECT_EQ(machine.ui.fileRequests[0].initialName, fits);
  EXPECT_EQ(machine.ui.fileRequests[1].initialName, u"");
  ExpectScriptFollowed();
}

}  // namespace
}  // namespace tc
