// The program's registration with Windows, for the current user or for everyone on the computer, as the installer
// makes and removes it.
#pragma once

#include "platform/Platform.h"
#include "platform/Registry.h"

namespace tc {

// Offers the running program for .jar and .jad files ("Open with", Default apps) without taking them from
// another program: under HKEY_CURRENT_USER for the user, under HKEY_LOCAL_MACHINE for everyone. Returns how many
// writes were refused.
int RegisterProgram(Platform& platform, RegistryRoot root);

// Removes the registration from the root, leaving alone whatever other programs have set in the shared keys
// since. Returns how many deletes were refused.
int UnregisterProgram(Platform& platform, RegistryRoot root);

}  // namespace tc
