// Windows paths as text.
#include "base/Path.h"

#include <algorithm>

namespace tc {

namespace {

std::u16string_view WithoutTrailingBackslashes(std::u16string_view path) {
  while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  return path;
}

constexpr std::size_t kMaxPath = 260;  // MAX_PATH, the size of PathCombineW's buffer

// PathIsUNCServerShareW on a path that ends in a backslash: "\\server\" but not "\\server\share\".
bool IsServerOnly(std::u16string_view path) {
  if (path.size() < 2 || path[0] != u'\\' || path[1] != u'\\') return false;
  return std::count(path.begin() + 2, path.end(), u'\\') == 1;
}

// PathCanonicalizeW: folds ".\" and "\.." in the shell's way. (Wine's own reads past the end of its input when a
// closing ".." climbs above the start of a relative path, "a\..".)
std::u16string Canonicalize(std::u16string_view path) {
  if (path.empty()) return u"\\";
  std::u16string out;
  std::size_t i = 0;
  if (path[0] == u'\\') {
    out += path[i++];
  } else if (path.size() > 1 && path[1] == u':') {
    out += path.substr(0, 2);
    i = 2;
    if (i < path.size() && path[i] == u'\\') out += path[i++];
  }
  while (i < path.size()) {
    const char16_t next = i + 1 < path.size() ? path[i + 1] : u'\0';
    if (path[i] != u'.') {
      out += path[i++];
    } else if (next == u'\\' && (i == 0 || path[i - 1] == u'\\' || path[i - 1] == u':')) {
      i += 2;  // ".\"
    } else if (next == u'.' && !out.empty() && out.back() == u'\\') {
      // "\.." removes the name before it, but not a drive or a "\\server" root.
      std::size_t end = out.size();
      if (end > 1 && (out[end - 2] != u'\\' || end > 2)) {
        if (out[end - 2] == u':' && (end > 3 || (end == 3 && out[0] == u':'))) {
          end -= 2;
          while (end > 0 && out[end] != u'\\') --end;
          end = out[end] == u'\\' ? end + 1 : 0;
        } else if (out[end - 2] != u':' && !IsServerOnly(out)) {
          end -= 2;
        }
      }
      while (end > 0 && (end >= out.size() || out[end] != u'\\')) --end;
      out.resize(end);
      if (end == 0) {
        out += u'\\';
        ++i;
      }
      i += 2;
    } else {
      out += path[i++];
    }
  }
  if (out.size() == 2 && out[1] == u':') out += u'\\';
  return out;
}

// PathStripToRootW: "C:\", "\\server\share", "\", or nothing for a relative path.
std::u16string RootOf(std::u16string_view path) {
  if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
    const std::size_t server = path.find(u'\\', 2);
    if (server == std::u16string_view::npos) return std::u16string(path);
    return std::u16string(path.substr(0, path.find(u'\\', server + 1)));
  }
  if (path.size() >= 2 && path[1] == u':') return std::u16string(path.substr(0, 2)) + u"\\";
  if (!path.empty() && path[0] == u'\\') return u"\\";
  return u"";
}

bool IsRelative(std::u16string_view path) {
  return path.empty() || !(path[0] == u'\\' || (path.size() > 1 && path[1] == u':'));
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

std::optional<std::u16string> CombinePath(std::u16string_view folder, std::u16string_view file) {
  // PathCombineW would cut an over-long input short without a word, and stop at a NUL; both are refused instead.
  if (folder.size() >= kMaxPath || file.size() >= kMaxPath) return std::nullopt;
  if (folder.find(u'\0') != std::u16string_view::npos || file.find(u'\0') != std::u16string_view::npos) {
    return std::nullopt;
  }
  std::u16string combined;
  if (file.empty()) {
    combined = folder;
  } else if (folder.empty() || !IsRelative(file)) {
    const bool rootRelative = file[0] == u'\\' && !(file.size() > 1 && file[1] == u'\\');
    if (folder.empty() || !rootRelative) {
      combined = file;
    } else {
      // "\name" goes to the root of the folder's drive or share.
      combined = RootOf(folder);
      if (!combined.empty() && combined.back() != u'\\') combined += u'\\';
      combined += file.substr(1);
    }
  } else {
    combined = folder;
    if (combined.back() != u'\\') combined += u'\\';
    combined += file;
  }
  if (combined.size() >= kMaxPath) return std::nullopt;
  return Canonicalize(combined);
}

std::u16string ParentFolder(std::u16string_view path) {
  const std::size_t separator = path.rfind(u'\\');
  if (separator == std::u16string_view::npos) return {};
  return std::u16string(WithoutTrailingBackslashes(path.substr(0, separator)));
}

}  // namespace tc
