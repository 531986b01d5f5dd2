// Starting a desktop Java archive with a J2SE starter.
#pragma once

#include <string>

#include "catalogue/Context.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"

namespace tc {

// The archive is the starter's "%1", the external arguments its "%*" (after the file's own); true when a process
// was created. `jar` is the archive, open, and `manifest` its manifest: a starter that can't run the archive is
// caught before it starts. `inConsole`: it runs in the launcher's console whatever the walk judges.
bool LaunchJ2se(Context& context, const std::u16string& archivePath, JarReader& jar, const AttributeFile& manifest,
                bool useDefaultAction, const std::u16string& externalArguments, bool inConsole = false);

}  // namespace tc
