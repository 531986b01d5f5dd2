// No Java that can run the program: the Java offered, where it is offered, and what winget's end leads to.
#include <gtest/gtest.h>

#include "formats/ExecutableHeader.h"
#include "launch/GetJava.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/detect/SdkLayout.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

const std::u16string kJar = u"C:\\Games\\program.jar";
const std::u16string kWinget = u"C:\\Users\\user\\AppData\\Local\\Microsoft\\WindowsApps\\winget.exe";
const std::u16string kAdoptium = u"C:\\Program Files\\Eclipse Adoptium\\";

TEST(GetJava, TheOldestLongTermJavaThatCanRunItIsOffered) {
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 8},   {8, 8},   {9, 11},  {11, 11}, {12, 17}, {17, 17},
                                                           {18, 21}, {21, 21}, {22, 25}, {25, 25}, {26, 26}, {99, 99}};
  for (const auto& [required, offered] : cases) EXPECT_EQ(OfferedJava(required), offered) << required;
}

TEST(GetJava, WingetIsFoundOnThePathElseInWindowsApps) {
  MemoryFiles files;
  MemoryEnvironment environment;
  environment.Define(u"LOCALAPPDATA", u"C:\\Users\\user\\AppData\\Local");
  files.AddFolder(u"C:\\Tools\\winget.exe");  // a folder of that name is no program
  files.AddFile(u"C:\\Users\\user\\winget.exe", "MZ");
  files.AddFile(u"C:\\Program Files\\Winget\\winget.exe", "MZ");
  const std::u16string longEntry(32000, u'x');
  environment.Define(u"PATH", u";;" + longEntry + u";relative\\bin;.;winget;C:\\Tools;\"C:\\Program Files\\Winget\";");
  EXPECT_EQ(FindWinget(files, environment), u"C:\\Program Files\\Winget\\winget.exe");
  environment.Define(u"PATH", u"C:\\Tools");
  EXPECT_EQ(FindWinget(files, environment), std::nullopt);
  files.AddFile(kWinget, "");  // an app execution alias
  EXPECT_EQ(FindWinget(files, environment), kWinget);
}

// A user with the program and winget, and with an old Java or none.
struct JavaUser : HostMachine {
  explicit JavaUser(bool oldJava = true) {
    files.AddFile(kJar, ProgramJar(21));
    files.AddFile(kWinget, "");
    environment.Define(u"LOCALAPPDATA", u"C:\\Users\\user\\AppData\\Local");
    if (!oldJava) return;
    StoreStarter(registry, StarterKind::J2se, 1, u"Java 8", u"C:\\jdk8\\bin\\javaw.exe", u"-jar %1");
    files.AddFile(u"C:\\jdk8\\bin\\javaw.exe", PeHeaders(kMachineX64, 2));
    files.AddFile(u"C:\\jdk8\\release", "JAVA_VERSION=\"1.8.0_202\"\n");
    StoreActions(registry, StarterKind::J2se, 1, 0);
  }
  ~JavaUser() {
    EXPECT_TRUE(ui.problems.empty()) << (ui.problems.empty() ? "" : ui.problems.front());
    EXPECT_TRUE(ui.ScriptDone());
  }
  // What Temurin's installer leaves: the home, and its key in the registry.
  void InstallTemurin(const std::string& version) {
    const std::u16string home = kAdoptium + u"jre-" + FromUtf8(version) + u"-hotspot";
    RegistryKey(registry, RegistryRoot::LocalMachine,
                u"SOFTWARE\\Eclipse Adoptium\\JRE\\" + FromUtf8(version) + u"\\hotspot\\MSI", RegistryView::Bits64)
        .WriteString(u"Path", home + u"\\");
    files.AddFile(home + u"\\bin\\javaw.exe", PeHeaders(kMachineX64, 2));
    files.AddFile(home + u"\\bin\\java.exe", PeHeaders(kMachineX64, 3));
    files.AddFile(home + u"\\release",
                  "JAVA_VERSION=\"" + version.substr(0, version.rfind('.')) + "\"\nIMPLEMENTOR=\"Eclipse Adoptium\"\n");
  }
  // The Get Java dialog's text and buttons are kept, and `answer` clicked.
  void AnswerGetJava(int answer) {
    ui.OnDialog(u"Tessaly Corvalo", [this, answer](ScriptedDialog& d) {
      offer = d.Text(IDC_GET_JAVA_TEXT);
      buttons = d.ButtonTexts();
      d.Click(answer);
    });
  }
  // winget runs for a while, then ends with `exitCode` after `install` did its work.
  void WingetEnds(std::uint32_t exitCode, std::function<void()> install) {
    ui.OnDialog(u"Tessaly Corvalo", [this, exitCode, install](ScriptedDialog& d) {
      EXPECT_EQ(d.Text(IDC_INSTALLING_TEXT),
                u"Installing Java 21 with winget. This window closes by itself when the installation has ended.");
      d.FireTimer(IDT_INSTALL_ENDED);
      EXPECT_FALSE(d.HasEnded());
      install();
      processes.consoleExitCode = exitCode;
      d.FireTimer(IDT_INSTALL_ENDED);
    });
  }
  void GetJavaInTheWarning() {
    ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) {
      EXPECT_EQ(d.Text(IDB_GET_JAVA), u"Get Java 21");
      d.Click(IDB_GET_JAVA);
    });
  }
  bool Launch() { return LaunchJar(context, kJar, true, u""); }

  std::u16string offer;
  std::vector<std::u16string> buttons;
};

