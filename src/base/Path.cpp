// Windows paths as text.
#include "base/Path.h"

namespace tc {

namespace {

std::u16string_view WithoutTrailingBackslashes(std::u16string_view path) {
  while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  return path;
}

}  // namespace

PathParts SplitPath(std::u16string_view path) {
  const std::size_t separator = path.rfind(u'\\');
  const std::size_t folderEnd = separator == std::u16string_view::npos ? 0 : separator + 1;
  std::size_t dot = path.rfind(u'.');
  if (dot == std::u16string_view::npos || dot < folderEnd) dot = path.size();
  return PathParts{std::u16string(path.substr(0, folderEnd)), std::u16string(path.substr(folderEnd, dot - folderEnd)),
                   std::u16string(path.substr(dot))};
}

std::u16string JoinPath(std::u16string_view first, std::u16string_view second) {
  first = WithoutTrailingBackslashes(first);
  while (!second.empty() && second.front() == u'\\') second.remove_prefix(1);
  std::u16string joined(first);
  joined += u'\\';
  joined += second;
  return joined;
}

std::u16string FileName(std::u16string_view path) {
  const std::size_t separator = path.rfind(u'\\');
  return std::u16string(separator == std::u16string_view::npos ? path : path.substr(separator + 1));
}

std::u16string ParentFolder(std::u16string_view path) {
  const std::size_t separator = path.rfind(u'\\');
  if (separator == std::u16string_view::npos) return {};
  return std::u16string(WithoutTrailingBackslashes(path.substr(0, separator)));
}

}  // namespace tc
