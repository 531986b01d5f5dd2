// A start is watched when its starter is a window program: one that stops at once is explained, with a way on.
// A command-line program runs in the launcher's own console, which stays after it.
#include <gtest/gtest.h>

#include "formats/ExecutableHeader.h"
#include "catalogue/RegistryKey.h"
#include "launch/ChildSurroundings.h"
#include "launch/OpenArchive.h"
#include "launch/StartFailure.h"
#include "launch/StartStarter.h"
#include "ui/ControlIds.h"
#include "unit/detect/SdkLayout.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

const std::u16string kJar = u"C:\\Games\\Demo\\program.jar";
const char* const kNewerClass = "java.lang.UnsupportedClassVersionError: app/Main (class file version 65.0)";

// Slot 1 runs Java 8 (a window program, the fixed action), slot 2 Java 21 in a console, slot 3 Java 17 with
// JavaFX, slot 4 a 32-bit Java 11, slot 5 a starter whose program is not there.
class StartStarterTest : public LaunchMachine {
 protected:
  void SetUp() override {
    AddJava(1, u"Java & 8", u"C:\\jdk8\\bin\\javaw.exe", kMachineX64, 2, "JAVA_VERSION=\"1.8.0_202\"");
    AddJava(2, u"Java 21", u"C:\\jdk21\\bin\\java.exe", kMachineX64, 3, "JAVA_VERSION=\"21\"");
    AddJava(3, u"Java 17 FX", u"C:\\fx17\\bin\\javaw.exe", kMachineX64, 2,
            "JAVA_VERSION=\"17\"\nMODULES=\"java.base javafx.base javafx.graphics\"");
    AddJava(4, u"Java 11 32-bit", u"C:\\jre11\\bin\\javaw.exe", kMachineX86, 2, "JAVA_VERSION=\"11\"");
    Store(StarterKind::J2se, 5, u"Gone", u"C:\\gone\\bin\\javaw.exe", u"-jar %1");
    machine.files.AddFile(kJar, ProgramJar(8));
  }
  void AddJava(std::uint32_t slot, const std::u16string& name, const std::u16string& exe, std::uint16_t cpu,
               std::uint16_t subsystem, const std::string& release) {
    Store(StarterKind::J2se, slot, name, exe, u"-jar %1");
    machine.files.AddFile(exe, PeHeaders(cpu, subsystem));
    machine.files.AddFile(exe.substr(0, exe.find(u"\\bin\\")) + u"\\release", release);
  }
  // Opened with the starter in `slot`, whose child does what `children` say.
  bool Launch(std::uint32_t slot, std::vector<WatchedChild> children = {}) {
    StoreActions(StarterKind::J2se, slot, 0);
    machine.context.Catalogue().Load();
    machine.processes.children.assign(children.begin(), children.end());
    return LaunchJar(machine.context, kJar, true, u"");
  }
  bool Start(std::uint32_t slot, ProgramKind kind, std::vector<WatchedChild> children = {},
             ProgramFacts program = Desktop()) {
    machine.context.Catalogue().Load();
    machine.processes.children.assign(children.begin(), children.end());
    program.look.kind = kind;
    return StartStarter(machine.context, StarterKind::J2se, slot, {{kJar}, u"", kJar, kJar, program});
  }
  static ProgramFacts Desktop() {
    ProgramFacts program;
    program.desktop = true;
    return program;
  }
  static std::u16string Ran(const std::u16string& exe) { return u"\"" + exe + u"\" -jar \"" + kJar + u"\""; }
  static std::u16string EndLine(const char16_t* code) {
    return u"\r\n\"program.jar\" ended with exit code " + std::u16string(code) + u". Press any key to close this window.";
  }
};

TEST_F(StartStarterTest, OnlyAWindowProgramIsWatchedAndOneThatRunsOrEndsWellShowsNothing) {
  for (const std::uint32_t slot : {1u, 2u, 5u}) EXPECT_TRUE(Launch(slot));
  EXPECT_TRUE(Launch(1, {{true, 0, ""}}));
  EXPECT_EQ(machine.processes.watched,
            (std::vector<std::u16string>{Ran(u"C:\\jdk8\\bin\\javaw.exe"), Ran(u"C:\\jdk8\\bin\\javaw.exe")}));
  EXPECT_EQ(machine.processes.kept.size(), 1u);     // the console starter
  EXPECT_EQ(machine.processes.started.size(), 4u);  // and the missing program as before
  EXPECT_TRUE(machine.ui.dialogsShown.empty());
}

