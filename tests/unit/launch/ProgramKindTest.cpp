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
// descriptor ("Lx;") as a NameAndType; "field " and a descriptor makes a field of that type, "text " a text no
// constant refers to, "extends " its super class, "call " a method reference ("a/B.m(I)V").
std::string Class(const std::vector<std::string>& names) {
  std::string pool, fields;
  std::size_t count = 1, fieldCount = 0, super = 0;
  const auto add = [&](const std::string& constant) {
    pool += constant;
    return count++;
  };
  const auto utf8 = [&](const std::string& text) {
    pool.append(1, '\1').append(U16(text.size())).append(text);
    return count++;
  };
  for (const std::string& name : names) {
    if (name.starts_with("text ")) {
      utf8(name.substr(5));
    } else if (name.starts_with("extends ")) {
      super = add('\7' + U16(utf8(name.substr(8))));
    } else if (name.starts_with("call ")) {
      const std::size_t dot = name.find('.'), paren = name.find('(');
      const std::size_t owner = add('\7' + U16(utf8(name.substr(5, dot - 5))));
      const std::size_t method = utf8(name.substr(dot + 1, paren - dot - 1));
      add('\x0A' + U16(owner) + U16(add('\x0C' + U16(method) + U16(utf8(name.substr(paren))))));
    } else if (name.starts_with("field ")) {
      const std::size_t d = utf8(name.substr(6));
      fields += U16(0) + U16(d) + U16(d) + U16(0);
      ++fieldCount;
    } else {
      const std::size_t d = utf8(name);
      add(name.starts_with('(')                    ? '\x10' + U16(d)
          : name.find(';') != std::string::npos ? '\x0C' + U16(d) + U16(d)
                                                  : '\7' + U16(d));
    }
  }
  return "\xCA\xFE\xBA\xBE" + U16(0) + U16(61) + U16(count) + pool + U16(0x21) + U16(0) + U16(super) + U16(0) +
         U16(fieldCount) + fields + U16(0);
}