using GetJavaFlowTest = LaunchMachine;  // for its checks of the messages

TEST_F(GetJavaFlowTest, WithoutAnyJavaWingetInstallsOneAndTheProgramRunsWithIt) {
  JavaUser user(false);
  user.InstallTemurin("17.0.13.11");  // too old for the program: the scan finds it, but it is not added
  user.ui.OnDialog(u"Tessaly Corvalo Setup", [](ScriptedDialog& d) { d.Click(kIdCancel); });
  user.AnswerGetJava(kIdOk);
  user.WingetEnds(0, [&] {
    user.InstallTemurin("21.0.5.11");
    StarterCatalogue other(user.registry);  // meanwhile another instance's setup dialog adds and changes
    other.GetStarter(StarterKind::J2me, *other.AddStarter(StarterKind::J2me)) = {u"Emulator", u"C:\\emu.exe", u"%1"};
    other.SetDefaultAction(StarterKind::J2me, kLastUsedAction);
    other.Save();
  });
  EXPECT_TRUE(user.Launch());
  EXPECT_EQ(user.offer, u"This program needs Java 21 or newer, and no Java that can run it is set up.\n"
                        u"Java 21 is free to install from Eclipse Adoptium.");
  EXPECT_EQ(user.buttons, (std::vector<std::u16string>{u"Install Java 21", u"Open Download Page", u"Cancel"}));
  EXPECT_EQ(user.processes.consoles,
            std::vector<std::u16string>{u"\"" + kWinget + u"\" install --exact --id EclipseAdoptium.Temurin.21.JRE "
                                        u"--accept-package-agreements --accept-source-agreements"});
  const std::u16string javaw = kAdoptium + u"jre-21.0.5.11-hotspot\\bin\\javaw.exe";
  EXPECT_EQ(user.processes.watched, std::vector<std::u16string>{u"\"" + javaw + u"\" -jar \"" + kJar + u"\""});
  StarterCatalogue saved(user.registry);
  ASSERT_EQ(saved.NextStarter(StarterKind::J2se, saved.NextStarter(StarterKind::J2se, 0)), 0u) << "one starter only";
  const Starter& added = saved.GetStarter(StarterKind::J2se, 1);
  EXPECT_EQ(added.name, u"Temurin 21.0.5 (GUI)");
  EXPECT_EQ(added.executableFile, javaw);
  EXPECT_EQ(added.arguments, u"-jar %1 %*");
  EXPECT_EQ(saved.LastAction(StarterKind::J2se), 1u);
  EXPECT_EQ(saved.GetStarter(StarterKind::J2me, 1).name, u"Emulator");
  EXPECT_EQ(saved.DefaultAction(StarterKind::J2me), kLastUsedAction);
  ExpectLaunchErrorsIn(user.ui, {u"No J2SE starters are defined."});
}

