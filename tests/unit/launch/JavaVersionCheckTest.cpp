// The J2SE flow's look into the JAR: libraries, the Java a main class needs, the Java a starter runs, and the
// user's way out when the two don't meet.
#include <gtest/gtest.h>

#include "formats/MainClass.h"
#include "detect/JavaRelease.h"
#include "launch/JavaVersionCheck.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

const std::u16string kJar = u"C:\\apps\\app.jar";

TEST(JavaVersionCheck, ReadsTheJavaAClassFileNeeds) {
  const std::pair<std::string, std::optional<std::uint32_t>> cases[] = {
      {ClassFile(65), 21u}, {ClassFile(69), 25u}, {ClassFile(52), 8u}, {ClassFile(49), 5u},
      {ClassFile(48), 0u},  {ClassFile(45), 0u},  {"\xCA\xFE\xBA", std::nullopt},
      {std::string("\xCA\xFE\xBA\xBE\0\0\0", 7), std::nullopt},  // cut before the major version
      {"PK\x03\x04 not a class", std::nullopt},
  };
  for (const auto& [bytes, expected] : cases) {
    EXPECT_EQ(RequiredJavaVersion(B(bytes)), expected) << bytes.size();
  }
}

TEST(JavaVersionCheck, TheStartersJavaComesFromReleaseThenFullVersionThenFileVersion) {
  HostMachine m;
  m.files.AddFile(u"C:\\jdk8\\release", "IMPLEMENTOR=\"Oracle\"\nJAVA_VERSION=\"1.8.0_202\"\n");
  m.files.AddFile(u"C:\\jdk17\\release", "JAVA_VERSION=\"17.0.9\"\r\n");
  m.files.AddFile(u"C:\\jdk21\\release", "JAVA_VERSION=\"21\"");
  m.files.AddFile(u"C:\\odd\\release", std::string("\x7F" "ELF\0\xFF\xFE binary", 13));
  for (const char16_t* exe : {u"C:\\jdk8\\bin\\java.exe", u"C:\\odd\\bin\\java.exe"}) {
    m.versions.AddFullVersion(exe, u"11.0.2+9-LTS");  // the release file wins where it tells
  }
  m.versions.AddFullVersion(u"C:\\jre6\\bin\\javaw.exe", u"1.6.0_20-b02");
  m.versions.AddFileVersion(u"C:\\jre6\\bin\\javaw.exe", 16, 0, 200, 2);  // the Full Version wins
  m.versions.AddFileVersion(u"C:\\jre8\\bin\\javaw.exe", 8, 0, 2020, 8);
  m.versions.AddFileVersion(u"C:\\jre4\\bin\\javaw.exe", 1, 4, 2, 190);
  const std::pair<std::u16string, std::uint32_t> cases[] = {
      {u"C:\\jdk8\\bin\\java.exe", 8},  {u"C:\\jdk17\\bin\\java.exe", 17}, {u"C:\\jdk21\\bin\\\\java.exe", 21},
      {u"C:\\odd\\bin\\java.exe", 11},  {u"C:\\jre6\\bin\\javaw.exe", 6},  {u"C:\\jre8\\bin\\javaw.exe", 8},
      {u"C:\\jre4\\bin\\javaw.exe", 4}, {u"C:\\none\\bin\\javaw.exe", 0},  {u"C:\\javaw.exe", 0},
  };
  for (const auto& [exe, expected] : cases) {
    EXPECT_EQ(JavaRuntimeVersion(m.files, m.versions, exe), expected) << ToUtf8(exe);
  }
}

Bytes WithManifest(const std::string& manifest, const std::string& entry = "app/Main.class",
                   const std::string& classFile = ClassFile(65)) {
  return StoredZip({{"META-INF/MANIFEST.MF", manifest}, {entry, classFile}});
}

std::u16string Ran(const std::u16string& exe, const std::u16string& arguments = u"-jar ") {
  return u"\"" + exe + u"\" " + arguments + u"\"" + kJar + u"\"";
}

