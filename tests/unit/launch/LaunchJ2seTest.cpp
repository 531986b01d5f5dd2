// The J2SE flow: which starter runs, when the user is asked, and what is remembered.
#include <gtest/gtest.h>

#include "catalogue/FileOptions.h"
#include "formats/ExecutableHeader.h"
#include "launch/LaunchCommand.h"
#include "launch/LaunchJ2se.h"
#include "unit/detect/SdkLayout.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

const std::u16string kJar = u"C:\\a b\\x.jar";

class LaunchJ2seTest : public LaunchMachine {
 protected:
  void StoreTwoStarters(std::uint32_t defaultAction, std::uint32_t lastAction) {
    Store(StarterKind::J2se, 1, u"Java 8", u"C:\\jre8\\bin\\javaw.exe", u"-jar %1 %*");
    Store(StarterKind::J2se, 3, u"Java 17", u"C:\\jdk17\\bin\\java.exe", u"-Xmx64m -jar \"%1\" %*");
    StoreActions(StarterKind::J2se, defaultAction, lastAction);
  }
  void SetUp() override { machine.files.AddFile(kJar, ProgramJar(8)); }
  bool Launch(bool useDefaultAction = true, const std::u16string& externalArguments = u"") {
    return LaunchJar(machine.context, kJar, useDefaultAction, externalArguments);
  }
  static std::u16string Java8() { return u"\"C:\\jre8\\bin\\javaw.exe\" -jar \"C:\\a b\\x.jar\""; }
  static std::u16string Java17() { return u"\"C:\\jdk17\\bin\\java.exe\" -Xmx64m -jar \"C:\\a b\\x.jar\""; }
};

TEST_F(LaunchJ2seTest, AFixedStarterRunsWithoutAskingAndIsRemembered) {
  StoreTwoStarters(3, 0);
  EXPECT_TRUE(Launch(true, u"one \"two three\""));
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{Java17() + u" one \"two three\""});
  EXPECT_TRUE(machine.ui.dialogsShown.empty());
  EXPECT_EQ(StoredLastAction(StarterKind::J2se), 3u);
  ExpectLaunchErrors({});
}

TEST_F(LaunchJ2seTest, TheLastUsedStarterRunsWhenThatIsTheAction) {
  StoreTwoStarters(kLastUsedAction, 1);
  EXPECT_TRUE(Launch());
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{Java8()});
  EXPECT_TRUE(machine.ui.dialogsShown.empty());
}

TEST_F(LaunchJ2seTest, AStartThatFailsIsSilentButTheChoiceIsKept) {
  StoreTwoStarters(1, 3);
  machine.processes.succeed = false;  // the starter's program doesn't exist
  EXPECT_FALSE(Launch());
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{Java8()});
  EXPECT_EQ(StoredLastAction(StarterKind::J2se), 1u);
  ExpectLaunchErrors({});
}

TEST_F(LaunchJ2seTest, ACommandLineTooLongForAProcessStartsNothing) {
  Store(StarterKind::J2se, 1, u"Java", u"C:\\java.exe", u"%1 %*");
  StoreActions(StarterKind::J2se, 1, 0);
  EXPECT_FALSE(Launch(true, std::u16string(kMaxCommandLineLength, u'x')));
  EXPECT_TRUE(machine.processes.started.empty());
  ExpectLaunchErrors({});
}

