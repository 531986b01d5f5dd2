// What a Java home tells about itself without being run: its `release` file and its version numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"
#include "platform/VersionInfo.h"

namespace tc {

struct JavaRelease {
  std::u16string version;      // JAVA_VERSION, quotes removed; "" when absent
  std::u16string implementor;  // IMPLEMENTOR, quotes removed; "" when absent
  std::u16string modules;      // MODULES, quotes removed: the module names, separated by blanks; "" when absent
};

// Reads HOME\release (KEY="value" lines), at most its first 64 KiB; nullopt when there is no such file.
std::optional<JavaRelease> ReadJavaRelease(Files& files, const std::u16string& home);

// The Java major version an executable of a Java home runs, found without running it: the `release` file of the
// folder above the executable's, else its "Full Version", else its fixed file version; 0 when none tells.
std::uint32_t JavaRuntimeVersion(Files& files, VersionInfo& versions, const std::u16string& executable);

// The Java major version a version text names: "1.8.0_202" -> 8, "17.0.9" -> 17, "21" -> 21; 0 when it names none.
unsigned JavaMajorVersion(std::u16string_view version);

}  // namespace tc