TEST(JavaVersionCheck, AStarterNameIsWholeInTheTextAndShortenedOnlyOnItsButton) {
  ScriptedUi ui;
  std::u16string text, button;
  int textHeight = 0;
  ui.OnDialog(u"Tessaly Corvalo", [&](ScriptedDialog& d) {
    text = d.Text(IDC_JAVA_VERSION_TEXT);
    button = d.Text(kIdOk);
    for (const ControlTemplate& control : d.Template().controls) {
      if (control.id == IDC_JAVA_VERSION_TEXT) textHeight = control.rect.height;
    }
    d.Click(kIdCancel);
  });
  const std::u16string name = u"JRE in JDK 1.8.0_202 (Console) of the build server & " + std::u16string(200, u'x');
  RunJavaVersionDialog(ui, {11, name, 8, u"Java 11 & on the build server \U0001F600 and more", {}});
  EXPECT_EQ(text, u"This program needs Java 11 or newer.\nThe starter \"" + name + u"\" runs Java 8.");
  EXPECT_GT(textHeight, 42);  // the text wraps over as many lines as it takes
  EXPECT_EQ(button, u"Start with \"Java 11 && on the build server \u2026\"");  // no half of the emoji
}

// Slot 1, the fixed action, runs Java 8; slot 2 Java 17 from an executable of the same name; slot 3 Java 21 in a
// console; slot 4 is no Java runtime; slot 5 a runtime that tells no version.
struct JavaMachine : HostMachine {
  JavaMachine(std::uint32_t defaultAction = 1) {
    AddJava(1, u"Java 8", u"C:\\jdk8\\bin\\javaw.exe", "1.8.0_202");
    AddJava(2, u"Java 17", u"C:\\jdk17\\bin\\javaw.exe", "17.0.9");
    AddJava(3, u"Java 21 console", u"C:\\jdk21\\bin\\java.exe", "21");
    StoreStarter(registry, StarterKind::J2se, 4, u"Archiver", u"C:\\7-Zip\\7zFM.exe", u"%1");
    StoreStarter(registry, StarterKind::J2se, 5, u"Some Java", u"C:\\some\\bin\\javaw.exe", u"-jar %1");
    StoreActions(registry, StarterKind::J2se, defaultAction, 4);
  }
  void AddJava(std::uint32_t slot, const std::u16string& name, const std::u16string& exe, const std::string& version) {
    StoreStarter(registry, StarterKind::J2se, slot, name, exe, u"-jar %1");
    files.AddFile(exe.substr(0, exe.find(u"\\bin\\")) + u"\\release", "JAVA_VERSION=\"" + version + "\"\n");
  }
  // The next warning has its texts kept and is answered by `answer`.
  void Answer(std::function<void(ScriptedDialog&)> answer) {
    ui.OnDialog(u"Tessaly Corvalo", [this, answer](ScriptedDialog& d) {
      texts.push_back(d.Text(IDC_JAVA_VERSION_TEXT));
      buttons.push_back(d.Text(kIdOk));
      answer(d);
    });
  }
  bool Open(const Bytes& jar, std::function<void(ScriptedDialog&)> answer = nullptr) {
    files.AddFile(kJar, jar);
    if (answer) Answer(answer);
    return LaunchJar(context, kJar, true, u"");
  }
  ~JavaMachine() {
    EXPECT_TRUE(ui.problems.empty()) << (ui.problems.empty() ? "" : ui.problems.front());
    EXPECT_TRUE(ui.ScriptDone());
    EXPECT_EQ(files.OpenReaders(), 0) << "a file was left open";
  }
  std::uint32_t LastAction() { return KindKey(registry, StarterKind::J2se).ReadNumber(u"LastAction", 0); }

  std::vector<std::u16string> texts;
  std::vector<std::u16string> buttons;
};

using JavaVersionFlowTest = LaunchMachine;  // for its checks of the messages

