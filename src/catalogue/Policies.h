// What an organisation turns off for its users: the values Group Policy writes under Software\Policies.
#pragma once

#include "platform/Registry.h"

namespace tc {

struct Policies {
  bool disableUpdateCheck = false;   // "Check for Updates..." makes no request
  bool disableJavaDownload = false;  // Java is never offered for download or installation
};

// HKEY_LOCAL_MACHINE "Software\Policies\Tessaly\Corvalo", then the same key of the current user; a value the
// machine sets wins. Only REG_DWORD values count; a missing one is 0.
Policies ReadPolicies(Registry& registry);

}  // namespace tc
