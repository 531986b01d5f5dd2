// How a program starts, decided in one place: the launch flows learn the facts about the program and the starter,
// this says what follows from them, and the flows carry it out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/FileOptions.h"
#include "catalogue/Policies.h"
#include "launch/ProgramKind.h"

namespace tc {

// 100%: what a program that knows nothing of scaling draws for.
constexpr std::uint32_t kNormalDpi = 96;

// What the launch learned about the program it opens.
struct ProgramFacts {
  bool desktop = false;            // a desktop JAR; false for a MIDlet suite
  ProgramLook look;                // what the walk over its classes found
  std::uint32_t requiredJava = 0;  // the Java its main class needs; 0 for any Java, or when unknown
  bool javaFxOnClassPath = false;  // its Class-Path names JavaFX's own JARs
  std::uint32_t displayDpi = kNormalDpi;  // the scale of the display it will show on
  RunsIn runs = RunsIn::AsJudged;          // what the user said of it, over the walk's judgement
  Scaling scaling = Scaling::Automatic;
};

// What the launch learned about the starter about to run it.
struct StarterFacts {
  bool javaRuntime = false;  // java.exe or javaw.exe
  bool jarStarter = false;   // a Java runtime given "-jar": the program's needs can be checked against its Java
  std::uint16_t subsystem = 0;  // of its executable; 0 when that can't be read
  bool consoleJava = false;     // a console java.exe, which makes a console whatever it runs
  // What runs the program in a console: the starter's executable when it is a console program, the java.exe
  // beside a javaw.exe; nullopt when there is none.
  std::optional<std::u16string> consoleExecutable;
  std::uint32_t java = 0;            // the Java it runs; 0 when unknown
  std::optional<bool> javaFx;        // whether that Java includes JavaFX; nullopt when nothing tells
};

// What the user is told before the start, so that they can choose another starter.
enum class StartCheck { None, TooOldJava, LacksJavaFx };

enum class StartWay {
  Plain,        // started and left alone: a console program writes into its own console
  Watched,      // a window program, watched for its first seconds so that a failure can be explained
  KeptConsole,  // in the launcher's own console, which stays after the program has ended
};

struct StartPlan {
  StartCheck check = StartCheck::None;
  StartWay way = StartWay::Plain;
  // A watched program that ends at once and well, having written something, may be one for the command line
  // that the look could not tell: what it wrote is shown, with its console when there is one.
  bool explainQuietEnd = false;
  // Windows scales its windows as bitmaps: a Java 8 window program would otherwise come up at half its size on a
  // scaled display, since Java 8 tells Windows it scales itself and then does not.
  bool scaledByWindows = false;
};

// JavaFX that the program uses and does not bring along: only a runtime that includes it can run the program.
bool NeedsRuntimeJavaFx(const ProgramFacts& program);

StartPlan DecideStart(const ProgramFacts& program, const StarterFacts& starter);

// Where Windows says a file came from: the ZoneId of its Zone.Identifier stream.
enum class Zone {
  Unmarked,         // no stream: made here, or saved by a program that marks nothing
  LocalMachine,     // 0
  Intranet,         // 1
  TrustedSites,     // 2
  Internet,         // 3
  RestrictedSites,  // 4
  Unreadable,       // a stream whose ZoneId can't be read
};

enum class ZoneAnswer {
  Start,             // nothing asked
  Ask,               // the security warning decides
  RefuseRestricted,  // a restricted site's file never starts
  RefuseByPolicy,    // the organisation allows nothing from the internet
};

// What a desktop JAR's zone means for its start. Only a desktop JAR is judged so: a MIDlet suite's emulator runs it
// in the MIDP sandbox.
ZoneAnswer DecideZone(Zone zone, FromTheInternet policy);

}  // namespace tc
