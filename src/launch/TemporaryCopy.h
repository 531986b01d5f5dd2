// Path parts, and the one pair of temporary files a MIDlet suite is started from when its own can't be used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "catalogue/Context.h"

namespace tc {

inline constexpr char16_t kTemporaryDescriptorName[] = u"qvo_temp.jad";
inline constexpr char16_t kTemporaryArchiveName[] = u"qvo_temp.jar";

struct PathParts {
  std::u16string folder;     // up to and with the last backslash; empty without one
  std::u16string baseName;   // from there to the extension
  std::u16string extension;  // from the last dot after the folder, dot included; may be empty
};

// Only the backslash separates folders.
PathParts SplitPath(std::u16string_view path);

struct TemporaryCopy {
  std::u16string descriptorPath;  // "qvo_temp.jad" in the temporary folder, not written yet
  std::u16string archivePath;     // "qvo_temp.jar" in the temporary folder, a copy of the archive
  std::u16string archiveName;     // "qvo_temp.jar", for the descriptor's relative "MIDlet-Jar-URL"
};

// Copies the archive over "qvo_temp.jar" in the user's temporary folder (its long form), making that file
// writable first. On failure the message has been shown.
std::optional<TemporaryCopy> CopyToTemporaryFolder(Context& context, const std::u16string& archivePath);

}  // namespace tc