std::string Jar(const Entries& entries) {
  const Bytes zip = StoredZip(entries);
  return {zip.begin(), zip.end()};
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

// Blocks of 11 bytes, two to a row, that leave 64-bit FNV-1a (an unseeded hash) in one state whichever of a row
// is chosen: names made of a block of each row all share one such hash.
const char* const kCollidingBlocks[][2] = {
    {"HjI1L2NgXMD", "JjHnhXfmjhC"}, {"q0Qu$_$BupI", "5s0MqW7WLCL"}, {"wD8j9I7hASL", "2DouDdjvWkD"},
    {"w7aBlTGkz8F", "CygG5oMyO$P"}, {"s9NArew8LbF", "LisAx1yTjPH"}, {"rIAAyGSvLTL", "5lO6NCI13RJ"},
    {"1uW3khS4f_P", "bSoe$LOYi3P"}, {"Z5oSG3ZHFnB", "fOfGZA731bI"}, {"n_edXqnri4E", "L5BfK1KJlzA"},
    {"LlYxLHbYJ7A", "szWc$hfSAaD"}, {"o7OCBns72GC", "lvHQ8e2La7F"},
};

// 2^rows names of 14,000 bytes sharing one unseeded hash, with ".class" too: every other one an empty entry, the
// rest for the main class to name.
std::pair<Entries, std::vector<std::string>> CollidingNames() {
  Entries entries;
  std::vector<std::string> names;
  const std::size_t rows = std::size(kCollidingBlocks);
  for (std::size_t choice = 0; choice < std::size_t{1} << rows; ++choice) {
    std::string name;
    for (std::size_t row = 0; row < rows; ++row) name += kCollidingBlocks[row][choice >> row & 1];
    name.resize(14000, 's');
    if (choice & 1) {
      names.push_back(name);
    } else {
      entries.push_back({name + ".class", ""});
    }
  }
  return {entries, names};
}

enum class JavaFx { None, Uses, Brings };

struct Row {
  const char* what;
  std::string manifest;  // after its first line
  Entries entries;
  ProgramKind kind;
  JavaFx javaFx = JavaFx::None;
  Entries library = {};  // C:\apps\lib\gui.jar
  bool shared = false;   // every class reads as the first
};

TEST(ProgramKind, JudgedByTheClassesTheMainClassReaches) {
  const std::string swing = Class({"java/lang/Object", "javax/swing/JFrame"});
  const std::string console = Class({"java/lang/System", "java/util/Scanner", "(Ljava/io/InputStream;)V"});
  // Five of it are more than the walk inflates, even of their constant pools alone.
  std::vector<std::string> bigPool(255, "text " + std::string(65000, 'x'));
  bigPool.insert(bigPool.end(), {"b/1", "b/2", "b/3", "b/4"});
  const std::string big = Class(bigPool);
  Entries chain = {{"app/Main.class", Class({"c/1"})}};  // each class names the next and the first
  for (int i = 1; i < 4097; ++i) {
    chain.push_back({"c/" + std::to_string(i) + ".class", Class({"c/" + std::to_string(i + 1), "app/Main"})});
  }
  const std::string fx = Class({"javafx/application/Application"});
  // A launcher, and a tool: each loads a class by its name.
  const std::string loader = Class({"call java/lang/Class.forName(Ljava/lang/String;)Ljava/lang/Class;"});
  // A descriptor of 65,535 bytes naming one class 21,844 times, which 65,000 constants refer to.
  std::string oneDescriptor = kHeader + U16(65002) + '\1' + U16(65535) + '(';
  for (int i = 0; i < 21844; ++i) oneDescriptor += "La;";
  oneDescriptor += ")V";
  for (int i = 0; i < 65000; ++i) oneDescriptor += '\x10' + U16(1);
  oneDescriptor += U16(0x21) + U16(0) + U16(0);
  // Multi-Release with 64 versions, itself 64 times on the Class-Path, and 4 classes naming 248 names of 65,000
  // bytes that no JAR holds.
  Entries lookUps = {{"app/Main.class", ""}, {"c/1.class", ""}, {"c/2.class", ""}, {"c/3.class", ""}};
  std::string itself;
  for (int i = 0; i < 64; ++i) {
    lookUps.push_back({"META-INF/versions/" + std::to_string(9 + i) + "/", ""});
    itself += " app.jar";
  }
  for (int i = 0; i < 4; ++i) {
    std::vector<std::string> names = {i == 0 ? "c/1" : "", i == 0 ? "c/2" : "", i == 0 ? "c/3" : ""};
    names.resize(i == 0 ? 3 : 0);
    for (int n = 0; n < 62; ++n) names.push_back(std::to_string(i * 62 + n) + std::string(64997, 'x'));
    lookUps[i].second = Class(names);
  }
  auto [colliding, collidingNames] = CollidingNames();
  colliding.push_back({"app/Main.class", Class(collidingNames)});
  const Row rows[] = {
      {"Swing", kMain, {{"app/Main.class", swing}}, ProgramKind::Window},
      {"JavaFX", kMain, {{"app/Main.class", fx}}, ProgramKind::Window, JavaFx::Uses},
      {"JavaFX brought along", kMain, {{"app/Main.class", fx}, {"javafx/application/Application.class", ""}},
       ProgramKind::Window, JavaFx::Brings},
      {"JavaFX by the manifest", "JavaFX-Application-Class: app.Fx\r\n", {}, ProgramKind::Window, JavaFx::Uses},
      {"JavaFX by the manifest, in a library", "JavaFX-Application-Class: app.Fx\r\nClass-Path: lib/gui.jar\r\n", {},
       ProgramKind::Window, JavaFx::Brings, {{"javafx/application/Application.class", ""}}},
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
      {"Spring Boot", kMain + "Start-Class: com.example.App\r\n",
       {{"app/Main.class", Class({"java/net/URLClassLoader", "(Ljava/lang/String;)Ljava/lang/Class;"})},
        {"BOOT-INF/classes/com/example/App.class", Class({"lib/Gui"})},
        {"BOOT-INF/lib/gui.jar", Jar({{"lib/Gui.class", swing}})}},
       ProgramKind::Window},
      {"Eclipse's JAR in JAR", kMain + "Rsrc-Main-Class: app.Real\r\nRsrc-Class-Path: ./ gui%20lib.jar\r\n",
       {{"app/Main.class", loader}, {"app/Real.class", Class({"lib/Gui"})},
        {"gui lib.jar", Jar({{"lib/Gui.class", swing}})}},
       ProgramKind::Window},
      {"One-JAR", kMain + "One-Jar-Main-Class: app.Real\r\n",
       {{"app/Main.class", loader}, {"main/main.jar", Jar({{"app/Real.class", console}})}}, ProgramKind::Console},
      {"Capsule", kMain + "Application-Class: app.Real\r\n",
       {{"app/Main.class", loader}, {"app.jar", Jar({{"app/Real.class", swing}})}}, ProgramKind::Window},
      {"launcher's class missing", kMain + "Start-Class: app.Gone\r\n", {{"app/Main.class", loader}},
       ProgramKind::Unknown},
      {"extends a class naming its own class loader", kMain,
       {{"app/Main.class", Class({"extends app/Base"})}, {"app/Base.class", Class({"app/Loader"})},
        {"app/Loader.class", Class({"extends java/lang/ClassLoader"})}},
       ProgramKind::Unknown},
      {"tool loading a driver by name", kMain, {{"app/Main.class", Class({"app/Db"})}, {"app/Db.class", loader}},
       ProgramKind::Console},
      {"Class-Path library", kMain + "Class-Path: missing.jar http://x/y.jar lib/gui.jar\r\n",
       {{"app/Main.class", Class({"lib/Gui"})}}, ProgramKind::Window, JavaFx::None, {{"lib/Gui.class", swing}}},
      {"main class in the library", kMain + "Class-Path: lib/gui.jar\r\n", {}, ProgramKind::Console, JavaFx::None,
       {{"app/Main.class", console}}},
      {"library not on the Class-Path", kMain, {{"app/Main.class", Class({"lib/Gui"})}}, ProgramKind::Console,
       JavaFx::None, {{"lib/Gui.class", swing}}},
      {"names itself", kMain, {{"app/Main.class", Class({"app/Main", "(Lapp/Main;)V"})}}, ProgramKind::Console},
      {"cycle", kMain,
       {{"app/Main.class", Class({"app/A"})}, {"app/A.class", Class({"app/B"})}, {"app/B.class", Class({"app/Main"})}},
       ProgramKind::Console},
      {"4,096 classes", kMain, Entries(chain.begin(), chain.begin() + 4096), ProgramKind::Console},
      {"4,097 classes", kMain, chain, ProgramKind::Unknown},
      {"64 MiB inflated", kMain,
       {{"app/Main.class", big}, {"b/1.class", ""}, {"b/2.class", ""}, {"b/3.class", ""}, {"b/4.class", ""}},
       ProgramKind::Unknown, JavaFx::None, {}, true},
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
      {"65,000 constants, one descriptor", kMain, {{"app/Main.class", oneDescriptor}}, ProgramKind::Console},
      {"long names in every version and JAR", kMain + "Multi-Release: true\r\nClass-Path:" + itself + "\r\n", lookUps,
       ProgramKind::Console},
      {"names sharing one hash", kMain, std::move(colliding), ProgramKind::Console},
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
    EXPECT_EQ(look.usesJavaFx, row.javaFx != JavaFx::None);
    EXPECT_EQ(look.bringsJavaFx, row.javaFx == JavaFx::Brings);
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
