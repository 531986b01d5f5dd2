// Finding the Java homes that today's installers, archives and tools leave on the machine, without running any.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "detect/DetectedStarter.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/VersionInfo.h"

namespace tc {

// For each home (a folder holding bin\javaw.exe) found in the registry, the program folders, the per-user tool
// folders, JAVA_HOME and PATH: a GUI and, where bin\java.exe exists, a Console candidate, unless the list already
// holds that executable.
void DetectJavaHomes(Registry& registry, Files& files, Environment& environment, VersionInfo& versions,
                     DetectedStarterList& list);

}  // namespace tc
