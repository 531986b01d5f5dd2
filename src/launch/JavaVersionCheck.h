// Before a J2SE starter runs a JAR: is the JAR a program at all, is the starter's Java new enough for it, and does
// it include the JavaFX the program uses.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/Context.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"
#include "launch/StartDecision.h"

namespace tc {

// Tells the user that the archive is a library or a plug-in, not a program, when its manifest names no main
// class; true when it did.
bool RefuseNonProgram(Context& context, JarReader& jar, const AttributeFile& manifest,
                      const std::u16string& archivePath);

// What the start decision needs of a desktop JAR: `jar` is the archive at `archivePath`, open, and `manifest` its
// manifest. Its classes are walked (bounded), so this is done once per launch.
ProgramFacts LearnDesktopProgram(Files& files, const std::u16string& archivePath, JarReader& jar,
                                 const AttributeFile& manifest);

// Checks the J2SE starter in `slot` against the program, before anything is recorded or started: its Java
// version, then JavaFX when the program needs the runtime's. The slot to run (this one, or a compatible starter
// the user took instead), or 0 when the user cancelled.
std::uint32_t CheckStarter(Context& context, const ProgramFacts& program, std::uint32_t slot);

}  // namespace tc
