// What a child gets besides its starter's template, for the machine it runs on: Windows' own scaling of its
// windows on a scaled display, and paths it can read through the system's code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Registry.h"

namespace tc {

// The display's scale as the user's settings store it, without asking the window libraries:
// HKEY_CURRENT_USER "Control Panel\Desktop\WindowMetrics", "AppliedDPI"; 96 when it is missing, of another type or
// outside 48-960.
std::uint32_t DisplayDpi(Registry& registry);

// "__COMPAT_LAYER" with Windows' bitmap scaling ("DPIUNAWARE", the layer of the Compatibility tab's "System"
// choice) added to the layers the launcher's own environment holds; nullopt when they hold it already, or when the
// value would be longer than a variable can be.
std::optional<EnvironmentChange> DpiUnawareLayer(Environment& environment);

// The form of a file's path that a program reading its command line in the system's ANSI code page can open: the
// path itself when the code page holds it, else its short (8.3) form when the file system has one that the code
// page holds; nullopt when there is neither.
std::optional<std::u16string> PathForCodePage(Files& files, Environment& environment, const std::u16string& path);

// The path as such a program would read it: each character that the code page can't hold a "?".
std::u16string PathAsCodePageReadsIt(Environment& environment, std::u16string_view path);

}  // namespace tc
