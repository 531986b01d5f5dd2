// A start is watched when its starter is a window program: one that stops at once is explained, with a way on.
#include <gtest/gtest.h>

#include "formats/ExecutableHeader.h"
#include "launch/OpenArchive.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/detect/SdkLayout.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

const std::u16string kJar = u"C:\\Games\\Demo\\program.jar";
constexpr char kNewerClass[] =
    "Error: LinkageError occurred while loading main class app.Main\n\tjava.lang.UnsupportedClassVersionError: "
    "app/Main has been compiled by a more recent version of the Java Runtime (class file version 65.0), this version "
    "of the Java Runtime only recognizes class file versions up to 52.0\n";

// Slot 1 runs Java 8 (a window program, the fixed action), slot 2 Java 21 in a console, slot 3 Java 17 with
// JavaFX, slot 4 a 32-bit Java 11, slot 5 a starter whose program is not there.
class StartStarterTest : public LaunchMachine {
 protected:
  void SetUp() override {
    AddJava(1, u"Java & 8", u"C:\\jdk8", u"javaw.exe", kMachineX64, 2, "JAVA_VERSION=\"1.8.0_202\"");
    AddJava(2, u"Java 21", u"C:\\jdk21", u"java.exe", kMachineX64, 3, "JAVA_VERSION=\"21\"");
    AddJava(3, u"Java 17 FX", u"C:\\fx17", u"javaw.exe", kMachineX64, 2,
            "JAVA_VERSION=\"17\"\nMODULES=\"java.base javafx.base javafx.graphics\"");
    AddJava(4, u"Java 11 32-bit", u"C:\\jre11", u"javaw.exe", kMachineX86, 2, "JAVA_VERSION=\"11\"");
    Store(StarterKind::J2se, 5, u"Gone", u"C:\\gone\\bin\\javaw.exe", u"-jar %1");
    StoreActions(StarterKind::J2se, 1, 0);
    machine.files.AddFile(kJar, ProgramJar(8));
  }
  void AddJava(std::uint32_t slot, const std::u16string& name, const std::u16string& home, const std::u16string& exe,
               std::uint16_t cpu, std::uint16_t subsystem, const std::string& release) {
    Store(StarterKind::J2se, slot, name, home + u"\\bin\\" + exe, u"-jar %1");
    machine.files.AddFile(home + u"\\bin\\" + exe, PeHeaders(cpu, subsystem));
    machine.files.AddFile(home + u"\\release", release);
  }
  void Fails(const std::string& output, std::uint32_t exitCode = 1) {
    machine.processes.children.push_back({true, exitCode, output});
  }
  static std::u16string Ran(const std::u16string& exe) { return u"\"" + exe + u"\" -jar \"" + kJar + u"\""; }

  StartFailureReport shown;
  std::vector<std::u16string> buttons;
  // The next start failure dialog is kept and answered with `answer`.
  void Answer(int answer) {
    machine.ui.OnDialog(u"Tessaly Corvalo", [this, answer](ScriptedDialog& d) {
      shown.diagnosis = d.Text(IDC_START_FAILURE_TEXT);
      shown.output = d.Text(IDC_START_FAILURE_OUTPUT);
      EXPECT_TRUE(d.HasFixedPitchFont(IDC_START_FAILURE_OUTPUT));
      EXPECT_EQ(d.Caret(IDC_START_FAILURE_OUTPUT), shown.output.size());  // scrolled to the end
      buttons.clear();
      for (const ControlTemplate& control : d.Template().controls) {
        if (control.className == control::kButton && control.id != IDC_STATIC) buttons.push_back(d.Text(control.id));
      }
      d.Click(IDB_COPY_DETAILS);
      EXPECT_FALSE(d.HasEnded());
      d.Click(answer);
    });
  }
};

TEST_F(StartStarterTest, OnlyAWindowProgramIsWatchedAndOneThatRunsOrEndsWellShowsNothing) {
  for (const std::uint32_t slot : {1u, 2u, 5u}) {
    StoreActions(StarterKind::J2se, slot, 0);
    machine.context.Catalogue().Load();
    EXPECT_TRUE(LaunchJar(machine.context, kJar, true, u""));
  }
  Fails("", 0);  // ended at once, but well
  StoreActions(StarterKind::J2se, 1, 0);
  machine.context.Catalogue().Load();
  EXPECT_TRUE(LaunchJar(machine.context, kJar, true, u""));
  EXPECT_EQ(machine.processes.watched,
            (std::vector<std::u16string>{Ran(u"C:\\jdk8\\bin\\javaw.exe"), Ran(u"C:\\jdk8\\bin\\javaw.exe")}));
  EXPECT_EQ(machine.processes.started.size(), 4u);  // the console and the missing program as before
  EXPECT_TRUE(machine.ui.dialogsShown.empty());
  ExpectScriptFollowed();
}

