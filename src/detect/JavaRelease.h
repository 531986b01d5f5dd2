// Which Java this is, told without running it: a home's `release` file, an executable's "Full Version", the
// registry's version keys, and the major version they come to.
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

// The version resource's "Full Version" of the first translation, up to its first "-"; "" when there is none.
std::u16string FullVersion(VersionInfo& versions, const std::u16string& executable);
std::u16string FullVersion(const VersionResource& resource);

// The two rules for the name of a version key, the registry subkey an installation is listed under. The registered
// runtimes' keys hold family keys ("1.6") beside the installations' own ("1.6.0_20"); a family key moves to each
// new update, so only a key of three numbers or more names one installation. Today's installers give each
// installation one key, named after its version in as many numbers as they like ("21", "21.0.5.11").
bool IsRegisteredRuntimeVersionKey(std::u16string_view key);
bool IsInstallerVersionKey(std::u16string_view key);

// A registered runtime's label: its executable's full version, else the key's name by the registered runtimes'
// rule; "" when neither tells.
std::u16string VersionLabel(VersionInfo& versions, const std::u16string& executable, const std::u16string& key);
// A Java home's version: its release file's JAVA_VERSION, else java.exe's full version up to "+", else the key's
// name by today's installers' rule; "" when none is a version.
std::u16string HomeVersion(VersionInfo& versions, const std::optional<JavaRelease>& release,
                           const std::u16string& console, const std::u16string& key);
// A release file or a version resource can hold anything; only a short printable text names a vendor or version.
bool IsPrintableLabel(std::u16string_view text);

// The Java major version an executable of a Java home runs, found without running it: the `release` file of the
// folder above the executable's, else its "Full Version", else its fixed file version; 0 when none tells.
std::uint32_t JavaRuntimeVersion(Files& files, VersionInfo& versions, const std::u16string& executable);

// The Java major version a version text names: "1.8.0_202" -> 8, "17.0.9" -> 17, "21" -> 21; 0 when it names none.
unsigned JavaMajorVersion(std::u16string_view version);

}  // namespace tc