TEST_F(StartStarterTest, AFailedStartIsExplainedAndTheStarterThatFitsRunsInstead) {
  struct Case {
    std::string output;
    std::uint32_t exitCode;
    std::u16string diagnosis;
    std::uint32_t slot;  // the starter offered instead; 0: none
  };
  std::string flood;
  for (int i = 0; i < 500; ++i) flood += "java.lang.OutOfMemoryError " + std::to_string(i) + "\n";
  const Case cases[] = {
      {kNewerClass, 1,
       u"It needs Java 21 or newer; \"Java & 8\" runs Java 8.", 2},
      {"Error: JavaFX runtime components are missing", 1,
       u"It needs JavaFX, which the Java of \"Java & 8\" does not include.", 3},
      {"Can't load IA 32-bit .dll on a AMD 64-bit platform", 1, u"It needs a 32-bit Java.", 4},
      {flood, 0xC0000005, u"It ran out of memory.", 0},
  };
  for (const Case& c : cases) {
    std::u16string text, output;
    std::vector<std::u16string> buttons;
    machine.ui.OnDialog(u"Tessaly Corvalo", [&](ScriptedDialog& d) {
      text = d.Text(IDC_START_FAILURE_TEXT);
      output = d.Text(IDC_START_FAILURE_OUTPUT);
      EXPECT_TRUE(d.HasFixedPitchFont(IDC_START_FAILURE_OUTPUT));
      EXPECT_EQ(d.Caret(IDC_START_FAILURE_OUTPUT), output.size());  // scrolled to the end
      buttons = d.ButtonTexts();
      d.Click(IDB_COPY_DETAILS);
      d.Click(c.slot != 0 ? kIdOk : kIdCancel);
    });
    machine.processes.started.clear();
    EXPECT_TRUE(Launch(1, {{true, c.exitCode, c.output}}));
    EXPECT_EQ(text, u"\"program.jar\" stopped at once.\n\n" + c.diagnosis);
    std::vector<std::u16string> expected{u"Copy Details", u"Close"};
    if (c.slot == 0) {
      EXPECT_TRUE(output.starts_with(u"java.lang.OutOfMemoryError 460\r\n")) << "the last 40 lines";
      EXPECT_NE(machine.ui.clipboard.find(u"Exit code: -1073741819 (0xC0000005)\r\n"), std::u16string::npos);
      EXPECT_EQ(machine.processes.started.size(), 1u);
    } else {
      const Starter& other = machine.context.Catalogue().GetStarter(StarterKind::J2se, c.slot);
      expected.insert(expected.begin(), u"Start with \"" + other.name + u"\"");
      EXPECT_EQ(machine.processes.started.back(), Ran(other.executableFile));
      EXPECT_EQ(StoredLastAction(StarterKind::J2se), c.slot);
      EXPECT_EQ(machine.ui.clipboard, u"Command line: " + Ran(u"C:\\jdk8\\bin\\javaw.exe") +
                                          u"\r\nStarter: Java & 8\r\nExecutable: C:\\jdk8\\bin\\javaw.exe\r\nJava: 8"
                                          u"\r\nExit code: 1\r\nOutput:\r\n" + OutputText(c.output, machine.environment));
    }
    EXPECT_EQ(buttons, expected);
  }
  ExpectScriptFollowed();
}

