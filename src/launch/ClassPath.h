// The files a JAR's manifest "Class-Path" names beside it: what the walk over a program's classes opens, and what
// the diagnosis of a failed start looks for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tc {

// A file a "Class-Path" names: the name as written (escapes decoded), and its path beside the archive.
struct ClassPathFile {
  std::u16string name;
  std::u16string path;
};

// The files a manifest's "Class-Path" names beside the archive in `archiveFolder`, in its order; only so many
// names are looked at, whatever its length.
std::vector<ClassPathFile> ClassPathFiles(std::u16string_view classPath, std::u16string_view archiveFolder);

}  // namespace tc