TEST_F(StartStarterTest, AFailedStartIsExplainedAndTheStarterThatFitsRunsInstead) {
  struct Case {
    std::string output;
    std::u16string diagnosis;
    std::u16string startWith;
    std::uint32_t slot;
  };
  const Case cases[] = {
      {kNewerClass, u"It needs Java 21 or newer; \"Java & 8\" runs Java 8.", u"Start with \"Java 21\"", 2},
      {"Error: JavaFX runtime components are missing", u"It needs JavaFX, which the Java of \"Java & 8\" does not "
                                                       u"include.", u"Start with \"Java 17 FX\"", 3},
      {"Can't load IA 32-bit .dll on a AMD 64-bit platform", u"It needs a 32-bit Java.",
       u"Start with \"Java 11 32-bit\"", 4},
  };
  for (const Case& c : cases) {
    machine.processes.watched.clear();
    machine.processes.started.clear();
    StoreActions(StarterKind::J2se, 1, 0);
    machine.context.Catalogue().Load();
    Fails(c.output);
    Answer(kIdOk);
    EXPECT_TRUE(LaunchJar(machine.context, kJar, true, u""));
    EXPECT_EQ(shown.diagnosis, u"\"program.jar\" stopped at once.\n\n" + c.diagnosis);
    EXPECT_EQ(buttons, (std::vector<std::u16string>{c.startWith, u"Copy Details", u"Close"}));
    const Starter& other = machine.context.Catalogue().GetStarter(StarterKind::J2se, c.slot);
    EXPECT_EQ(machine.processes.started.back(), Ran(other.executableFile));
    EXPECT_EQ(StoredLastAction(StarterKind::J2se), c.slot);
  }
  EXPECT_EQ(machine.ui.clipboard, u"Command line: " + Ran(u"C:\\jdk8\\bin\\javaw.exe") +
                                      u"\r\nStarter: Java & 8\r\nExecutable: C:\\jdk8\\bin\\javaw.exe\r\nJava: 8\r\n"
                                      u"Exit code: 1\r\nOutput:\r\nCan't load IA 32-bit .dll on a AMD 64-bit platform");
  ExpectScriptFollowed();
}

TEST_F(StartStarterTest, WithNoStarterThatFitsTheUserCanOnlyCopyAndClose) {
  std::string flood;
  for (int i = 0; i < 5000; ++i) flood += "Exception in thread \"main\" java.lang.OutOfMemoryError: line " + std::to_string(i) + "\n";
  Fails(flood, 0xC0000005);
  Answer(kIdCancel);
  EXPECT_TRUE(LaunchJar(machine.context, kJar, true, u""));
  EXPECT_EQ(buttons, (std::vector<std::u16string>{u"Copy Details", u"Close"}));
  EXPECT_EQ(shown.diagnosis, u"\"program.jar\" stopped at once.\n\nIt ran out of memory.");
  EXPECT_TRUE(shown.output.starts_with(u"Exception in thread \"main\" java.lang.OutOfMemoryError: line 4960\r\n"));
  EXPECT_NE(machine.ui.clipboard.find(u"Exit code: -1073741819 (0xC0000005)\r\n"), std::u16string::npos);
  EXPECT_EQ(machine.processes.started.size(), 1u);
  ExpectScriptFollowed();
}

TEST_F(StartStarterTest, AMidletSuiteIsNamedAsTheUserOpenedIt) {
  Store(StarterKind::J2me, 1, u"KEmulator", u"C:\\KEmulator\\KEmulator.exe", u"-jad %1 -jar %2");
  StoreActions(StarterKind::J2me, 1, 0);
  machine.files.AddFile(u"C:\\KEmulator\\KEmulator.exe", PeHeaders(kMachineX86, 2));
  const std::u16string game = u"C:\\Games\\snake.jar";
  machine.files.AddFile(game, JarWithManifest("MIDlet-1: Snake, , Snake\r\nMIDlet-Name: Snake\r\n"));
  Fails("java.lang.UnsupportedClassVersionError: Snake (class file version 52.0)", 1);
  Answer(kIdCancel);
  EXPECT_TRUE(OpenArchive(machine.context, game, true, u""));
  EXPECT_EQ(shown.diagnosis, u"\"snake.jar\" stopped at once.\n\nIt needs Java 8 or newer; \"KEmulator\" runs an "
                             u"older Java.");
  EXPECT_EQ(buttons, (std::vector<std::u16string>{u"Copy Details", u"Close"}));  // J2SE starters run no suite
  ExpectScriptFollowed();
}

}  // namespace
}  // namespace tc
