// Starting a desktop Java archive with a J2SE starter.
#pragma once

#include <string>

#include "catalogue/Context.h"

namespace tc {

// The archive is the starter's "%1", the external arguments its "%*"; true when a process was created.
bool LaunchJ2se(Context& context, const std::u16string& archivePath, bool useDefaultAction,
                const std::u16string& externalArguments);

}  // namespace tc
