// Opening a JAD descriptor: checked against its archive, repaired if the user wants, started with a J2ME starter.
#pragma once

#include <string>

#include "catalogue/Context.h"

namespace tc {

// `openedFile` is what the user opened when that was not the descriptor itself (a MIDlet JAR).
bool OpenDescriptor(Context& context, const std::u16string& descriptorPath, bool useDefaultAction,
                    const std::u16string& externalArguments, const std::u16string& openedFile = {});

}  // namespace tc
