// Windows paths as text: joined, combined as the shell does, split into their parts, their file name and the folder
// above. Only the backslash separates folders.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tc {

struct PathParts {
  std::u16string folder;     // up to and with the last backslash; empty without one
  std::u16string baseName;   // from there to the extension
  std::u16string extension;  // from the last dot after the folder, dot included; may be empty
};

PathParts SplitPath(std::u16string_view path);

// Exactly one backslash at the seam.
std::u16string JoinPath(std::u16string_view first, std::u16string_view second);

// What follows the last backslash: "C:\\jre\\bin\\javaw.exe" -> "javaw.exe".
std::u16string FileName(std::u16string_view path);

// PathCombineW: the file's path seen from the folder, "." and ".." folded as text, without looking at the disk;
// nullopt where the shell's function fails or would cut the result short (at MAX_PATH).
std::optional<std::u16string> CombinePath(std::u16string_view folder, std::u16string_view file);

// The folder that holds the path, without trailing backslashes: "C:\\jre\\bin\\javaw.exe" -> "C:\\jre\\bin";
// "" when there is no backslash.
std::u16string ParentFolder(std::u16string_view path);

}  // namespace tc
