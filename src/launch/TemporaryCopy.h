// The one pair of temporary files a MIDlet suite is started from when its own can't be used.
#pragma once

#include <optional>
#include <string>

#include "catalogue/Context.h"

namespace tc {

inline constexpr char16_t kTemporaryDescriptorName[] = u"qvo_temp.jad";
inline constexpr char16_t kTemporaryArchiveName[] = u"qvo_temp.jar";

struct TemporaryCopy {
  std::u16string descriptorPath;  // "qvo_temp.jad" in the temporary folder, not written yet
  std::u16string archivePath;     // "qvo_temp.jar" in the temporary folder, a copy of the archive
  std::u16string archiveName;     // "qvo_temp.jar", for the descriptor's relative "MIDlet-Jar-URL"
};

// Copies the archive over "qvo_temp.jar" in the user's temporary folder (its long form), making that file
// writable first. On failure the message has been shown.
std::optional<TemporaryCopy> CopyToTemporaryFolder(Context& context, const std::u16string& archivePath);

}  // namespace tc
