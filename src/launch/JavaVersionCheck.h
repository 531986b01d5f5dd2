// Before a J2SE starter runs a JAR: does the JAR name its main class, and is the starter's Java new enough for it.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/Context.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"

namespace tc {

// A Java runtime started on a JAR: its executable is "java.exe" or "javaw.exe", its arguments hold "-jar".
bool IsJarStarter(const Starter& starter);

// Checks the J2SE starter in `slot` against the archive, before anything is recorded or started. The slot to
// run (this one, or a compatible starter the user took instead), or 0 when nothing is to run: the archive is a
// library (the user is told so) or the user cancelled.
std::uint32_t CheckJavaVersion(Context& context, JarReader& jar, const AttributeFile& manifest,
                               const std::u16string& archivePath, std::uint32_t slot);

}  // namespace tc
