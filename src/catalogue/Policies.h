// What an organisation turns off or decides for its users: the values Group Policy writes under Software\Policies.
#pragma once

#include <cstdint>

#include "platform/Registry.h"

namespace tc {

// The FilesFromTheInternet policy: what becomes of a desktop JAR that Windows marks as coming from the internet.
enum class FromTheInternet : std::uint32_t { Ask = 0, NeverStart = 1, StartWithoutAsking = 2 };

struct Policies {
  bool disableUpdateCheck = false;   // "Check for Updates..." makes no request
  bool disableJavaDownload = false;  // Java is never offered for download or installation
  FromTheInternet filesFromTheInternet = FromTheInternet::Ask;
};

// HKEY_LOCAL_MACHINE "Software\Policies\Tessaly\Corvalo", then the same key of the current user; a value the
// machine sets wins. Only REG_DWORD values count; a missing one is 0, and so is a number no choice has.
Policies ReadPolicies(Registry& registry);

}  // namespace tc
