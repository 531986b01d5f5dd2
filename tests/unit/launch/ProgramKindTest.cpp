// What kind of program a JAR holds: programs of each kind built from class files written here, and class files
// and archives that lie.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "formats/MainClass.h"
#include "launch/ProgramKind.h"
#include "platform/host/MemoryFiles.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string U16(std::size_t v) { return {char(v >> 8 & 0xFF), char(v & 0xFF)}; }

// A class file whose constant pool names these: a class name, a method descriptor as a MethodType, a field
// descriptor ("Lx;") as a NameAndType; "field " and a descriptor makes a field of that type. Raw bytes may follow
// the methods.
std::string Class(const std::vector<std::string>& names, const std::string& after = "") {
  std::string pool, fields;
  std::size_t count = 1, fieldCount = 0;
  const auto utf8 = [&](const std::string& text) {
    pool += '\1' + U16(text.size()) + text;
    return count++;
  };
  for (const std::string& name : names) {
    if (name.starts_with("field ")) {
      const std::size_t d = utf8(name.substr(6));
      fields += U16(0) + U16(d) + U16(d) + U16(0);
      ++fieldCount;
    } else {
      const std::size_t d = utf8(name);
      pool += name.starts_with('(')                    ? '\x10' + U16(d)
              : name.find(';') != std::string::npos ? '\x0C' + U16(d) + U16(d)
                                                      : '\7' + U16(d);
      ++count;
    }
  }
  return "\xCA\xFE\xBA\xBE" + U16(0) + U16(61) + U16(count) + pool + U16(0x21) + U16(0) + U16(0) + U16(0) +
         U16(fieldCount) + fields + U16(0) + after;
}

// The archive with the directory records of the entries after the first class pointing at its data, as in a
// ZIP bomb of overlapping entries: each reads as a copy of that class.
Bytes SharingTheFirstClass(Bytes zip) {
  const auto u32 = [&](std::size_t at) { return zip[at] | zip[at + 1] << 8 | zip[at + 2] << 16 | zip[at + 3] << 24; };
  std::size_t at = u32(zip.size() - 6), first = 0;
  for (int record = 0; u32(at) == 0x02014B50; ++record, at += 46 + (zip[at + 28] | zip[at + 29] << 8)) {
    if (record == 1) first = at;
    if (record > 1) std::copy_n(zip.begin() + first + 16, 12, zip.begin() + at + 16);  // CRC and sizes
    if (record > 1) std::copy_n(zip.begin() + first + 42, 4, zip.begin() + at + 42);   // the data's offset
  }
  return zip;
}

const std::string kHeader = std::string("\xCA\xFE\xBA\xBE\0\0\0\x3D", 8);
const std::string kMain = "Main-Class: app.Main\r\n";

struct Row {
  const char* what;
  std::string manifest;  // after its first line
  Entries entries;
  ProgramKind kind;
  bool usesJavaFx = false;
  Entries library = {};  // C:\apps\lib\gui.jar
  bool shared = false;   // every class reads as the first
};

