// Windows paths as text: only the backslash separates folders.
#include <gtest/gtest.h>

#include "base/Path.h"
#include "base/Text.h"

namespace tc {
namespace {

TEST(Path, TakesWindowsPathsApart) {
  struct Case {
    std::u16string path;
    PathParts parts;
    std::u16string parent;
  };
  const Case cases[] = {
      {u"C:\\a\\game.jar", {u"C:\\a\\", u"game", u".jar"}, u"C:\\a"},
      {u"C:\\a.b\\game", {u"C:\\a.b\\", u"game", u""}, u"C:\\a.b"},  // a dot in a folder is no extension
      {u"C:\\a\\x.tar.gz", {u"C:\\a\\", u"x.tar", u".gz"}, u"C:\\a"},
      {u"C:\\a\\.jad", {u"C:\\a\\", u"", u".jad"}, u"C:\\a"},
      {u"C:\\a\\game.", {u"C:\\a\\", u"game", u"."}, u"C:\\a"},
      {u"C:\\a\\", {u"C:\\a\\", u"", u""}, u"C:\\a"},
      {u"C:\\jre\\bin\\\\javaw.exe", {u"C:\\jre\\bin\\\\", u"javaw", u".exe"}, u"C:\\jre\\bin"},
      {u"game.jad", {u"", u"game", u".jad"}, u""},
      {u"C:/a/game.jar", {u"", u"C:/a/game", u".jar"}, u""},
      {u"\\\\server\\share\\s.jad", {u"\\\\server\\share\\", u"s", u".jad"}, u"\\\\server\\share"},
      {u"", {u"", u"", u""}, u""},
  };
  for (const Case& c : cases) {
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.folder, c.parts.folder) << ToUtf8(c.path);
    EXPECT_EQ(parts.baseName, c.parts.baseName) << ToUtf8(c.path);
    EXPECT_EQ(parts.extension, c.parts.extension) << ToUtf8(c.path);
    EXPECT_EQ(FileName(c.path), c.parts.baseName + c.parts.extension) << ToUtf8(c.path);
    EXPECT_EQ(ParentFolder(c.path), c.parent) << ToUtf8(c.path);
  }
  EXPECT_EQ(ParentFolder(ParentFolder(u"C:\\jre\\bin\\javaw.exe")), u"C:\\jre");
}

TEST(Path, JoinsWithExactlyOneBackslashAtTheSeam) {
  EXPECT_EQ(JoinPath(u"C:\\Java\\jre6\\", u"bin\\javaw.exe"), u"C:\\Java\\jre6\\bin\\javaw.exe");
  EXPECT_EQ(JoinPath(u"C:\\Java\\\\", u"\\\\bin"), u"C:\\Java\\bin");
  EXPECT_EQ(JoinPath(u"", u"bin"), u"\\bin");
  EXPECT_EQ(JoinPath(u"C:", u""), u"C:\\");
}

}  // namespace
}  // namespace tc
