// When no Java that can run a program is set up: which Java to get, and getting it with winget or from the
// download page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "catalogue/Context.h"
#include "formats/AttributeFile.h"
#include "formats/JarReader.h"

namespace tc {

// The Java a program needs, as its main class tells; the newest long-term version when the class can't be read.
std::uint32_t RequiredJava(JarReader& jar, const AttributeFile& manifest);

// The Java offered to a program that needs `required`: the oldest long-term version that can run it, or the
// version itself when it is newer than all of them.
std::uint32_t OfferedJava(std::uint32_t required);

// winget.exe on the PATH, else the one of the user's WindowsApps folder; nullopt when there is none.
std::optional<std::u16string> FindWinget(Files& files, Environment& environment);

// The Get Java dialog and what the user chooses in it. The slot of a starter added for the program, to be started
// now, or 0 when nothing is to run.
std::uint32_t GetJava(Context& context, std::uint32_t required);

}  // namespace tc