TEST_F(GetJavaFlowTest, EachEndOfWingetSaysWhatHappened) {
  struct Case {
    std::uint32_t exitCode;
    std::uint32_t startError;
    bool installs;
    std::u16string message;  // "" when the program runs
    MessageIcon icon = MessageIcon::Error;
  };
  const Case cases[] = {
      {0x8A15002B, 0, true, u""},
      {0x8A150109, 0, true, u""},
      {0, 0, false, u"Java 21 was installed, but no Java that can run this program was found. Use Scan in the setup "
                    u"dialog to look for it.", MessageIcon::Warning},
      {0x8A150011, 0, false, u"Java 21 could not be installed with winget (exit code 0x8A150011)."},
      {0, 2, false, u"Java 21 could not be installed with winget (exit code 0x00000002)."},
  };
  for (const Case& c : cases) {
    JavaUser user;
    user.processes.consoleError = c.startError;
    user.GetJavaInTheWarning();
    user.AnswerGetJava(kIdOk);
    if (c.startError == 0) user.WingetEnds(c.exitCode, [&] { if (c.installs) user.InstallTemurin("21.0.5.11"); });
    EXPECT_EQ(user.Launch(), c.message.empty());
    EXPECT_EQ(StarterCatalogue(user.registry).HoldsStarter(StarterKind::J2se, 2), c.installs);
    ASSERT_EQ(user.ui.messages.size(), c.message.empty() ? 0u : 1u);
    if (c.message.empty()) continue;
    EXPECT_EQ(user.ui.messages[0].text, c.message);
    EXPECT_EQ(user.ui.messages[0].icon, c.icon);
    EXPECT_EQ(user.ui.messages[0].caption, u"Tessaly Corvalo");
  }
}

TEST_F(GetJavaFlowTest, CancelOrTheDownloadPageRunNothingAndAPolicyOffersNothing) {
  JavaUser user;
  // The user stops waiting for winget: nothing more happens, winget goes on by itself.
  user.GetJavaInTheWarning();
  user.AnswerGetJava(kIdOk);
  user.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) {
    d.FireTimer(IDT_INSTALL_ENDED);
    d.Click(kIdCancel);
  });
  EXPECT_FALSE(user.Launch());
  EXPECT_TRUE(user.ui.messages.empty());
  user.files.RemoveFile(kWinget);
  // The program starts anyway and fails as the warning said: the start failure dialog offers Java.
  user.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) { d.Click(IDB_START_ANYWAY); });
  user.processes.children.push_back({true, 1, "java.lang.UnsupportedClassVersionError: app/Main (class file version 65.0)"});
  user.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) {
    EXPECT_EQ(d.Text(kIdOk), u"Get Java 21");
    d.Click(kIdOk);
  });
  user.AnswerGetJava(IDB_OPEN_DOWNLOAD_PAGE);
  EXPECT_TRUE(user.Launch());  // the first start happened
  EXPECT_EQ(user.buttons, (std::vector<std::u16string>{u"Open Download Page", u"Cancel"}));
  user.environment.nativeMachine = kMachineArm64;
  user.GetJavaInTheWarning();
  user.AnswerGetJava(kIdCancel);
  EXPECT_FALSE(user.Launch());
  user.GetJavaInTheWarning();
  user.AnswerGetJava(IDB_OPEN_DOWNLOAD_PAGE);
  EXPECT_FALSE(user.Launch());
  EXPECT_EQ(user.shell.opened,
            (std::vector<std::u16string>{
                u"https://adoptium.net/temurin/releases/?os=windows&arch=x64&package=jre&version=21",
                u"https://adoptium.net/temurin/releases/?os=windows&arch=aarch64&package=jre&version=21"}));
  EXPECT_EQ(user.processes.started.size(), 1u);

  JavaUser managed;
  RegistryKey(managed.registry, RegistryRoot::LocalMachine, u"Software\\Policies\\Tessaly\\Corvalo")
      .WriteNumber(u"DisableJavaDownload", 1);
  managed.ui.OnDialog(u"Tessaly Corvalo", [](ScriptedDialog& d) {
    EXPECT_EQ(d.ButtonTexts(), (std::vector<std::u16string>{u"Open Setup", u"Start anyway", u"Cancel"}));
    d.Click(kIdCancel);
  });
  EXPECT_FALSE(managed.Launch());
}

}  // namespace
}  // namespace tc