TEST(ProgramKind, JudgedByTheClassesTheMainClassReaches) {
  const std::string swing = Class({"java/lang/Object", "javax/swing/JFrame"});
  const std::string console = Class({"java/lang/System", "java/util/Scanner", "(Ljava/io/InputStream;)V"});
  // Five of it are more than the walk inflates.
  const std::string big = Class({"b/1", "b/2", "b/3", "b/4"}, std::string(kMaxJarEntrySize - 100, '\0'));
  Entries chain = {{"app/Main.class", Class({"c/1"})}};  // each class names the next and the first
  for (int i = 1; i < 4097; ++i) {
    chain.push_back({"c/" + std::to_string(i) + ".class", Class({"c/" + std::to_string(i + 1), "app/Main"})});
  }
  const Row rows[] = {
      {"Swing", kMain, {{"app/Main.class", swing}}, ProgramKind::Window},
      {"JavaFX", kMain, {{"app/Main.class", Class({"javafx/application/Application"})}}, ProgramKind::Window, true},
      {"JavaFX by the manifest", "JavaFX-Application-Class: app.Fx\r\n", {}, ProgramKind::Window, true},
      {"splash screen", "SplashScreen-Image: s.png\r\n", {}, ProgramKind::Window},
      {"console reading System.in", kMain, {{"app/Main.class", console}}, ProgramKind::Console},
      {"helper opens a JFrame", kMain, {{"app/Main.class", Class({"app/Helper"})}, {"app/Helper.class", swing}},
       ProgramKind::Window},
      {"field of a window type", kMain, {{"app/Main.class", Class({"field [[Ljava/awt/Frame;"})}},
       ProgramKind::Window},
      {"array class", kMain, {{"app/Main.class", Class({"[Lorg/lwjgl/Sys;"})}}, ProgramKind::Window},
      {"method type", kMain, {{"app/Main.class", Class({"(Lapp/Ui;)V"})}, {"app/Ui.class", swing}},
       ProgramKind::Window},
      {"name and type", kMain, {{"app/Main.class", Class({"Lapp/Ui;"})}, {"app/Ui.class", swing}},
       ProgramKind::Window},
      {"main class in versions/17", kMain + "Multi-Release: true\r\n",
       {{"META-INF/versions/17/app/Main.class", swing}}, ProgramKind::Window},
      {"newest version first", kMain + "Multi-Release: TRUE\r\n",
       {{"app/Main.class", console}, {"META-INF/versions/9/app/Main.class", console},
        {"META-INF/versions/11/app/Main.class", swing}},
       ProgramKind::Window},
      {"versions without Multi-Release", kMain, {{"META-INF/versions/17/app/Main.class", swing}},
       ProgramKind::Unknown},
      {"launcher loading by name", kMain + "Start-Class: com.example.App\r\n",
       {{"app/Main.class", Class({"java/net/URLClassLoader", "(Ljava/lang/String;)Ljava/lang/Class;"})},
        {"BOOT-INF/classes/com/example/App.class", swing}},
       ProgramKind::Console},
      {"Class-Path library", kMain + "Class-Path: missing.jar http://x/y.jar lib/gui.jar\r\n",
       {{"app/Main.class", Class({"lib/Gui"})}}, ProgramKind::Window, false, {{"lib/Gui.class", swing}}},
      {"main class in the library", kMain + "Class-Path: lib/gui.jar\r\n", {}, ProgramKind::Console, false,
       {{"app/Main.class", console}}},
      {"library not on the Class-Path", kMain, {{"app/Main.class", Class({"lib/Gui"})}}, ProgramKind::Console,
       false, {{"lib/Gui.class", swing}}},
      {"names itself", kMain, {{"app/Main.class", Class({"app/Main", "(Lapp/Main;)V"})}}, ProgramKind::Console},
      {"cycle", kMain,
       {{"app/Main.class", Class({"app/A"})}, {"app/A.class", Class({"app/B"})}, {"app/B.class", Class({"app/Main"})}},
       ProgramKind::Console},
      {"4,096 classes", kMain, Entries(chain.begin(), chain.begin() + 4096), ProgramKind::Console},
      {"4,097 classes", kMain, chain, ProgramKind::Unknown},
      {"64 MiB inflated", kMain,
       {{"app/Main.class", big}, {"b/1.class", ""}, {"b/2.class", ""}, {"b/3.class", ""}, {"b/4.class", ""}},
       ProgramKind::Unknown, false, {}, true},
      {"no main class", "", {}, ProgramKind::Unknown},
      {"main class in no JAR", kMain, {{"app/Other.class", swing}}, ProgramKind::Unknown},
      {"pool of 65,535 cut short", kMain, {{"app/Main.class", kHeader + "\xFF\xFF\x01" + U16(3) + "abc"}},
       ProgramKind::Unknown},
      {"unknown tag", kMain, {{"app/Main.class", kHeader + U16(2) + "\x02"}}, ProgramKind::Unknown},
      {"UTF-8 past the end", kMain, {{"app/Main.class", kHeader + U16(2) + "\x01\xFF\xFFjavax/swing/"}},
       ProgramKind::Unknown},
      {"descriptor never closed", kMain, {{"app/Main.class", Class({"(Ljavax/swing/JFrame)V"})}},
       ProgramKind::Unknown},
      {"class name of nothing", kMain, {{"app/Main.class", Class({"", "javax/swing/JFrame"})}}, ProgramKind::Unknown},
      {"helper no class file", kMain, {{"app/Main.class", Class({"app/A"})}, {"app/A.class", ""}},
       ProgramKind::Unknown},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MemoryFiles files;
    Entries entries = row.entries;
    entries.insert(entries.begin(), {"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n" + row.manifest + "\r\n"});
    files.AddFile(u"C:\\apps\\app.jar",
                  row.shared ? SharingTheFirstClass(StoredZip(entries)) : StoredZip(entries));
    if (!row.library.empty()) files.AddFile(u"C:\\apps\\lib\\gui.jar", StoredZip(row.library));
    JarReader jar;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(jar.OpenJar(files, u"C:\\apps\\app.jar") && jar.ReadEntry("META-INF/MANIFEST.MF", bytes));
    AttributeFile manifest;
    manifest.Parse(bytes);
    const ProgramLook look = LookAtProgram(files, u"C:\\apps\\app.jar", jar, manifest);
    EXPECT_EQ(look.kind, row.kind);
    EXPECT_EQ(look.usesJavaFx, row.usesJavaFx);
  }
}

TEST(ProgramKind, MainClassNamesWithAnEmptyPartOrANulAreNone) {
  EXPECT_EQ(ClassEntryName(u"org/example.Main"), "org/example/Main");
  for (const std::u16string& name : std::initializer_list<std::u16string>{
           u"", u"a..Main", u".Main", u"a.Main.", u"/a/Main", u"a/Main/", u"a//Main", std::u16string(u"a.M\0in", 6)})
    EXPECT_EQ(ClassEntryName(name), std::nullopt) << ToUtf8(name);
}

}  // namespace
}  // namespace tc
