// What the launcher knows of a starter before it runs it (its Java, its JavaFX, its console), and which J2SE starter
// can run a program that the chosen one can't.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Context.h"
#include "launch/StartDecision.h"

namespace tc {

// A Java runtime's executable: "java.exe" or "javaw.exe".
bool IsJavaRuntime(const std::u16string& executable);
// A Java runtime started on a JAR: its arguments hold "-jar".
bool IsJarStarter(const Starter& starter);

// Reads what the start decision needs of the starter from its files: its executable's header, its Java home.
StarterFacts LearnStarter(Context& context, const Starter& starter);

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

}  // namespace tc