TEST_F(StartStarterTest, ACommandLineProgramRunsInAConsoleThatStaysWithItsLastWordsAndExitCode) {
  machine.files.AddFile(u"C:\\jdk8\\bin\\java.exe", PeHeaders(kMachineX64, 3));
  machine.files.AddFile(u"C:\\fx17\\bin\\java.exe", PeHeaders(kMachineX64, 2));  // no console twin
  const std::u16string java8 = u"C:\\jdk8\\bin\\java.exe", java21 = u"C:\\jdk21\\bin\\java.exe";
  struct Case {
    std::uint32_t slot;
    ProgramKind kind;
    std::u16string executable;  // the one started in the console; "": watched as before
    bool atOnce = false;
    std::uint32_t exitCode = 0;
    std::u16string screen = u"", written = EndLine(u"0");
  };
  const Case cases[] = {
      {1, ProgramKind::Console, java8},
      {2, ProgramKind::Window, java21},  // a console java.exe makes a console anyway
      {3, ProgramKind::Console, u""},
      {1, ProgramKind::Console, java8, true, 1, FromUtf8(kNewerClass),
       u"\r\nIt needs Java 21 or newer; \"Java & 8\" runs Java 8." + EndLine(u"1")},
      {1, ProgramKind::Console, java8, true, 2, u"no such file: in.txt\r\n", EndLine(u"2")},
      {1, ProgramKind::Console, java8, false, 0xC000013A, u"java.lang.OutOfMemoryError",  // Ctrl+C, later
       EndLine(u"-1073741510 (0xC000013A)")},
  };
  for (const Case& c : cases) {
    RecordingProcesses& p = machine.processes;
    p.kept.clear();
    p.keptWritten.clear();
    std::tie(p.keptEndsAtOnce, p.keptExitCode, p.keptScreen) = std::tie(c.atOnce, c.exitCode, c.screen);
    EXPECT_TRUE(Start(c.slot, c.kind));
    EXPECT_EQ(StoredLastAction(StarterKind::J2se), c.slot);
    ASSERT_EQ(p.kept.size(), c.executable.empty() ? 0u : 1u);
    if (c.executable.empty()) continue;
    EXPECT_EQ(p.kept[0].title, u"program.jar - Tessaly Corvalo");
    EXPECT_EQ(p.kept[0].commandLine, Ran(c.executable));
    EXPECT_EQ(p.keptWritten, c.written);
  }
  EXPECT_EQ(machine.processes.keptKeysAwaited, 5);
  EXPECT_EQ(machine.processes.watched, std::vector<std::u16string>{Ran(u"C:\\fx17\\bin\\javaw.exe")});
  EXPECT_TRUE(machine.ui.dialogsShown.empty());
  // A console that could not start its program is gone again, and the user is told why.
  machine.processes.succeed = false;
  EXPECT_FALSE(Start(1, ProgramKind::Console));
  ExpectLaunchErrors({u"\"C:\\jdk8\\bin\\java.exe\" could not be started. The system cannot find the file specified."});
}

TEST_F(StartStarterTest, AProgramThatEndedAtOnceAndWellShowsWhatItWroteAndOffersItsConsole) {
  machine.files.AddFile(u"C:\\jdk8\\bin\\java.exe", PeHeaders(kMachineX64, 3));
  const WatchedChild usage{true, 0, "Usage: convert IN OUT\n"};
  std::vector<std::vector<std::u16string>> buttons;
  for (const int answer : {kIdOk, kIdCancel}) {
    machine.ui.OnDialog(u"Tessaly Corvalo", [&buttons, answer](ScriptedDialog& d) {
      EXPECT_EQ(d.Text(IDC_START_FAILURE_TEXT),
                u"\"program.jar\" ended at once. It may be a program for the command line; this is what it wrote:");
      EXPECT_EQ(d.Text(IDC_START_FAILURE_OUTPUT), u"Usage: convert IN OUT\r\n");
      buttons.push_back(d.ButtonTexts());
      d.Click(answer);
    });
  }
  EXPECT_TRUE(Start(1, ProgramKind::Unknown, {usage}));
  EXPECT_TRUE(Start(3, ProgramKind::Unknown, {usage}));  // no console twin
  // A window program that hands over to another process of itself, and a silent one, say nothing.
  EXPECT_TRUE(Start(1, ProgramKind::Window, {usage}));
  EXPECT_TRUE(Start(1, ProgramKind::Unknown, {{true, 0, ""}}));
  EXPECT_EQ(buttons, (std::vector<std::vector<std::u16string>>{{u"Run Again in a Console", u"Copy Details", u"Close"},
                                                               {u"Copy Details", u"Close"}}));
  ASSERT_EQ(machine.processes.kept.size(), 1u);
  EXPECT_EQ(machine.processes.kept[0].commandLine, Ran(u"C:\\jdk8\\bin\\java.exe"));
  ExpectScriptFollowed();
}

