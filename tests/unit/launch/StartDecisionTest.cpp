// How a program starts, as one table: the program and the starter in, the checks and the way out.
#include <gtest/gtest.h>

#include "formats/ExecutableHeader.h"
#include "launch/StartDecision.h"

namespace tc {
namespace {

TEST(DecideStart, EachCaseStartsItsWay) {
  constexpr std::uint16_t kGui = kSubsystemWindowsGui, kConsole = kSubsystemWindowsConsole;
  StarterFacts javaw{true, true, kGui, false, u"C:\\jdk\\bin\\java.exe", 17, false};
  StarterFacts javaConsole{true, true, kConsole, true, u"C:\\jdk\\bin\\java.exe", 17, false};
  StarterFacts javawAlone = javaw;
  javawAlone.consoleExecutable.reset();
  StarterFacts emulator{false, false, kGui, false, std::nullopt, 0, std::nullopt};
  struct Case {
    const char* what;
    ProgramKind kind;
    StarterFacts starter;
    StartPlan expected;
    bool desktop = true;
    RunsIn runs = RunsIn::AsJudged;
    std::uint32_t required = 0;
    bool javaFx = false;
  };
  const Case cases[] = {
      {"a window program is watched", ProgramKind::Window, javaw, {StartCheck::None, StartWay::Watched}},
      {"one not judged is explained when it ends quietly", ProgramKind::Unknown, javaw,
       {StartCheck::None, StartWay::Watched, true}},
      {"a console program in the kept console", ProgramKind::Console, javaw, {StartCheck::None, StartWay::KeptConsole}},
      {"there, unless no console twin", ProgramKind::Console, javawAlone, {StartCheck::None, StartWay::Watched}},
      {"a console java.exe keeps every program", ProgramKind::Window, javaConsole,
       {StartCheck::None, StartWay::KeptConsole}},
      {"the user's console over the judgement", ProgramKind::Window, javaw, {StartCheck::None, StartWay::KeptConsole},
       true, RunsIn::Console},
      {"the user's window over the judgement", ProgramKind::Console, javaw, {StartCheck::None, StartWay::Watched},
       true, RunsIn::Window},
      {"too old a Java is told", ProgramKind::Window, javaw, {StartCheck::TooOldJava, StartWay::Watched}, true,
       RunsIn::AsJudged, 21},
      {"JavaFX missing is told", ProgramKind::Window, javaw, {StartCheck::LacksJavaFx, StartWay::Watched}, true,
       RunsIn::AsJudged, 0, true},
      {"the version first", ProgramKind::Window, javaw, {StartCheck::TooOldJava, StartWay::Watched}, true,
       RunsIn::AsJudged, 21, true},
      {"a MIDlet suite's emulator is watched, never checked", ProgramKind::Unknown, emulator,
       {StartCheck::None, StartWay::Watched}, false, RunsIn::Console, 21},
      {"a console emulator is left alone", ProgramKind::Unknown, {false, false, kConsole, false, std::nullopt, 0, std::nullopt}, {}, false},
  };
  for (const Case& c : cases) {
    ProgramFacts program;
    program.desktop = c.desktop;
    program.look.kind = c.kind;
    program.look.usesJavaFx = c.javaFx;
    program.requiredJava = c.required;
    program.runs = c.runs;
    const StartPlan plan = DecideStart(program, c.starter);
    EXPECT_EQ(plan.check, c.expected.check) << c.what;
    EXPECT_EQ(plan.way, c.expected.way) << c.what;
    EXPECT_EQ(plan.explainQuietEnd, c.expected.explainQuietEnd) << c.what;
  }
}

}  // namespace
}  // namespace tc
