// Opening a JAR: a desktop program goes to a J2SE starter, a MIDlet suite to its descriptor.
#pragma once

#include <string>

#include "catalogue/Context.h"

namespace tc {

// `inConsole`: a desktop program runs in the launcher's console whatever the walk judges; a MIDlet suite opens as
// without it.
bool OpenArchive(Context& context, const std::u16string& archivePath, bool useDefaultAction,
                 const std::u16string& externalArguments, bool inConsole = false);

}  // namespace tc
