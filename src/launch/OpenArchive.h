// Opening a JAR: a desktop program goes to a J2SE starter, a MIDlet suite to its descriptor.
#pragma once

#include <string>

#include "catalogue/Context.h"

namespace tc {

bool OpenArchive(Context& context, const std::u16string& archivePath, bool useDefaultAction,
                 const std::u16string& externalArguments);

}  // namespace tc
