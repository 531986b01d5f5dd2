// Opening a JAR: a desktop program goes to a J2SE starter, a MIDlet suite to its descriptor.
#pragma once

#include <optional>
#include <string>

#include "catalogue/Context.h"

namespace tc {

// `inConsole`: a desktop program runs in the launcher's console whatever the walk judges; a MIDlet suite opens as
// without it.
bool OpenArchive(Context& context, const std::u16string& archivePath, bool useDefaultAction,
                 const std::u16string& externalArguments, bool inConsole = false);

// The kind of starter a JAR or JAD file runs with, judged as opening it judges: a descriptor is J2ME, an archive is
// J2SE unless its manifest describes a MIDlet suite. nullopt, after the launch path's message, when the file can't
// be read or the archive has no manifest.
std::optional<StarterKind> JavaFileKind(Context& context, const std::u16string& path);

}  // namespace tc
