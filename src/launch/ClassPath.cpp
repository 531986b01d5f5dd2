// The files a JAR's manifest "Class-Path" names beside it.
#include "launch/ClassPath.h"

#include <algorithm>
#include <utility>

#include "base/Path.h"
#include "launch/ArchiveAddress.h"

namespace tc {

namespace {

// A "Class-Path" longer than any program's is not walked to its end: each name costs a look at the disk.
constexpr std::size_t kMaxClassPathNames = 4096;

}  // namespace

// Only plain relative names are kept: an address with a scheme, a rooted path or a drive is nothing a JAR can
// bring along.
std::vector<ClassPathFile> ClassPathFiles(std::u16string_view classPath, std::u16string_view archiveFolder) {
  std::vector<ClassPathFile> files;
  std::u16string_view rest = classPath;
  for (std::size_t examined = 0; !rest.empty() && examined < kMaxClassPathNames;) {
    const std::size_t end = std::min(rest.find_first_of(u" \t"), rest.size());
    const std::u16string_view entry = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (entry.empty()) continue;
    ++examined;
    std::u16string name = DecodePercentEscapes(entry);
    if (HasScheme(name) || name.front() == u'/' || name.front() == u'\\' ||
        name.find_first_of(u":*?\"<>|") != std::u16string::npos) {
      continue;
    }
    std::u16string relative = name;
    std::replace(relative.begin(), relative.end(), u'/', u'\\');
    files.push_back({std::move(name), JoinPath(archiveFolder, relative)});
  }
  return files;
}

}  // namespace tc
