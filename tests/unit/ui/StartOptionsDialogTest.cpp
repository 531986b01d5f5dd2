// The Start Options dialog: the kept values shown, the checks on OK, the limit of files, Forget, and the Java fields.
#include "catalogue/FileOptions.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/ui/DialogMachine.h"

namespace tc {
namespace {

using Texts = std::vector<std::u16string>;
const std::u16string kApp = u"C:\\Games\\app.jar";
const std::u16string kFiles = std::u16string(kSettingsPath) + u"\\Files";

class StartOptionsDialogTest : public DialogMachine {
 protected:
  void SetUp() override {
    Store(StarterKind::J2se, 1, u"Java");
    Store(StarterKind::J2se, 3, u"alpha", u"C:\\emu\\emulator.exe");
    Store(StarterKind::J2me, 2, u"Phone", u"C:\\emu\\emulator.exe");
  }
  int Open(StarterKind kind, ScriptedUi::Script script) {
    machine.ui.messages.clear();
    machine.ui.OnDialog(u"Start Options - app.jar", std::move(script));
    return RunStartOptionsDialog(machine.context, kNoWindow, kApp, kind);
  }
  std::optional<FileOptions> Kept() { return ReadFileOptions(machine.registry, kApp); }
};

TEST_F(StartOptionsDialogTest, OkKeepsTheFieldsOfTheKindOrStaysOpenOnTheFieldInError) {
  const std::u16string memory = u"The maximum memory is a number of megabytes from 16 to 1048576.";
  const std::u16string size = u"The screen size is two numbers from 64 to 2048, or none.";
  const std::u16string quote = u"The options hold a quotation mark without its pair.";
  const std::u16string full = u"Start options are kept for at most 4096 files.";
  struct Case {
    StarterKind kind;
    std::vector<std::pair<int, std::u16string>> typed;
    std::u16string message;
    int focus;
    std::optional<FileOptions> kept;
  };
  using enum StarterKind;
  using enum RunsIn;
  using enum Scaling;
  const Case cases[] = {
      {J2se, {{IDC_OPTIONS_MEMORY, u" 0512 "}, {IDC_OPTIONS_JAVA_OPTIONS, u" -Xss2m "},
              {IDC_OPTIONS_ARGUMENTS, u"\t\"a b\" c "}}, u"", 0,
       FileOptions{1, Console, ByWindows, 512, u"-Xss2m", u"\"a b\" c", 0, 0}},
      {J2se, {{IDC_OPTIONS_MEMORY, u"1048576"}}, u"", 0, FileOptions{1, Console, ByWindows, 1048576, u"", u"", 0, 0}},
      {J2se, {{IDC_OPTIONS_MEMORY, u"15"}}, memory, IDC_OPTIONS_MEMORY, {}},
      {J2se, {{IDC_OPTIONS_MEMORY, u"4294967312"}}, memory, IDC_OPTIONS_MEMORY, {}},  // 16 once wrapped round
      {J2se, {{IDC_OPTIONS_MEMORY, u"64 MB"}}, memory, IDC_OPTIONS_MEMORY, {}},
      {J2se, {{IDC_OPTIONS_JAVA_OPTIONS, u"-Dx=\"a"}}, quote, IDC_OPTIONS_JAVA_OPTIONS, {}},
      {J2se, {{IDC_OPTIONS_ARGUMENTS, u"\"a\" \"b"}}, quote, IDC_OPTIONS_ARGUMENTS, {}},
      {J2me, {{IDC_OPTIONS_WIDTH, u" 2048"}, {IDC_OPTIONS_HEIGHT, u"64 "}, {IDC_OPTIONS_ARGUMENTS, u"-v"}}, u"", 0,
       FileOptions{2, AsJudged, Automatic, 0, u"", u"-v", 2048, 64}},
      {J2me, {{IDC_OPTIONS_WIDTH, u"176"}}, size, IDC_OPTIONS_HEIGHT, {}},
      {J2me, {{IDC_OPTIONS_HEIGHT, u"208"}}, size, IDC_OPTIONS_WIDTH, {}},
      {J2me, {{IDC_OPTIONS_WIDTH, u"63"}, {IDC_OPTIONS_HEIGHT, u"208"}}, size, IDC_OPTIONS_WIDTH, {}},
      {J2se, {{IDC_OPTIONS_MEMORY, u"64"}}, full, 0, {}},  // after 4096 other files
  };
  for (const Case& c : cases) {
    ForgetFileOptions(machine.registry, kApp);
    for (int i = 0; i < 4096 && c.message == full; ++i) {
      RegistryKey(machine.registry, RegistryRoot::CurrentUser, kFiles + u"\\" + ToDecimal(i)).OpenOrCreate();
    }
    EXPECT_EQ(Open(c.kind, [&](ScriptedDialog& d) {
      EXPECT_FALSE(d.IsEnabled(IDB_OPTIONS_FORGET));  // nothing kept, nothing to forget
      d.ChooseItem(IDC_OPTIONS_STARTER, c.kind == J2se ? 2 : 1);  // "Java", "Phone"
      if (c.kind == J2se) d.ChooseItem(IDC_OPTIONS_RUNS, 1);
      if (c.kind == J2se) d.ChooseItem(IDC_OPTIONS_SCALING, 2);
      for (const auto& [field, text] : c.typed) d.Type(field, text);
      d.PressEnter();
      EXPECT_EQ(d.FocusedControl(), c.focus);
      if (!d.HasEnded()) d.Close();
    }), c.message.empty() ? kIdOk : kIdCancel);
    EXPECT_EQ(MessageTexts(), c.message.empty() ? Texts{} : Texts{c.message});
    EXPECT_TRUE(c.message.empty() || machine.ui.messages[0].caption == u"Error");
    EXPECT_EQ(Kept(), c.kept);
  }
  ExpectScriptFollowed();
}

TEST_F(StartOptionsDialogTest, ShowsTheKeptValuesDisablesWhatTheStarterIgnoresAndForgets) {
  StoreActions(StarterKind::J2se, 3, 0);  // every JAR starts with the emulator
  WriteFileOptions(machine.registry, kApp, {1, RunsIn::Window, Scaling::ProgramsOwn, 256, u"-Dx", u"a", 0, 0});
  EXPECT_EQ(Open(StarterKind::J2se, [](ScriptedDialog& d) {
    EXPECT_EQ(d.Items(IDC_OPTIONS_STARTER), (Texts{u"As every JAR file starts", u"alpha", u"Java"}));  // by name
    EXPECT_EQ(d.Items(IDC_OPTIONS_RUNS), (Texts{u"As judged from the program", u"A console", u"A window"}));
    EXPECT_EQ(d.Items(IDC_OPTIONS_SCALING), (Texts{u"Automatic", u"The program's own", u"Scaled by Windows"}));
    EXPECT_EQ(SelectedText(d, IDC_OPTIONS_STARTER) + u"," + SelectedText(d, IDC_OPTIONS_RUNS) + u"," +
                  SelectedText(d, IDC_OPTIONS_SCALING) + u"," + d.Text(IDC_OPTIONS_MEMORY) + u"," +
                  d.Text(IDC_OPTIONS_JAVA_OPTIONS) + u"," + d.Text(IDC_OPTIONS_ARGUMENTS),
              u"Java,A window,The program's own,256,-Dx,a");
    EXPECT_EQ(d.TextLimit(IDC_OPTIONS_JAVA_OPTIONS), 2048u);
    for (const auto& [item, java] : {std::pair{1, false}, {2, true}, {0, false}}) {
      d.ChooseItem(IDC_OPTIONS_STARTER, item);
      EXPECT_EQ(d.IsEnabled(IDC_OPTIONS_MEMORY) && d.IsEnabled(IDC_OPTIONS_JAVA_OPTIONS), java) << item;
    }
    d.Click(IDB_OPTIONS_FORGET);
  }), kIdOk);
  EXPECT_EQ(Kept(), std::nullopt);
  // A slot that holds no starter shows the kind's action; a dialog left at its defaults forgets the file.
  WriteFileOptions(machine.registry, kApp, FileOptions{9, RunsIn::AsJudged, Scaling::Automatic, 0, u"", u"", 176, 208});
  Open(StarterKind::J2me, [](ScriptedDialog& d) {
    EXPECT_EQ(SelectedText(d, IDC_OPTIONS_STARTER), u"As every JAD file starts");
    EXPECT_EQ(d.Text(IDC_OPTIONS_WIDTH) + u"x" + d.Text(IDC_OPTIONS_HEIGHT), u"176x208");
    d.Type(IDC_OPTIONS_WIDTH, u"");
    d.Type(IDC_OPTIONS_HEIGHT, u"");
    d.Click(kIdOk);
  });
  EXPECT_TRUE(ListSubkeys(machine.registry, RegistryRoot::CurrentUser, kFiles).empty());
  ExpectScriptFollowed();
}

}  // namespace
}  // namespace tc