// What the user said about the file: its starter, its Java options right after a Java runtime's executable, its
// arguments before those of the launch, the console over the walk's judgement; never read as a template.
TEST_F(LaunchJ2seTest, TheFilesOptionsGoWhereTheyBelong) {
  StoreTwoStarters(1, 0);
  Store(StarterKind::J2se, 4, u"Archiver", u"C:\\7-Zip\\7zFM.exe", u"%1 %*");
  machine.files.AddFile(u"C:\\jre8\\bin\\javaw.exe", PeHeaders(kMachineX64, 2));
  machine.files.AddFile(u"C:\\jre8\\bin\\java.exe", PeHeaders(kMachineX64, 3));
  const std::u16string jar = u"\"C:\\a b\\x.jar\"";
  struct Case {
    const char* what;
    FileOptions options;
    std::u16string external;
    std::u16string started;
    bool inConsole = false;
  };
  const auto options = [](std::uint32_t starter, std::uint32_t memory, std::u16string java, std::u16string arguments,
                          RunsIn runs = RunsIn::AsJudged) {
    return FileOptions{starter, runs, Scaling::Automatic, memory, std::move(java), std::move(arguments)};
  };
  const Case cases[] = {
      {"memory and options after the executable", options(0, 4096, u"-Dsun.java2d.uiScale=1", u""), u"",
       u"\"C:\\jre8\\bin\\javaw.exe\" -Xmx4096m -Dsun.java2d.uiScale=1 -jar " + jar},
      {"the file's arguments first", options(0, 0, u"", u"\"a b\" %1"), u"-v",
       u"\"C:\\jre8\\bin\\javaw.exe\" -jar " + jar + u" \"a b\" %1 -v"},
      {"options are the user's text", options(0, 0, u"-Dx=%1 %*", u""), u"",
       u"\"C:\\jre8\\bin\\javaw.exe\" -Dx=%1 %* -jar " + jar},
      {"the file's starter, its template kept", options(3, 16, u"", u"in"), u"",
       u"\"C:\\jdk17\\bin\\java.exe\" -Xmx16m -Xmx64m -jar " + jar + u" in"},
      {"no Java runtime: no Java options", options(4, 512, u"-Dx", u"in"), u"out",
       u"\"C:\\7-Zip\\7zFM.exe\" " + jar + u" in out"},
      {"a starter slot that holds none", options(9, 0, u"", u""), u"", u"\"C:\\jre8\\bin\\javaw.exe\" -jar " + jar},
      {"runs in a console", options(0, 0, u"", u"", RunsIn::Console), u"",
       u"\"C:\\jre8\\bin\\java.exe\" -jar " + jar},
      {"in a console by the command line", options(0, 0, u"", u"", RunsIn::Window), u"",
       u"\"C:\\jre8\\bin\\java.exe\" -jar " + jar, true},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(WriteFileOptions(machine.registry, kJar, c.options), OptionsWrite::Written) << c.what;
    machine.processes.started.clear();
    machine.processes.kept.clear();
    JarReader reader;
    AttributeFile manifest;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(reader.OpenJar(machine.files, kJar) && reader.ReadEntry("META-INF/MANIFEST.MF", bytes));
    manifest.Parse(bytes);
    EXPECT_TRUE(LaunchJ2se(machine.context, kJar, reader, manifest, true, c.external, c.inConsole)) << c.what;
    EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{c.started}) << c.what;
    EXPECT_EQ(machine.processes.kept.size(), c.started.find(u"java.exe\" -jar") != std::u16string::npos ? 1u : 0u)
        << c.what;
  }
  ExpectLaunchErrors({});
}

// The choice of the starter, through the setup and selection dialogs.

class LaunchJ2seChoiceTest : public LaunchJ2seTest {};

TEST_F(LaunchJ2seChoiceTest, TheUserIsAskedWhenTheActionSaysSo) {
  struct Case {
    const char* what;
    std::uint32_t defaultAction;
    std::uint32_t lastAction;
    bool useDefaultAction;
  };
  const Case cases[] = {
      {"choice once opened", kChoiceOnceOpened, 3, true},
      {"last used, none yet", kLastUsedAction, 0, true},
      {"fixed, but opened to select", 3, 0, false},
      {"last used, but opened to select", kLastUsedAction, 3, false},
  };
  for (const Case& c : cases) {
    HostMachine local;
    local.files.AddFile(kJar, ProgramJar(8));
    StoreStarter(local.registry, StarterKind::J2se, 1, u"Java 8", u"C:\\jre8\\bin\\javaw.exe", u"%1");
    StoreStarter(local.registry, StarterKind::J2se, 3, u"Java 17", u"C:\\jdk17\\bin\\java.exe", u"%1");
    tc::StoreActions(local.registry, StarterKind::J2se, c.defaultAction, c.lastAction);
    local.ui.SetActiveWindow(0x55);
    local.ui.OnDialog(u"J2SE Starter Select", ChooseStarterNamed(u"Java 8"));
    EXPECT_TRUE(LaunchJar(local.context, kJar, c.useDefaultAction, u"")) << c.what;
    EXPECT_EQ(local.ui.dialogsShown, std::vector<std::u16string>{u"J2SE Starter Select"}) << c.what;
    EXPECT_EQ(local.ui.dialogOwners, std::vector<WindowId>{0x55}) << c.what;
    EXPECT_EQ(local.processes.started, std::vector<std::u16string>{u"\"C:\\jre8\\bin\\javaw.exe\" \"" + kJar + u"\""})
        << c.what;
    EXPECT_EQ(KindKey(local.registry, StarterKind::J2se).ReadNumber(u"LastAction", 0), 1u) << c.what;
  }
}

