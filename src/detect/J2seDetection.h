// Finding the Java runtimes and development kits registered on the machine.
#pragma once

#include <cstdint>
#include <string>

#include "detect/DetectedStarter.h"
#include "platform/Registry.h"
#include "platform/VersionInfo.h"

namespace tc {

// The arguments of every J2SE candidate: the desktop .jar and whatever follows it.
inline constexpr char16_t kJarArguments[] = u"-jar %1 %*";

// A GUI and a Console candidate for each registered JRE, JRE inside a JDK, and JDK.
void DetectJ2seStarters(Registry& registry, Files& files, VersionInfo& versions, DetectedStarterList& list);

void AddJavaCandidate(Files& files, VersionInfo& versions, DetectedStarterList& list, std::u16string_view groupFormat,
                      std::int32_t rank, std::u16string_view nameFormat, const std::u16string& executable,
                      const std::u16string& key);

}  // namespace tc
