// What a Java home tells about itself without being run: its `release` file and its version numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace tc {

struct JavaRelease {
  std::u16string version;      // JAVA_VERSION, quotes removed; "" when absent
  std::u16string implementor;  // IMPLEMENTOR, quotes removed; "" when absent
};

// Reads HOME\release (KEY="value" lines), at most its first 64 KiB; nullopt when there is no such file.
std::optional<JavaRelease> ReadJavaRelease(Files& files, const std::u16string& home);

// The Java major version a version text names: "1.8.0_202" -> 8, "17.0.9" -> 17, "21" -> 21; 0 when it names none.
unsigned JavaMajorVersion(std::u16string_view version);

}  // namespace tc
