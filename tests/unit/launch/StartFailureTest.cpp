// What a program that stopped at once wrote, and what it means: the diagnosis table over what real runtimes print.
#include <gtest/gtest.h>

#include <set>

#include "base/Text.h"
#include "launch/StartFailure.h"
#include "platform/host/MemoryEnvironment.h"

namespace tc {
namespace {

// Printed by a Java 17 runtime: a class built for Java 21, a JAR without the library its Class-Path names, a main
// class that is not in the JAR, options no Java can take, a heap too small.
constexpr char kNewerClass[] =
    "Error: LinkageError occurred while loading main class app.Main\n\tjava.lang.UnsupportedClassVersionError: "
    "app/Main has been compiled by a more recent version of the Java Runtime (class file version 65.0), this version "
    "of the Java Runtime only recognizes class file versions up to 61.0\n";
constexpr char kMissingLibrary[] =
    "Exception in thread \"main\" java.lang.NoClassDefFoundError: lib/Helper\n\tat app.Main.main(Main.java:2)\n"
    "Caused by: java.lang.ClassNotFoundException: lib.Helper\n\tat java.base/jdk.internal.loader.BuiltinClassLoader"
    ".loadClass(BuiltinClassLoader.java:641)\n\t... 1 more\n";
constexpr char kNoMainClass[] =
    "Error: Could not find or load main class app.Missing\nCaused by: java.lang.ClassNotFoundException: app.Missing\n";
constexpr char kBadOptions[] =
    "Picked up _JAVA_OPTIONS: -Xmx99999999g\nError occurred during initialization of VM\n"
    "Could not reserve enough space for 104857598951424KB object heap\n";
constexpr char kBadToolOptions[] =
    "NOTE: Picked up JDK_JAVA_OPTIONS: -XX:+NoSuchOption\nUnrecognized VM option 'NoSuchOption'\n"
    "Error: Could not create the Java Virtual Machine.\nError: A fatal exception has occurred. Program will exit.\n";
constexpr char kOutOfMemory[] =
    "Exception in thread \"main\" java.lang.OutOfMemoryError: Java heap space\n\tat Oom.main(Oom.java:1)\n";

TEST(StartFailure, TheFirstRowTheOutputMatchesSaysWhatWentWrong) {
  MemoryEnvironment environment;
  struct Case {
    std::string output;
    std::u16string expected;
    std::uint32_t exitCode = 1;
    std::uint32_t starterJava = 8;
    std::uint32_t requiredJava = 0;
    std::u16string mainClass = u"app.Missing";
    bool classPath = true;  // the manifest names files, not all of them there
    std::u16string pathReadWrongly = u"";
  };
  const std::u16string outsideCodePage =
      u"Java could not open it: its path holds characters that this computer's language setting for programs can't "
      u"represent. Move or rename the file so that its path holds only such characters, or turn on \"Use Unicode "
      u"UTF-8 for worldwide language support\" in Windows' region settings.";
  const std::string longOptions(150, 'x');
  const std::u16string huge = std::u16string(99, u'm') + u"\U0001F600" + std::u16string(60000, u'm');
  const Case cases[] = {
      {kNewerClass, u"It needs Java 21 or newer; \"Java & 8\" runs Java 8."},
      {std::string(kNewerClass) + kOutOfMemory, u"It needs Java 21 or newer; \"Java & 8\" runs an older Java.", 1, 0},
      {"java.lang.UnsupportedClassVersionError: app/Main : Unsupported major.minor version 52.0",
       u"It needs Java 8 or newer; \"Java & 8\" runs Java 7.", 1, 7},
      {"java.lang.UnsupportedClassVersionError", u"It needs Java 17 or newer; \"Java & 8\" runs Java 8.", 1, 8, 17},
      {"java.lang.UnsupportedClassVersionError", u"It ended with exit code 1."},  // nothing tells which Java
      {"Error: JavaFX runtime components are missing, and are required to run this application\n",
       u"It needs JavaFX, which the Java of \"Java & 8\" does not include."},
      {"java.lang.NoClassDefFoundError: javafx/application/Application",
       u"It needs JavaFX, which the Java of \"Java & 8\" does not include."},
      {kMissingLibrary,
       u"It needs files that are not beside it: libs/helper.jar, lib \u00e9/b.jar, ../up.jar. Keep the JAR in the "
       u"folder it came in, with the files it names."},
      {kNoMainClass, u"It needs files that are not beside it: libs/helper.jar, lib \u00e9/b.jar, ../up.jar. Keep the "
                     u"JAR in the folder it came in, with the files it names."},  // both, and the files come first
      {kNoMainClass, u"Its main class \"app.Missing\" is not in the JAR.", 1, 8, 0, u"app.Missing", false},
      {kNoMainClass, u"Its main class \"app.Missing\" is not in the JAR.", 1, 8, 0, u"", false},  // as the output names it
      {kNoMainClass, u"Its main class \"" + std::u16string(99, u'm') + u"\" is not in the JAR.", 1, 8, 0, huge, false},
      {"Error: Could not find or load main class Launcher\r\n", u"Its main class \"Launcher\" is not in the JAR.", 1,
       8, 0, u"", false},
      {"java.lang.UnsatisfiedLinkError: C:\\x\\swt.dll: Can't load IA 32-bit .dll on a AMD 64-bit platform",
       u"It needs a 32-bit Java."},
      {"Cannot load 32-bit SWT libraries on 64-bit JVM", u"It needs a 32-bit Java."},
      {kBadOptions, u"The environment variable _JAVA_OPTIONS gives Java options that stop it from starting: "
                    u"-Xmx99999999g"},
      {kBadToolOptions, u"The environment variable JDK_JAVA_OPTIONS gives Java options that stop it from starting: "
                        u"-XX:+NoSuchOption"},
      {"Picked up JAVA_TOOL_OPTIONS: " + longOptions + "\r\nError occurred during initialization of VM",
       u"The environment variable JAVA_TOOL_OPTIONS gives Java options that stop it from starting: " +
           std::u16string(100, u'x')},
      {"Picked up _JAVA_OPTIONS: -Xmx1g\n", u"It ended with exit code 1."},  // the options did not stop it
      {kOutOfMemory, u"It ran out of memory."},
      {"Error: Unable to access jarfile C:\\Games\\????.jar\r\n", outsideCodePage, 1, 8, 0, u"", false,
       u"C:\\Games\\????.jar"},
      {kNoMainClass, outsideCodePage, 1, 8, 0, u"app.Missing", true, u"C:\\Games\\????.jar"},  // before the files
      {"Error: Unable to access jarfile C:\\Other\\x.jar\r\n", u"It ended with exit code 1.", 1, 8, 0, u"", false,
       u"C:\\Games\\????.jar"},
      {"", u"It ended with exit code 255.", 255},
      {"", u"It ended with exit code 256 (0x00000100).", 256},
      {"\x01\xff", u"It ended with exit code -1073741515 (0xC0000135).", 0xC0000135},
  };
  const std::set<std::u16string> present = {u"C:\\Games\\Demo\\present.jar"};
  std::vector<std::u16string> asked;
  for (const Case& c : cases) {
    StartFailure failure{OutputText(c.output, environment), c.exitCode, u"Java & 8", c.starterJava, c.requiredJava, c.mainClass,
                         c.classPath ? u"libs/helper.jar  present.jar lib%20%C3%A9/b.jar http://example.com/x.jar "
                                       u"/rooted.jar C:/drive.jar ../up.jar more.jar"
                                     : u"present.jar",
                         u"C:\\Games\\Demo", c.pathReadWrongly};
    const Diagnosis diagnosis = DiagnoseStartFailure(failure, [&](const std::u16string& path) {
      asked.push_back(path);
      return present.count(path) != 0;
    });
    EXPECT_EQ(diagnosis.text, c.expected) << c.output;
    if (diagnosis.kind == FailureKind::NewerJava) {
      EXPECT_NE(diagnosis.requiredJava, 0u);
    }
  }
  // Only plain names, up to the third missing one: four looks for each long "Class-Path", one for each short one.
  EXPECT_EQ(asked.size(), 11u);
  asked.resize(4);
  EXPECT_EQ(asked, (std::vector<std::u16string>{u"C:\\Games\\Demo\\libs\\helper.jar", u"C:\\Games\\Demo\\present.jar",
                                                u"C:\\Games\\Demo\\lib \u00e9\\b.jar", u"C:\\Games\\Demo\\..\\up.jar"}));
}

TEST(StartFailure, OutputIsShownAsTextWhateverTheBytes) {
  MemoryEnvironment environment;  // its code page is Windows-1252
  const std::pair<std::string, std::u16string> cases[] = {
      {"a\nb\r\nc\rd", u"a\r\nb\r\nc\r\nd"},
      {"tab\there\x07\x1b[0m \xe2\x82\xac", u"tab\there\uFFFD\uFFFD[0m \u20ac"},  // UTF-8
      {"\xBC\xE2\x82\xAC", u"\u20ac"},  // UTF-8 whose kept end begins inside a character
      {"C:\\Users\\J\xFCrgen \x80\x81", u"C:\\Users\\J\u00fcrgen \u20ac\uFFFD"},  // not UTF-8: the code page
      {std::string("\xff\xfeO\0K\0\n\0\x3d\xd8", 10), u"OK\r\n\uFFFD"},  // UTF-16, cut mid-pair
      {std::string("E\0r\0r\0", 6), u"Err"},
      {"", u""},
  };
  for (const auto& [bytes, shown] : cases) EXPECT_EQ(OutputText(bytes, environment), shown) << bytes;

  std::string many;
  for (int i = 1; i <= 50; ++i) many += "line " + std::to_string(i) + "\n";
  const std::u16string last = LastLines(OutputText(many, environment), 40);
  EXPECT_TRUE(last.starts_with(u"line 11\r\n")) << ToUtf8(last);
  EXPECT_TRUE(last.ends_with(u"line 50\r\n"));
  EXPECT_EQ(LastLines(u"no line end", 40), u"no line end");
  EXPECT_EQ(LastLines(u"a\r\nb", 1), u"b");
}

}  // namespace
}  // namespace tc