TEST_F(JavaVersionFlowTest, ALibraryIsToldAndNothingRuns) {
  for (const char* manifest : {"Manifest-Version: 1.0\r\n", "Main-Class:   \r\n", "Main-Class:app.Main\r\n"}) {
    JavaMachine m;
    EXPECT_FALSE(m.Open(WithManifest(manifest))) << manifest;
    ExpectLaunchErrorsIn(m.ui, {u"The JAR file \"C:\\apps\\app.jar\" has no \"Main-Class\" attribute: it is a "
                                u"library, not a program that can be started."});
    EXPECT_TRUE(m.processes.started.empty());
    EXPECT_EQ(m.LastAction(), 4u) << "nothing written";
  }
  // A plug-in is named by the first of the files its hosts look for; a program that holds one still starts.
  const std::vector<std::pair<std::vector<std::string>, const char*>> plugins = {
      {{"fabric.mod.json"}, "fabric.mod.json"},
      {{"quilt.mod.json"}, "quilt.mod.json"},
      {{"META-INF/mods.toml"}, "META-INF/mods.toml"},
      {{"META-INF/neoforge.mods.toml"}, "META-INF/neoforge.mods.toml"},
      {{"mcmod.info"}, "mcmod.info"},
      {{"paper-plugin.yml", "plugin.yml"}, "plugin.yml"},
      {{"paper-plugin.yml"}, "paper-plugin.yml"},
      {{"bungee.yml"}, "bungee.yml"},
      {{"velocity-plugin.json"}, "velocity-plugin.json"},
      {{"mods.toml", "data/plugin.yml"}, nullptr},  // not at the root: a library
  };
  for (const auto& [files, named] : plugins) {
    JavaMachine m;
    std::vector<std::pair<std::string, std::string>> entries{{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n"}};
    for (const std::string& file : files) entries.push_back({file, "{}"});
    EXPECT_FALSE(m.Open(StoredZip(entries))) << files.front();
    ExpectLaunchErrorsIn(m.ui, {named ? u"The JAR file \"C:\\apps\\app.jar\" is a plug-in for another program (it holds \"" +
                                            FromUtf8(named) + u"\"), not a program that can be started. Put it in "
                                                              u"that program's plug-in or mods folder."
                                      : u"The JAR file \"C:\\apps\\app.jar\" has no \"Main-Class\" attribute: it is a "
                                        u"library, not a program that can be started."});
  }
  JavaMachine installer;
  EXPECT_TRUE(installer.Open(StoredZip({{"META-INF/MANIFEST.MF", "Main-Class: app.Main\r\n"},
                                        {"app/Main.class", ClassFile(52)}, {"fabric.mod.json", "{}"}})));
  JavaMachine archiver(4);  // a starter that is no Java runtime takes libraries too
  EXPECT_TRUE(archiver.Open(WithManifest("Manifest-Version: 1.0\r\n")));
  EXPECT_EQ(archiver.processes.started, std::vector<std::u16string>{Ran(u"C:\\7-Zip\\7zFM.exe", u"")});
  EXPECT_TRUE(archiver.ui.messages.empty());
}

TEST_F(JavaVersionFlowTest, WhatTheStarterCanRunOrTheCheckCantTellRunsSilently) {
  struct Case {
    const char* what;
    Bytes jar;
    std::uint32_t slot = 1;
  };
  const std::string program = "Main-Class: app.Main\r\n";
  const Case cases[] = {
      {"needs less", ProgramJar(7)},
      {"needs as much", ProgramJar(8)},
      {"needs any Java", ProgramJar(0)},
      {"needs more, the starter tells no version", ProgramJar(21), 5},
      {"needs more, not a Java runtime", ProgramJar(21), 4},
      {"main class absent", StoredZip({{"META-INF/MANIFEST.MF", program}})},
      {"main class of 3 bytes", WithManifest(program, "app/Main.class", "\xCA\xFE\xBA")},
      {"main class no class file", WithManifest(program, "app/Main.class", "PK\x03\x04 whatever")},
      {"main class of 16 MiB", WithManifest(program, "app/Main.class", std::string(kMaxJarEntrySize, 'x'))},
      {"main class climbs out", WithManifest("Main-Class: ../x/..\r\n", "///x///.class")},
      {"main class of 70000 characters", WithManifest("Main-Class: " + std::string(70000, 'a') + "\r\n")},
      {"main class not UTF-8", WithManifest("Main-Class: \xFF\xFE.Main\r\n", "\xFF\xFE/Main.class")},
  };
  for (const Case& c : cases) {
    JavaMachine m(c.slot);
    EXPECT_TRUE(m.Open(c.jar)) << c.what;
    ASSERT_EQ(m.processes.started.size(), 1u) << c.what;
    EXPECT_EQ(m.LastAction(), c.slot) << c.what;
    EXPECT_TRUE(m.ui.dialogsShown.empty()) << c.what;
    EXPECT_TRUE(m.ui.messages.empty()) << c.what;
  }
}

TEST_F(JavaVersionFlowTest, ATooOldStarterOffersTheBestCompatibleOneOrRunsAnywayOrNothing) {
  // A main class name wrapped onto a continuation line, as the jar tool writes long ones.
  const Bytes jar = WithManifest("Manifest-Version: 1.0\r\nMain-Class: app.Ma\r\n in\r\n\r\n");
  struct Case {
    const char* what;
    std::function<void(ScriptedDialog&)> answer;
    std::vector<std::u16string> started;
    std::uint32_t lastAction;
  };
  const Case cases[] = {
      {"start with", [](ScriptedDialog& d) { d.Click(kIdOk); }, {Ran(u"C:\\jdk21\\bin\\java.exe")}, 3},
      {"start anyway", [](ScriptedDialog& d) { d.Click(IDB_START_ANYWAY); }, {Ran(u"C:\\jdk8\\bin\\javaw.exe")}, 1},
      {"cancel", [](ScriptedDialog& d) { d.Click(kIdCancel); }, {}, 4},
      {"close", [](ScriptedDialog& d) { d.Close(); }, {}, 4},
  };
  for (const Case& c : cases) {
    JavaMachine m;
    EXPECT_EQ(m.Open(jar, c.answer), !c.started.empty()) << c.what;
    EXPECT_EQ(m.texts, std::vector<std::u16string>{u"This program needs Java 21 or newer.\n"
                                                   u"The starter \"Java 8\" runs Java 8."}) << c.what;
    EXPECT_EQ(m.buttons, std::vector<std::u16string>{u"Start with \"Java 21 console\""}) << c.what;
    EXPECT_EQ(m.ui.dialogOwners, std::vector<WindowId>{kNoWindow}) << c.what;
    EXPECT_EQ(m.processes.started, c.started) << c.what;
    EXPECT_EQ(m.LastAction(), c.lastAction) << c.what;
    EXPECT_TRUE(m.ui.messages.empty()) << c.what;
  }
}

TEST_F(JavaVersionFlowTest, TheNewestJavaWinsThenTheSameExecutableNameThenTheLowestSlot) {
  struct Extra {
    std::uint32_t slot;
    const char16_t* name;
    const char16_t* exe;
    const char* version;
  };
  struct Case {
    std::vector<Extra> extras;
    const char16_t* chosen;
  };
  const Case cases[] = {
      {{}, u"Java 21 console"},  // above Java 17
      {{{7, u"Java 21 GUI", u"C:\\jre21\\bin\\JAVAW.exe", "21.0.1"}}, u"Java 21 GUI"},
      {{{9, u"Java 21 GUI b", u"C:\\jre21b\\bin\\javaw.exe", "21"},
        {8, u"Java 21 GUI a", u"C:\\jre21a\\bin\\javaw.exe", "21"}},
       u"Java 21 GUI a"},
      {{{6, u"Java 25 console", u"C:\\jdk25\\bin\\java.exe", "25"}}, u"Java 25 console"},
  };
  for (const Case& c : cases) {
    JavaMachine m;
    for (const Extra& e : c.extras) m.AddJava(e.slot, e.name, e.exe, e.version);
    EXPECT_FALSE(m.Open(ProgramJar(17), [](ScriptedDialog& d) { d.Click(kIdCancel); }));
    EXPECT_EQ(m.buttons, std::vector<std::u16string>{u"Start with \"" + std::u16string(c.chosen) + u"\""});
  }
}

TEST_F(JavaVersionFlowTest, AProgramThatUsesJavaFxIsToldBeforeTheStartWhenTheStartersJavaLacksIt) {
  const std::string lacks = "\"\nMODULES=\"java.base java.desktop\"", has = "\"\nMODULES=\"javafx.graphics\"";
  struct Case {
    const char* what;
    std::vector<std::pair<const char16_t*, std::string>> extras;  // slots 6 on: name and home, release
    unsigned java = 17;
    std::uint32_t offered = 0;  // the slot on "Start with"; 0: "Open Setup"
    std::string manifest = "";
    bool usesJavaFx = true;
    bool asked = true;
  };
  const Case cases[] = {
      {"none has it", {}},
      {"the newest that has it and fits",
       {{u"fx17", "17" + has}, {u"fx21", "21" + has}, {u"jdk25", "25" + lacks}, {u"fx11", "11" + has}}, 17, 7},
      {"a Java 8 home with jfxrt.jar has it", {{u"jre8fx", "1.8.0_202"}}, 8, 6},
      {"too old as well: the version first, one that fits both", {{u"fx21", "21" + has}, {u"jdk25", "25" + lacks}}, 21, 6},
      {"it brings its own", {}, 17, 0, "Class-Path: lib/javafx-graphics-21-win.jar\r\n", true, false},
      {"it does not use it", {}, 17, 0, "", false, false},
  };
  for (const Case& c : cases) {
    JavaMachine m(2);
    m.files.AddFile(u"C:\\jdk17\\release", "JAVA_VERSION=\"17" + lacks);
    m.files.AddFile(u"C:\\jre8fx\\lib\\ext\\jfxrt.jar", "PK");
    std::uint32_t slot = 6;
    for (const auto& [home, release] : c.extras) {
      StoreStarter(m.registry, StarterKind::J2se, slot++, home, u"C:\\" + std::u16string(home) + u"\\bin\\javaw.exe", u"-jar %1");
      m.files.AddFile(u"C:\\" + std::u16string(home) + u"\\release", "JAVA_VERSION=\"" + release);
    }
    m.files.AddFile(kJar, WithManifest("Main-Class: app.Main\r\n" + c.manifest, "app/Main.class", ClassFile(c.java + 44)));
    if (c.asked) m.Answer([](ScriptedDialog& d) { d.Click(kIdOk); });
    if (c.asked && c.offered == 0) m.ui.OnDialog(u"Tessaly Corvalo Setup", [](ScriptedDialog& d) { d.Close(); });
    m.context.Catalogue().Load();
    JarReader jar;
    AttributeFile manifest;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(jar.OpenJar(m.files, kJar) && jar.ReadEntry("META-INF/MANIFEST.MF", bytes));
    manifest.Parse(bytes);
    ProgramFacts program = LearnDesktopProgram(m.files, kJar, jar, manifest);
    program.look.usesJavaFx = c.usesJavaFx;
    EXPECT_EQ(CheckStarter(m.context, program, 2), c.asked ? c.offered : 2) << c.what;
    jar.CloseJar();
    if (!c.asked) continue;
    const std::u16string button =
        c.offered ? u"Start with \"" + m.context.Catalogue().GetStarter(StarterKind::J2se, c.offered).name + u"\""
                  : u"Open Setup";
    EXPECT_EQ(m.buttons, std::vector<std::u16string>{button}) << c.what;
    EXPECT_EQ(m.texts, std::vector<std::u16string>{c.java == 21 ? u"This program needs Java 21 or newer.\nThe starter "
                                                                  u"\"Java 17\" runs Java 17."
                                                                : u"This program needs JavaFX.\nThe starter \"Java "
                                                                  u"17\" runs a Java without JavaFX."}) << c.what;
  }
}

TEST_F(JavaVersionFlowTest, WithoutACompatibleStarterTheSetupDialogIsOfferedAndTheCheckRunsAgain) {
  // The user scans in the setup dialog, finds a Java 25 and keeps it.
  const auto click = [](int id) { return [id](ScriptedDialog& d) { d.Click(id); }; };
  JavaMachine m;
  m.Answer(click(kIdOk));
  m.ui.OnDialog(u"Tessaly Corvalo Setup", [&m](ScriptedDialog& d) {
    const auto slot = m.context.Catalogue().AddStarter(StarterKind::J2se);
    m.context.Catalogue().GetStarter(StarterKind::J2se, *slot) = {u"Java 25", u"C:\\jdk25\\bin\\javaw.exe", u"-jar %1"};
    m.files.AddFile(u"C:\\jdk25\\release", "JAVA_VERSION=\"25\"\n");
    d.Click(kIdOk);
  });
  m.Answer(click(kIdOk));
  EXPECT_TRUE(m.Open(ProgramJar(25)));
  EXPECT_EQ(m.ui.dialogsShown,
            (std::vector<std::u16string>{u"Tessaly Corvalo", u"Tessaly Corvalo Setup", u"Tessaly Corvalo"}));
  EXPECT_EQ(m.buttons, (std::vector<std::u16string>{u"Open Setup", u"Start with \"Java 25\""}));
  EXPECT_EQ(m.processes.started, std::vector<std::u16string>{Ran(u"C:\\jdk25\\bin\\javaw.exe")});
  EXPECT_EQ(m.LastAction(), 6u);

  // Leaving the setup dialog with Cancel ends the flow.
  JavaMachine cancelled;
  cancelled.Answer(click(kIdOk));
  cancelled.ui.OnDialog(u"Tessaly Corvalo Setup", click(kIdCancel));
  EXPECT_FALSE(cancelled.Open(ProgramJar(25)));
  EXPECT_TRUE(cancelled.ui.ScriptDone());
  EXPECT_TRUE(cancelled.processes.started.empty());
  EXPECT_EQ(cancelled.LastAction(), 4u);
}

}  // namespace
}  // namespace tc