// Java 8 tells Windows that it scales its windows itself, and then draws them at 100%: on a scaled display Windows
// scales such a window program as a bitmap instead, through the compatibility layer of this one child.
TEST_F(StartStarterTest, AJava8WindowProgramIsScaledByWindowsOnAScaledDisplay) {
  machine.files.AddFile(u"C:\\jdk8\\bin\\java.exe", PeHeaders(kMachineX64, 3));
  const std::u16string full(32766 - 10, u'L');  // with " DPIUNAWARE" one more than a variable holds
  struct Case {
    const char* what;
    std::uint32_t slot;
    ProgramKind kind;
    std::uint32_t dpi;
    std::u16string layers = u"";  // the launcher's own; "": none
    bool javaFx = false;
    std::u16string expected = u"";  // the child's __COMPAT_LAYER; "": the environment unchanged
    Scaling scaling = Scaling::Automatic;  // the user's choice for the file
  };
  const Case cases[] = {
      {"Java 8 at 150%", 1, ProgramKind::Window, 144, u"", false, u"DPIUNAWARE"},
      {"not judged", 1, ProgramKind::Unknown, 192, u"RunAsInvoker", false, u"RunAsInvoker DPIUNAWARE"},
      {"never twice", 1, ProgramKind::Window, 144, u"HighDpiAware dpiUnaware"},
      {"100%", 1, ProgramKind::Window, 96},
      {"JavaFX scales itself", 1, ProgramKind::Window, 144, u"", true},
      {"a console program", 1, ProgramKind::Console, 144},
      {"Java 11", 4, ProgramKind::Window, 144},
      {"Java 21 in its console", 2, ProgramKind::Window, 144},
      {"too long with the layer", 1, ProgramKind::Window, 144, full},
      {"the program's own, as the user says", 1, ProgramKind::Window, 144, u"", false, u"", Scaling::ProgramsOwn},
      {"scaled by Windows, as the user says", 4, ProgramKind::Console, 120, u"", true, u"DPIUNAWARE",
       Scaling::ByWindows},
      {"not at 100%, whatever the user says", 4, ProgramKind::Window, 96, u"", false, u"", Scaling::ByWindows},
  };
  for (const Case& c : cases) {
    HostMachine& m = machine;
    if (!c.layers.empty()) m.environment.Define(u"__COMPAT_LAYER", c.layers);
    m.processes.environments.clear();
    ProgramFacts program = Desktop();
    program.look.usesJavaFx = c.javaFx;
    program.displayDpi = c.dpi;
    program.scaling = c.scaling;
    EXPECT_TRUE(Start(c.slot, c.kind, {}, program)) << c.what;
    const EnvironmentChanges expected =
        c.expected.empty() ? EnvironmentChanges{} : EnvironmentChanges{{u"__COMPAT_LAYER", c.expected}};
    ASSERT_EQ(m.processes.environments.size(), 1u) << c.what;
    EXPECT_EQ(m.processes.environments[0], expected) << c.what;
    m.environment.Define(u"__COMPAT_LAYER", u"");
  }
  // The display's scale as the user's settings keep it; anything else is 100%.
  RegistryKey metrics(machine.registry, RegistryRoot::CurrentUser, u"Control Panel\\Desktop\\WindowMetrics");
  EXPECT_EQ(DisplayDpi(machine.registry), 96u);
  for (const auto& [value, dpi] : std::initializer_list<std::pair<std::uint32_t, std::uint32_t>>{
           {144, 144}, {48, 48}, {960, 960}, {47, 96}, {961, 96}, {0, 96}, {0xFFFFFFFF, 96}}) {
    metrics.WriteNumber(u"AppliedDPI", value);
    EXPECT_EQ(DisplayDpi(machine.registry), dpi) << value;
  }
  metrics.WriteString(u"AppliedDPI", u"144");
  EXPECT_EQ(DisplayDpi(machine.registry), 96u);
}

TEST_F(StartStarterTest, AMidletSuiteIsNamedAsTheUserOpenedIt) {
  Store(StarterKind::J2me, 1, u"KEmulator", u"C:\\KEmulator\\KEmulator.exe", u"-jad %1 -jar %2");
  StoreActions(StarterKind::J2me, 1, 0);
  machine.files.AddFile(u"C:\\KEmulator\\KEmulator.exe", PeHeaders(kMachineX86, 2));
  machine.files.AddFile(u"C:\\Games\\snake.jar", JarWithManifest("MIDlet-1: Snake, , Snake\r\n"));
  machine.processes.children.push_back({true, 1, "java.lang.UnsupportedClassVersionError (class file version 52.0)"});
  machine.ui.OnDialog(u"Tessaly Corvalo", [this](ScriptedDialog& d) {
    EXPECT_EQ(machine.files.OpenReaders(), 0);  // the game can be replaced while the dialog shows
    EXPECT_EQ(d.Text(IDC_START_FAILURE_TEXT), u"\"snake.jar\" stopped at once.\n\nIt needs Java 8 or newer; "
                                              u"\"KEmulator\" runs an older Java.");
    EXPECT_EQ(d.ButtonTexts(), (std::vector<std::u16string>{u"Copy Details", u"Close"}));  // no J2SE starter for it
    d.Close();
  });
  EXPECT_TRUE(OpenArchive(machine.context, u"C:\\Games\\snake.jar", true, u""));
  ExpectScriptFollowed();
}

}  // namespace
}  // namespace tc
