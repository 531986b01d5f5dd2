// Starting the chosen starter: the choice recorded, the child started, a window program watched for its first
// seconds, so that one that stops at once is explained with a way forward, and a command-line program run in a
// console that stays open after it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Context.h"
#include "launch/GameScreenSize.h"
#include "launch/StartDecision.h"

namespace tc {

// What a launch starts.
struct Launch {
  std::vector<std::u16string> values;  // "%1", "%2", ...
  std::u16string externalArguments;    // "%*"
  std::u16string openedFile;           // the file the user opened, as the start failure dialog names it
  std::u16string archive;              // a desktop JAR, whose manifest explains a failure; "" for a MIDlet suite
  ProgramFacts program;                // what the launch learned of the program
  std::optional<ScreenSize> screen = {};  // "%W" and "%H": a MIDlet suite's screen
  std::u16string javaOptions = {};        // what a Java runtime gets before the template's arguments
};

// Records the slot as the kind's last action and starts its starter; true when a process was created.
bool StartStarter(Context& context, StarterKind kind, std::uint32_t slot, const Launch& launch);

}  // namespace tc
