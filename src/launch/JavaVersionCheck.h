// Before a J2SE starter runs a JAR: is the JAR a program at all, is the starter's Java new enough for it, and does
// it include the JavaFX the program uses.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Context.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"

namespace tc {

// A Java runtime's executable: "java.exe" or "javaw.exe".
bool IsJavaRuntime(const std::u16string& executable);
// A Java runtime started on a JAR: its arguments hold "-jar".
bool IsJarStarter(const Starter& starter);

struct JarStarter {
  std::uint32_t slot = 0;
  std::uint32_t java = 0;  // the Java it runs; 0 when unknown
};
// The J2SE starters that run JARs, in slot order.
std::vector<JarStarter> JarStarters(Context& context);

// Whether a starter's Java includes JavaFX: its home's release file lists the modules of today's runtimes, and a
// Java 8 home holds it as lib\ext\jfxrt.jar; nullopt when neither tells.
std::optional<bool> IncludesJavaFx(Files& files, const Starter& starter);

// The newest Java among the J2SE starters that run JARs and pass `fits`, ties to the lowest slot; 0 when none.
std::uint32_t NewestStarter(Context& context, std::uint32_t except, const std::function<bool(const Starter&)>& fits);

// The starter that can run what `chosen` can't: the newest Java of at least `required` (one known to include
// JavaFX first, when the program needs it), then one of the same executable name as the chosen one (a console
// stays a console), then the lowest slot. 0 when there is none.
std::uint32_t BestCompatibleStarter(Context& context, std::uint32_t required, const Starter& chosen,
                                    bool needsJavaFx = false);

// Checks the J2SE starter in `slot` against the archive, before anything is recorded or started: its Java
// version, then JavaFX when the program uses it. The slot to run (this one, or a compatible starter the user
// took instead), or 0 when nothing is to run: the archive is no program (the user is told so) or the user
// cancelled.
std::uint32_t CheckJavaVersion(Context& context, JarReader& jar, const AttributeFile& manifest,
                               const std::u16string& archivePath, std::uint32_t slot, bool usesJavaFx = false);

// Tells the user that the archive is a library or a plug-in, not a program, when its manifest names no main
// class; true when it did.
bool RefuseNonProgram(Context& context, JarReader& jar, const AttributeFile& manifest,
                      const std::u16string& archivePath);

}  // namespace tc
