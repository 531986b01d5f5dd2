// Opening a JAD descriptor: checked against its archive, repaired if the user wants, started with a J2ME starter.
#pragma once

#include <string>

#include "catalogue/Context.h"

namespace tc {

bool OpenDescriptor(Context& context, const std::u16string& descriptorPath, bool useDefaultAction,
                    const std::u16string& externalArguments);

}  // namespace tc
