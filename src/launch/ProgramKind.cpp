// What kind of program a desktop JAR holds: a bounded walk over its class files.
#include "launch/ProgramKind.h"

namespace tc {

// Placeholder until the walk lands: every program is Unknown and starts as before.
ProgramLook LookAtProgram(Files&, const std::u16string&, JarReader&, const AttributeFile&) { return {}; }

}  // namespace tc
