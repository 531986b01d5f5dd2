// How a program starts, decided in one place from what the launch learned.
#include "launch/StartDecision.h"

#include "formats/ExecutableHeader.h"

namespace tc {

bool NeedsRuntimeJavaFx(const ProgramFacts& program) {
  return program.look.usesJavaFx && !program.look.bringsJavaFx && !program.javaFxOnClassPath;
}

StartPlan DecideStart(const ProgramFacts& program, const StarterFacts& starter) {
  const ProgramKind kind = program.runs == RunsIn::Console  ? ProgramKind::Console
                           : program.runs == RunsIn::Window ? ProgramKind::Window
                                                            : program.look.kind;
  StartPlan plan;

  // Only a Java runtime that runs the JAR itself can be held to what the program needs.
  if (program.desktop && starter.jarStarter) {
    if (starter.java != 0 && starter.java < program.requiredJava) {
      // Told first: a Java that is too old may lack JavaFX too, and the starter offered then fits both.
      plan.check = StartCheck::TooOldJava;
    } else if (NeedsRuntimeJavaFx(program) && starter.javaFx == false) {
      plan.check = StartCheck::LacksJavaFx;
    }
  }

  if (program.desktop && starter.consoleExecutable && (starter.consoleJava || kind == ProgramKind::Console)) {
    plan.way = StartWay::KeptConsole;
  } else if (starter.subsystem == kSubsystemWindowsGui) {
    plan.way = StartWay::Watched;
    // A window program that ends at once has often handed over to another process of itself: it stays silent.
    plan.explainQuietEnd = program.desktop && kind == ProgramKind::Unknown;
  }

  // Java 9 and later, and JavaFX since Java 8, scale themselves; a program for the console shows no window.
  constexpr std::uint32_t kLastUnscaledJava = 8;
  const bool scaledDisplay = program.desktop && starter.javaRuntime && program.displayDpi > kNormalDpi;
  switch (program.scaling) {
    case Scaling::Automatic:
      plan.scaledByWindows = scaledDisplay && starter.java != 0 && starter.java <= kLastUnscaledJava &&
                             kind != ProgramKind::Console && !program.look.usesJavaFx;
      break;
    case Scaling::ByWindows:
      plan.scaledByWindows = scaledDisplay;
      break;
    case Scaling::ProgramsOwn:
      break;
  }
  return plan;
}

ZoneAnswer DecideZone(Zone zone, FromTheInternet policy) {
  switch (zone) {
    case Zone::Unmarked:
    case Zone::LocalMachine:
    case Zone::Intranet:
    case Zone::TrustedSites:
      return ZoneAnswer::Start;
    case Zone::RestrictedSites:
      return ZoneAnswer::RefuseRestricted;
    case Zone::Internet:
    case Zone::Unreadable:  // the file was marked, so it came from somewhere: asked about rather than started
      break;
  }
  switch (policy) {
    case FromTheInternet::NeverStart: return ZoneAnswer::RefuseByPolicy;
    case FromTheInternet::StartWithoutAsking: return ZoneAnswer::Start;
    case FromTheInternet::Ask: break;
  }
  return ZoneAnswer::Ask;
}

}  // namespace tc
