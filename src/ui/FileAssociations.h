// The program's registration with Windows for the current user, as the installer makes and removes it.
#pragma once

#include "platform/Platform.h"

namespace tc {

// Offers the running program for .jar and .jad files ("Open with", Default apps) without taking them from
// another program; false when a key could not be written.
bool RegisterProgram(Platform& platform);

// Removes the registration, leaving alone whatever other programs have set in the shared keys since.
void UnregisterProgram(Platform& platform);

}  // namespace tc