TEST_F(LaunchJ2seChoiceTest, AChoiceIsRunWithoutAskingNextTimeWhenTheLastIsTheAction) {
  StoreTwoStarters(kLastUsedAction, 0);
  machine.ui.OnDialog(u"J2SE Starter Select", ChooseStarterNamed(u"Java 17"));
  EXPECT_TRUE(Launch());
  ExpectScriptFollowed();

  // The next opening is another process, which reads the catalogue anew.
  Context next(machine.platform);
  EXPECT_TRUE(LaunchJar(next, kJar, true, u""));
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{u"J2SE Starter Select"});
  EXPECT_EQ(machine.processes.started, (std::vector<std::u16string>{Java17(), Java17()}));
}

TEST_F(LaunchJ2seChoiceTest, ChoiceOnceOpenedAsksEveryTime) {
  StoreTwoStarters(kChoiceOnceOpened, 0);
  machine.ui.OnDialog(u"J2SE Starter Select", ChooseStarterNamed(u"Java 17"));
  machine.ui.OnDialog(u"J2SE Starter Select", ChooseStarterNamed(u"Java 8"));
  EXPECT_TRUE(Launch());
  EXPECT_TRUE(Launch());
  EXPECT_EQ(machine.processes.started, (std::vector<std::u16string>{Java17(), Java8()}));
  ExpectScriptFollowed();
}

TEST_F(LaunchJ2seChoiceTest, CancellingTheChoiceStartsNothingAndKeepsTheLastStarter) {
  StoreTwoStarters(kChoiceOnceOpened, 3);
  machine.ui.OnDialog(u"J2SE Starter Select", [](ScriptedDialog& d) { d.Click(kIdCancel); });
  machine.ui.OnDialog(u"J2SE Starter Select", [](ScriptedDialog& d) { d.Close(); });
  EXPECT_FALSE(Launch());
  EXPECT_FALSE(Launch());
  EXPECT_TRUE(machine.processes.started.empty());
  EXPECT_EQ(StoredLastAction(StarterKind::J2se), 3u);
  ExpectScriptFollowed();
  ExpectLaunchErrors({});
}

TEST_F(LaunchJ2seChoiceTest, WithoutStartersTheSetupDialogIsOfferedThenJava) {
  machine.ui.SetActiveWindow(0x66);
  machine.ui.OnDialog(u"Tessaly Corvalo Setup", [](ScriptedDialog& d) { d.Click(kIdCancel); });
  machine.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) { d.Click(kIdCancel); });
  EXPECT_FALSE(Launch());
  ExpectLaunchErrors({u"No J2SE starters are defined."});
  EXPECT_EQ(machine.ui.dialogsShown, (std::vector<std::u16string>{u"Tessaly Corvalo Setup", u"Tessaly Corvalo"}));
  EXPECT_EQ(machine.ui.dialogOwners, (std::vector<WindowId>{0x66, kNoWindow}));
  EXPECT_TRUE(machine.processes.started.empty());
  ExpectScriptFollowed();
}

TEST_F(LaunchJ2seChoiceTest, AStarterAddedInTheSetupDialogIsOfferedAtOnce) {
  // The user adds a starter in the setup dialog and presses OK, then picks it.
  machine.ui.OnDialog(u"Tessaly Corvalo Setup", [this](ScriptedDialog& d) {
    StarterCatalogue& catalogue = machine.context.Catalogue();
    const auto slot = catalogue.AddStarter(StarterKind::J2se);
    catalogue.GetStarter(StarterKind::J2se, *slot) = Starter{u"New Java", u"C:\\new\\java.exe", u"-jar %1"};
    d.Click(kIdOk);
  });
  machine.ui.OnDialog(u"J2SE Starter Select", ChooseStarterNamed(u"New Java"));
  EXPECT_TRUE(Launch());
  EXPECT_EQ(machine.processes.started, std::vector<std::u16string>{u"\"C:\\new\\java.exe\" -jar \"" + kJar + u"\""});
  ExpectLaunchErrors({u"No J2SE starters are defined."});
  ExpectScriptFollowed();
}

TEST_F(LaunchJ2seChoiceTest, ASetupDialogLeftWithoutStartersEndsTheFlowWhereJavaIsNotToBeDownloaded) {
  RegistryKey(machine.registry, RegistryRoot::LocalMachine, u"Software\\Policies\\Tessaly\\Corvalo")
      .WriteNumber(u"DisableJavaDownload", 1);
  machine.ui.OnDialog(u"Tessaly Corvalo Setup", [](ScriptedDialog& d) { d.Click(kIdOk); });
  EXPECT_FALSE(Launch());
  ExpectLaunchErrors({u"No J2SE starters are defined."});
  EXPECT_EQ(machine.ui.dialogsShown, std::vector<std::u16string>{u"Tessaly Corvalo Setup"});
}

}  // namespace
}  // namespace tc
