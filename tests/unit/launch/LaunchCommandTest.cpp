// The argument template language and the length a child's command line may have.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "launch/LaunchCommand.h"
#include "platform/host/HostPorts.h"

namespace tc {
namespace {

const std::u16string kJava = u"C:\\jre\\bin\\javaw.exe";
const std::u16string kQuotedJava = u"\"C:\\jre\\bin\\javaw.exe\"";
const std::u16string kJar = u"C:\\a b\\x.jar";
const std::u16string kQuotedJar = u"\"C:\\a b\\x.jar\"";
constexpr StarterKind kJ2se = StarterKind::J2se;

struct Expansion {
  std::u16string argumentTemplate;
  std::vector<std::u16string> values;
  std::u16string externalArguments;
  std::u16string expected;  // after the quoted executable
  std::optional<ScreenSize> screen = {};
  StarterKind kind = StarterKind::J2me;
};

TEST(LaunchCommand, ExpandsTemplates) {
  const std::u16string jad = u"C:\\s\\app.jad";
  const Expansion cases[] = {
      // The placeholders of both kinds of starter.
      {u"-jar %1 %*", {kJar}, u"", u" -jar " + kQuotedJar},  // the space before an empty "%*" is taken back
      {u"-jar %1 %*", {kJar}, u"-Xmx64m", u" -jar " + kQuotedJar + u" -Xmx64m"},
      {u"-jar \"%1\"", {kJar}, u"", u" -jar " + kQuotedJar},  // quotes merge on both sides
      {u"-cp %1 Main %3", {kJar}, u"", u" -cp " + kQuotedJar + u" Main "},  // an unset value leaves its space
      {u"-Xdescriptor:%1 -jar:%2", {jad, kJar}, u"", u" -Xdescriptor:\"" + jad + u"\" -jar:" + kQuotedJar},
      {u"-jar %1 %2", {kJar}, u"", u" -jar " + kQuotedJar + u" "},  // "%2" of a J2SE starter is nothing
      {u"%9%8%7%6%5%4%3%2 x", {kJar}, u"", u"  x"},
      // Empty external arguments take back one space, no more, and also the one after the executable.
      {u"", {kJar}, u"", u" "},
      {u"a  %*", {}, u"", u" a "},
      {u"a\t%*", {}, u"", u" a\t"},
      {u"%*", {}, u"", u""},
      {u"%* -v", {}, u"", u" -v"},
      {u"%*", {}, u"\"x y\" z", u" \"x y\" z"},
      // Quoted external arguments.
      {u"\"%*\"", {}, u"x", u" \"x\""},
      {u"\"%*\"", {}, u"\"a b\" c", u" \"a b\" c\""},  // opening quote dropped, closing quote written
      {u"\"%*\"", {}, u"\"a b\"", u" \"a b\""},
      {u"\"%*\"", {}, u"", u" \"\""},
      {u"[%*]", {}, u"\"q\"", u" [\"q\"]"},
      // Percent signs that are no placeholder are copied.
      {u"%0 %% %a 100%", {}, u"", u" %0 %% %a 100%"},
      {u"%%1", {kJar}, u"", u" %" + kQuotedJar},
      {u"%", {}, u"", u" %"},
      // The URL form: every byte outside the unreserved set and "/" ":" as %XX, never quoted, nothing merged.
      {u"-jar \"C:\\e\\freej2me.jar\" %U2", {jad, kJar}, u"", u" -jar \"C:\\e\\freej2me.jar\" file:///C:/a%20b/x.jar"},
      {u"\"%U1\" %U2 %*", {u"C:\\J\u00e4ger\\\u6e38\U0001F3AE.jar"}, u"",
       u" \"file:///C:/J%C3%A4ger/%E6%B8%B8%F0%9F%8E%AE.jar\" "},
      {u"%U1", {u"C:\\R&D #1 (50%)\\a+b~c_d-e.jar"}, u"", u" file:///C:/R%26D%20%231%20%2850%25%29/a%2Bb~c_d-e.jar"},
      {u"%%U1", {u"\\\\srv\\s\\x.jar"}, u"", u" %file://///srv/s/x.jar"},
      {u"a %U1", {u""}, u"", u" a"},  // blank, so the space before it is taken back
      {u"%U0 %U %Ux %u1 %U", {kJar}, u"", u" %U0 %U %Ux %u1 %U"},
      // The game's screen, never quoted; a suite of unknown size has none, so they produce nothing, as "%2" does.
      {u"%U2 %W %H", {jad, kJar}, u"", u" file:///C:/a%20b/x.jar 176 208", ScreenSize{176, 208}},
      {u"-screen %Wx%H \"%W\" %1", {kJar}, u"", u" -screen 240x320 \"240\" " + kQuotedJar, ScreenSize{240, 320}},
      {u"-jar %1 %W %H %w %h", {kJar}, u"", u" -jar " + kQuotedJar + u"   %w %h"},
      // A J2SE template has no screen: "%W" and "%H" are text, as they were.
      {u"-Duser.dir=%HOMEPATH% -jar %1 %W", {kJar}, u"", u" -Duser.dir=%HOMEPATH% -jar " + kQuotedJar + u" %W",
       ScreenSize{240, 320}, kJ2se},
      // Text beyond ASCII goes through as it is.
      {u"-Dname=\u00e9\u4e2d %1", {u"C:\\J\u00e4ger\\\u6e38\u620f.jar"}, u"\u00fc",
       u" -Dname=\u00e9\u4e2d \"C:\\J\u00e4ger\\\u6e38\u620f.jar\""},
  };
  for (const Expansion& c : cases) {
    LaunchCommand command(kJava, c.argumentTemplate, c.kind);
    for (const auto& value : c.values) command.AddQuotedValue(value);
    if (c.screen) command.SetScreenSize(*c.screen);
    EXPECT_EQ(command.CommandLine(c.externalArguments), kQuotedJava + c.expected) << ToUtf8(c.argumentTemplate);
  }
}

// The executable is never merged with what follows it, even when an empty "%*" took the space after it.
TEST(LaunchCommand, KeepsTheExecutableApartFromItsArguments) {
  const Expansion cases[] = {
      {u"%*%1", {kJar}, u"", u" " + kQuotedJar},
      {u"%*\"%1\"", {kJar}, u"", u" " + kQuotedJar},
      {u"%*-jar %1", {kJar}, u"", u" -jar " + kQuotedJar},
      {u"%*%*x", {}, u"", u" x"},
      {u"%* %*", {}, u"", u""},
  };
  for (const Expansion& c : cases) {
    LaunchCommand command(kJava, c.argumentTemplate, c.kind);
    for (const auto& value : c.values) command.AddQuotedValue(value);
    if (c.screen) command.SetScreenSize(*c.screen);
    EXPECT_EQ(command.CommandLine(c.externalArguments), kQuotedJava + c.expected) << ToUtf8(c.argumentTemplate);
  }
}

TEST(LaunchCommand, TheExecutableIsQuotedUnexamined) {
  for (const std::u16string exe : {u"", u"java", u"\"C:\\q\"", u"C:\\Program Files\\emu %1.exe"}) {
    EXPECT_EQ(LaunchCommand(exe, u"", kJ2se).CommandLine(u""), u"\"" + exe + u"\" ");
  }
}

TEST(LaunchCommand, StartHandsTheLineToTheProcessPort) {
  RecordingProcesses processes;
  LaunchCommand command(kJava, u"-jar %1 %*", kJ2se);
  command.AddQuotedValue(kJar);
  EXPECT_TRUE(command.Start(processes, u"a \"b c\""));
  EXPECT_EQ(processes.started, std::vector<std::u16string>{kQuotedJava + u" -jar " + kQuotedJar + u" a \"b c\""});

  processes.succeed = false;
  EXPECT_FALSE(command.Start(processes, u""));
  EXPECT_EQ(processes.started.size(), 2u);
}

// Lines grow as long as a process can be given, and no further.
TEST(LaunchCommand, RefusesLinesLongerThanAProcessTakes) {
  const std::u16string fixed = kQuotedJava + u" ";
  const std::size_t room = kMaxCommandLineLength - fixed.size();
  RecordingProcesses processes;

  // Exactly full, from the template and from the external arguments.
  EXPECT_EQ(LaunchCommand(kJava, std::u16string(room, u'a'), kJ2se).CommandLine(u"")->size(), kMaxCommandLineLength);
  EXPECT_EQ(LaunchCommand(kJava, u"%*", kJ2se).CommandLine(std::u16string(room, u'x'))->size(), kMaxCommandLineLength);
  LaunchCommand full(kJava, u"%1", kJ2se);
  full.AddQuotedValue(std::u16string(room - 2, u'p'));
  EXPECT_TRUE(full.Start(processes, u""));
  EXPECT_EQ(processes.started.back().size(), kMaxCommandLineLength);

  // One character more.
  EXPECT_FALSE(LaunchCommand(kJava, std::u16string(room + 1, u'a'), kJ2se).CommandLine(u""));
  EXPECT_FALSE(LaunchCommand(kJava, u"%*", kJ2se).CommandLine(std::u16string(room + 1, u'x')));
  LaunchCommand over(kJava, u"%1", kJ2se);
  over.AddQuotedValue(std::u16string(room - 1, u'p'));
  processes.started.clear();
  EXPECT_FALSE(over.Start(processes, u""));
  EXPECT_TRUE(processes.started.empty());

  // A line that is one over on the way but loses a space at the end still fits.
  EXPECT_EQ(LaunchCommand(kJava, std::u16string(room, u'a') + u" %*", kJ2se).CommandLine(u"")->size(),
            kMaxCommandLineLength);
}

TEST(LaunchCommand, AHostileTemplateFailsWithoutGrowingWithoutBound) {
  // Ten thousand copies of a 30,000-character argument would be 300 million characters.
  std::u16string manyPlaceholders;
  for (int i = 0; i < 10000; ++i) manyPlaceholders += u"%* ";
  EXPECT_FALSE(LaunchCommand(kJava, manyPlaceholders, kJ2se).CommandLine(std::u16string(30000, u'x')));
  EXPECT_FALSE(LaunchCommand(std::u16string(40000, u'e'), u"", kJ2se).CommandLine(u""));
}

}  // namespace
}  // namespace tc
