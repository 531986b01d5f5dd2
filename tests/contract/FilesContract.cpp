// The file-system contract, and its run against the in-memory file system.
#include "contract/FilesContract.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/Text.h"
#include "platform/host/MemoryFiles.h"

namespace tc {

void FilesContract::SetUp() {
  adapter = GetParam().make();
  ASSERT_TRUE(adapter);
  files = &adapter->Port();
  scratch = adapter->Scratch();
  ASSERT_TRUE(files->Attributes(scratch));
}

bool FilesContract::Write(const std::u16string& name, std::string_view text) {
  return files->WriteFile(scratch + name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string FilesContract::Read(const std::u16string& name) {
  const std::unique_ptr<FileReader> reader = files->OpenForReading(scratch + name);
  const std::optional<std::uint64_t> size = reader ? reader->Size() : std::nullopt;
  if (!size) return "<unreadable>";
  std::string text(static_cast<size_t>(*size), '\0');
  size_t done = 0;
  while (done < text.size()) {
    const auto got = reader->ReadAt(done, reinterpret_cast<std::uint8_t*>(text.data()) + done, text.size() - done);
    if (!got || *got == 0) return "<unreadable>";
    done += *got;
  }
  return text;
}

namespace {

bool IsFolder(const std::optional<std::uint32_t>& attributes) {
  return attributes && (*attributes & attribute::kDirectory);
}
bool IsReadOnly(const std::optional<std::uint32_t>& attributes) {
  return attributes && (*attributes & attribute::kReadOnly);
}

// The names a search found, as a set: the order of the entries is the file system's.
std::vector<std::string> NameSet(const std::vector<FolderEntry>& entries) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) names.push_back(ToUtf8(entry.name));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

std::u16string WithoutLastSeparator(const std::u16string& folder) { return folder.substr(0, folder.size() - 1); }

}  // namespace

TEST_P(FilesContract, FullPathFoldsAbsolutePaths) {
  const struct {
    const char16_t* path;
    const char16_t* full;
  } cases[] = {
      {u"C:\\a\\b\\..\\c", u"C:\\a\\c"},
      {u"C:\\a\\.\\b", u"C:\\a\\b"},
      {u"C:\\..", u"C:\\"},
      {u"C:\\a\\..\\..\\..\\b", u"C:\\b"},
      {u"C:\\S60\\devices\\S60_3rd_MIDP\\..", u"C:\\S60\\devices"},
      {u"C:/a/b", u"C:\\a\\b"},
      {u"C:\\a\\\\b", u"C:\\a\\b"},
      {u"C:\\a\\b\\", u"C:\\a\\b\\"},
      {u"C:\\a\\b\\.", u"C:\\a\\b"},
      {u"C:\\a\\b\\..", u"C:\\a"},
      // The last name loses its trailing dots and spaces, a name inside the path one trailing dot.
      {u"C:\\a\\b.", u"C:\\a\\b"},
      {u"C:\\a\\b...", u"C:\\a\\b"},
      {u"C:\\a\\b. . ", u"C:\\a\\b"},
      {u"C:\\a\\...", u"C:\\a\\"},
      {u"C:\\a.\\b", u"C:\\a\\b"},
      {u"C:\\a \\b", u"C:\\a \\b"},
      {u"C:\\a\\.x\\b", u"C:\\a\\.x\\b"},
      {u"c:\\Mixed\\CASE", u"c:\\Mixed\\CASE"},
      {u"\\\\srv\\share\\a\\..\\b", u"\\\\srv\\share\\b"},
      {u"\\\\srv\\share\\..\\..\\b", u"\\\\srv\\share\\b"},
      {u"//srv/share/a", u"\\\\srv\\share\\a"},
  };
  for (const auto& c : cases) EXPECT_EQ(files->FullPath(c.path), std::u16string(c.full)) << ToUtf8(c.path);
  EXPECT_FALSE(files->FullPath(u""));
}

TEST_P(FilesContract, FullPathResolvesRelativePathsAgainstTheCurrentFolder) {
  const std::u16string current = WithoutLastSeparator(scratch);
  const std::u16string parent = current.substr(0, current.rfind(u'\\'));
  const struct {
    std::u16string path;
    std::u16string full;
  } cases[] = {
      {u"a\\b", scratch + u"a\\b"},
      {u".\\a\\..\\b", scratch + u"b"},
      {u".", current},
      {u"..", parent},
      {u"\\a\\b", Drive() + u"\\a\\b"},
      {Drive() + u"a", scratch + u"a"},  // the current drive's current folder
  };
  for (const auto& c : cases) EXPECT_EQ(files->FullPath(c.path), c.full) << ToUtf8(c.path);
}

TEST_P(FilesContract, CombinePathJoinsAndFoldsAsTheShellDoes) {
  const struct {
    const char16_t* folder;
    const char16_t* file;
    const char16_t* combined;
  } cases[] = {
      {u"C:\\s\\j\\", u"..\\lib\\app.jar", u"C:\\s\\lib\\app.jar"},
      {u"C:\\s\\j", u"..\\lib\\app.jar", u"C:\\s\\lib\\app.jar"},
      {u"C:\\s\\j\\", u"..\\..\\..\\..\\b", u"C:\\b"},
      {u"C:\\s\\j\\", u"..", u"C:\\s"},
      {u"C:\\s\\j\\", u".\\b", u"C:\\s\\j\\b"},
      {u"C:\\s\\j\\.", u"b", u"C:\\s\\j\\b"},
      {u"C:\\", u"..\\b.jar", u"C:\\b.jar"},
      {u"a\\b", u"c\\d", u"a\\b\\c\\d"},
      {u".", u"b", u"b"},
      {u"..\\x", u"b", u"..\\x\\b"},
      // An absolute second path wins; one that starts with a backslash goes to the folder's root.
      {u"C:\\s\\j\\", u"D:\\x\\y.jar", u"D:\\x\\y.jar"},
      {u"C:\\s\\j\\", u"C:b.jar", u"C:b.jar"},
      {u"C:\\s\\j\\", u"\\\\srv\\share\\y.jar", u"\\\\srv\\share\\y.jar"},
      {u"C:\\s\\j\\", u"\\x\\y.jar", u"C:\\x\\y.jar"},
      {u"\\\\srv\\share\\j\\", u"\\x\\y.jar", u"\\\\srv\\share\\x\\y.jar"},
      {u"", u"app.jar", u"app.jar"},
      {u"", u"..\\app.jar", u"..\\app.jar"},
      {u"C:\\s\\", u"", u"C:\\s\\"},
      {u"C:", u"b.jar", u"C:\\b.jar"},
      // Neither a scheme nor a forward slash means anything to it.
      {u"C:\\s\\j\\", u"http://x/y.jar", u"C:\\s\\j\\http://x/y.jar"},
      {u"C:\\s\\j\\", u"a/../b.jar", u"C:\\s\\j\\a/../b.jar"},
      // Unlike the file system, it keeps trailing dots and names that start with one.
      {u"C:\\s\\j\\", u"b.", u"C:\\s\\j\\b."},
      {u"C:\\s\\j\\", u"b..", u"C:\\s\\j\\b.."},
      {u"C:\\s\\j\\", u".b", u"C:\\s\\j\\.b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(files->CombinePath(c.folder, c.file), std::u16string(c.combined))
        << ToUtf8(c.folder) << " + " << ToUtf8(c.file);
  }
}

// Wine's PathCanonicalizeW reads past the end of its input here (a closing ".." above the start of a relative
// path); the adapter must neither crash nor return what lay beyond.
TEST_P(FilesContract, CombinePathSurvivesClimbingAboveARelativeStart) {
  EXPECT_EQ(files->CombinePath(u"a", u".."), u"\\");
  EXPECT_EQ(files->CombinePath(u"sub\\", u"..\\.."), u"\\");
  EXPECT_EQ(files->CombinePath(u"", u"\\.."), u"\\");
}

TEST_P(FilesContract, CombinePathRefusesResultsBeyondMaxPath) {
  const std::u16string folder = u"C:\\" + std::u16string(200, u'x');  // 203 characters
  EXPECT_EQ(files->CombinePath(folder, std::u16string(55, u'y'))->size(), 259u);
  EXPECT_FALSE(files->CombinePath(folder, std::u16string(56, u'y')));
  EXPECT_FALSE(files->CombinePath(u"C:\\", std::u16string(300, u'y')));
  EXPECT_FALSE(files->CombinePath(u"C:\\" + std::u16string(300, u'x'), u""));
}

TEST_P(FilesContract, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  ASSERT_TRUE(Write(u"Mixed.TXT", "one"));
  EXPECT_EQ(Read(u"mixed.txt"), "one");
  ASSERT_TRUE(Write(u"MIXED.txt", "two"));
  EXPECT_EQ(Read(u"Mixed.TXT"), "two");
  ASSERT_TRUE(Write(u"other", "three"));
  ASSERT_TRUE(files->CopyFile(scratch + u"OTHER", scratch + u"mIXED.TXT"));
  EXPECT_EQ(Read(u"mixed.txt"), "three");
  EXPECT_EQ(NameSet(files->Find(scratch + u"MIXED.*")), std::vector<std::string>{"Mixed.TXT"});
  const auto longPath = files->LongPath(scratch + u"MIXED.TXT");
  ASSERT_TRUE(longPath);
  EXPECT_TRUE(EqualsIgnoreCase(*longPath, scratch + u"Mixed.TXT")) << ToUtf8(*longPath);
}

TEST_P(FilesContract, WriteFileCreatesOrTruncates) {
  ASSERT_TRUE(Write(u"file", "a longer first text"));
  ASSERT_TRUE(Write(u"file", "short"));
  EXPECT_EQ(Read(u"file"), "short");
  EXPECT_FALSE(IsFolder(files->Attributes(scratch + u"file")));
  ASSERT_TRUE(Write(u"empty", ""));
  EXPECT_EQ(Read(u"empty"), "");
  // The file system drops a trailing dot, so "trail." is the file "trail".
  ASSERT_TRUE(Write(u"trail.", "x"));
  EXPECT_EQ(NameSet(files->Find(scratch + u"trail*")), std::vector<std::string>{"trail"});
}

TEST_P(FilesContract, WriteFileRefusesWhatCannotBeAFile) {
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"folder"));
  ASSERT_TRUE(Write(u"file", "kept"));
  for (const std::u16string name : {u"missing\\file", u"folder", u"file\\", u"file\\inside", u"inv?lid", u"a<b",
                                    u"a|b", u"a*"}) {
    EXPECT_FALSE(Write(name, "x")) << ToUtf8(name);
  }
  // The W functions would stop at the NUL and write "cut" instead.
  EXPECT_FALSE(Write(std::u16string(u"cut\0off", 7), "x"));
  EXPECT_FALSE(files->Attributes(scratch + u"cut"));
  EXPECT_FALSE(files->Attributes(scratch + u"missing"));
  EXPECT_EQ(Read(u"file"), "kept");
}

TEST_P(FilesContract, ReadOnlyFilesRefuseWritesAndCopiesUntilCleared) {
  ASSERT_TRUE(Write(u"locked.jar", "original"));
  ASSERT_TRUE(Write(u"source.jar", "replacement"));
  const std::u16string path = scratch + u"locked.jar";
  const auto before = files->Attributes(path);
  ASSERT_TRUE(before);
  ASSERT_TRUE(files->SetAttributes(path, *before | attribute::kReadOnly));
  EXPECT_TRUE(IsReadOnly(files->Attributes(path)));

  EXPECT_FALSE(Write(u"locked.jar", "overwritten"));
  EXPECT_FALSE(files->CopyFile(scratch + u"source.jar", path));
  EXPECT_EQ(Read(u"locked.jar"), "original");

  // A copy keeps the source's read-only attribute, so the next copy onto it fails in turn.
  ASSERT_TRUE(files->CopyFile(path, scratch + u"copy.jar"));
  EXPECT_TRUE(IsReadOnly(files->Attributes(scratch + u"copy.jar")));
  EXPECT_FALSE(files->CopyFile(scratch + u"source.jar", scratch + u"copy.jar"));

  ASSERT_TRUE(files->SetAttributes(path, *files->Attributes(path) & ~attribute::kReadOnly));
  EXPECT_FALSE(IsReadOnly(files->Attributes(path)));
  EXPECT_TRUE(files->CopyFile(scratch + u"source.jar", path));
  EXPECT_EQ(Read(u"locked.jar"), "replacement");
  EXPECT_TRUE(Write(u"locked.jar", "written"));
  EXPECT_EQ(Read(u"locked.jar"), "written");
  ASSERT_TRUE(files->SetAttributes(scratch + u"copy.jar", attribute::kNormal));
}

TEST_P(FilesContract, ReplaceMovesAFileIntoAnothersPlaceUnlessThatOneIsReadOnly) {
  ASSERT_TRUE(Write(u"app.jad", "old"));
  ASSERT_TRUE(Write(u"app.jad.new", "new"));
  const std::u16string path = scratch + u"app.jad";
  ASSERT_TRUE(files->SetAttributes(path, attribute::kReadOnly));
  EXPECT_FALSE(files->Replace(path, path + u".new"));
  EXPECT_FALSE(files->RemoveFile(path));
  EXPECT_EQ(Read(u"app.jad"), "old");
  EXPECT_EQ(Read(u"app.jad.new"), "new");

  ASSERT_TRUE(files->SetAttributes(path, attribute::kNormal));
  EXPECT_TRUE(files->Replace(path, path + u".new"));
  EXPECT_EQ(Read(u"app.jad"), "new");
  EXPECT_FALSE(files->Attributes(path + u".new"));
  EXPECT_FALSE(files->Replace(path, path + u".new"));
  EXPECT_TRUE(files->RemoveFile(path));
  EXPECT_FALSE(files->Attributes(path));
  EXPECT_FALSE(files->RemoveFile(path));
  // Where there is nothing to replace, the replacement is renamed.
  ASSERT_TRUE(Write(u"app.jad.new", "new"));
  EXPECT_TRUE(files->Replace(path, path + u".new"));
  EXPECT_EQ(Read(u"app.jad"), "new");
  EXPECT_FALSE(files->Attributes(path + u".new"));
}

TEST_P(FilesContract, ReplaceKeepsWhatTheReplacedFileWas) {
  ASSERT_TRUE(Write(u"hidden.jad", "old"));
  ASSERT_TRUE(Write(u"hidden.jad.new", "new"));
  const std::u16string path = scratch + u"hidden.jad";
  ASSERT_TRUE(files->SetAttributes(path, attribute::kHidden | attribute::kArchive));
  EXPECT_TRUE(files->Replace(path, path + u".new"));
  EXPECT_EQ(Read(u"hidden.jad"), "new");
  EXPECT_EQ(files->Attributes(path).value_or(0) & (attribute::kHidden | attribute::kReadOnly), attribute::kHidden);
  EXPECT_EQ(NameSet(files->Find(scratch + u"hidden*")), std::vector<std::string>{"hidden.jad"});
}

TEST_P(FilesContract, WriteNewFileNeverTouchesAFileThatIsThere) {
  ASSERT_TRUE(Write(u"taken", "someone else's"));
  EXPECT_FALSE(files->WriteNewFile(scratch + u"TAKEN", {'x'}));
  EXPECT_EQ(Read(u"taken"), "someone else's");
  EXPECT_TRUE(files->WriteNewFile(scratch + u"fresh", {'n', 'e', 'w'}));
  EXPECT_EQ(Read(u"fresh"), "new");
  EXPECT_FALSE(files->WriteNewFile(scratch + u"fresh", {}));
  EXPECT_FALSE(files->WriteNewFile(scratch + u"missing\\fresh", {}));
}

TEST_P(FilesContract, IdentityNamesOneFileHoweverItIsSpelled) {
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"Folder"));
  ASSERT_TRUE(Write(u"Folder\\file.jar", "x"));
  ASSERT_TRUE(Write(u"other.jar", "x"));
  const auto file = files->Identity(scratch + u"Folder\\file.jar");
  const auto folder = files->Identity(scratch + u"Folder");
  ASSERT_TRUE(file && folder && file != folder);
  EXPECT_EQ(files->Identity(scratch + u"FOLDER\\.\\x\\..\\FILE.JAR"), file);
  EXPECT_EQ(files->Identity(scratch + u"folder\\"), folder);
  EXPECT_NE(files->Identity(scratch + u"other.jar"), file);
  EXPECT_NE(files->Identity(scratch), folder);
  EXPECT_FALSE(files->Identity(scratch + u"missing"));
}

TEST_P(FilesContract, WriteFileRefusesToReplaceAHiddenFile) {
  ASSERT_TRUE(Write(u"hidden.jad", "original"));
  ASSERT_TRUE(files->SetAttributes(scratch + u"hidden.jad", attribute::kHidden));
  EXPECT_FALSE(Write(u"hidden.jad", "overwritten"));
  EXPECT_EQ(Read(u"hidden.jad"), "original");
  ASSERT_TRUE(files->SetAttributes(scratch + u"hidden.jad", attribute::kNormal));
  EXPECT_TRUE(Write(u"hidden.jad", "overwritten"));
}

TEST_P(FilesContract, CopyFileOverwritesFilesOnly) {
  ASSERT_TRUE(Write(u"from", "new"));
  ASSERT_TRUE(Write(u"to", "old and longer"));
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"folder"));
  EXPECT_TRUE(files->CopyFile(scratch + u"from", scratch + u"to"));
  EXPECT_EQ(Read(u"to"), "new");
  EXPECT_TRUE(files->CopyFile(scratch + u"from", scratch + u"fresh"));
  EXPECT_EQ(Read(u"fresh"), "new");
  EXPECT_EQ(Read(u"from"), "new");

  EXPECT_FALSE(files->CopyFile(scratch + u"missing", scratch + u"created"));
  EXPECT_FALSE(files->Attributes(scratch + u"created"));
  EXPECT_FALSE(files->CopyFile(scratch + u"from", scratch + u"missing\\to"));
  EXPECT_FALSE(files->CopyFile(scratch + u"from", scratch + u"folder"));
  EXPECT_FALSE(files->CopyFile(scratch + u"folder", scratch + u"folder copy"));
  // Onto itself, in any spelling: the source is open for reading when the target is opened for writing.
  EXPECT_FALSE(files->CopyFile(scratch + u"from", scratch + u"FROM"));
  EXPECT_EQ(Read(u"from"), "new");
}

TEST_P(FilesContract, AReaderSharesReadingOnly) {
  ASSERT_TRUE(Write(u"shared.jar", "content"));
  ASSERT_TRUE(Write(u"other.jar", "other"));
  const std::u16string path = scratch + u"shared.jar";
  {
    const std::unique_ptr<FileReader> first = files->OpenForReading(path);
    ASSERT_TRUE(first);
    const std::unique_ptr<FileReader> second = files->OpenForReading(path);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Size(), 7u);

    EXPECT_FALSE(Write(u"shared.jar", "overwritten"));
    EXPECT_FALSE(files->CopyFile(scratch + u"other.jar", path));
    EXPECT_TRUE(files->CopyFile(path, scratch + u"copy.jar"));
    EXPECT_TRUE(files->Attributes(path));
    EXPECT_TRUE(files->SetAttributes(path, attribute::kArchive));
  }
  EXPECT_EQ(Read(u"shared.jar"), "content");
  EXPECT_EQ(Read(u"copy.jar"), "content");
  EXPECT_TRUE(Write(u"shared.jar", "overwritten"));
}

TEST_P(FilesContract, AFileHeldWithoutSharingCanOnlyBeLookedAt) {
  ASSERT_TRUE(Write(u"held.jar", "content"));
  ASSERT_TRUE(Write(u"other.jar", "other"));
  const std::u16string path = scratch + u"held.jar";
  {
    const std::shared_ptr<void> hold = adapter->HoldExclusively(path);
    ASSERT_TRUE(hold);
    EXPECT_FALSE(files->OpenForReading(path));
    EXPECT_FALSE(Write(u"held.jar", "x"));
    EXPECT_FALSE(files->CopyFile(path, scratch + u"copy.jar"));
    EXPECT_FALSE(files->CopyFile(scratch + u"other.jar", path));
    EXPECT_TRUE(files->Attributes(path));
  }
  EXPECT_EQ(Read(u"held.jar"), "content");
}

// A stream such as Zone.Identifier is reached by its file's name and its own; Wine keeps it as a file of that name.
TEST_P(FilesContract, AStreamIsReadAndRemovedBesideItsFileButNotFromAReadOnlyOne) {
  const std::u16string stream = scratch + u"game.jar:Zone.Identifier";
  ASSERT_TRUE(Write(u"game.jar", "archive"));
  EXPECT_FALSE(files->Attributes(stream));
  ASSERT_TRUE(Write(u"game.jar:Zone.Identifier", "[ZoneTransfer]"));
  EXPECT_EQ(Read(u"GAME.JAR:zone.identifier"), "[ZoneTransfer]");
  std::shared_ptr<void> hold = adapter->HoldExclusively(stream);
  EXPECT_TRUE(hold && !files->OpenForReading(stream) && files->Attributes(stream));  // there, but it can't be read
  hold.reset();
  ASSERT_TRUE(files->SetAttributes(scratch + u"game.jar", attribute::kReadOnly));
  EXPECT_FALSE(files->RemoveFile(stream));
  ASSERT_TRUE(files->SetAttributes(scratch + u"game.jar", attribute::kNormal));
  EXPECT_TRUE(files->RemoveFile(stream));
  EXPECT_TRUE(!files->Attributes(stream) && Read(u"game.jar") == "archive");
}

TEST_P(FilesContract, ReadsAtOffsetsUpToAndPastTheEnd) {
  ASSERT_TRUE(Write(u"digits", "0123456789"));
  const std::unique_ptr<FileReader> reader = files->OpenForReading(scratch + u"digits");
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->Size(), 10u);
  const struct {
    std::uint64_t offset;
    std::size_t length;
    std::string expected;
  } cases[] = {
      {0, 16, "0123456789"}, {4, 3, "456"}, {8, 16, "89"}, {0, 0, ""}, {10, 4, ""}, {11, 4, ""}, {1ull << 40, 4, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> buffer(16, 0xEE);
    const auto got = reader->ReadAt(c.offset, buffer.data(), c.length);
    ASSERT_TRUE(got) << c.offset;
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + *got), c.expected) << c.offset;
    EXPECT_EQ(buffer[*got], 0xEE) << "wrote beyond what it reported at " << c.offset;
  }
}

TEST_P(FilesContract, OpensExistingFilesOnly) {
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"folder"));
  ASSERT_TRUE(Write(u"file", ""));
  EXPECT_FALSE(files->OpenForReading(scratch + u"missing"));
  EXPECT_FALSE(files->OpenForReading(scratch + u"folder"));
  EXPECT_FALSE(files->OpenForReading(scratch + u"file\\"));
  const std::unique_ptr<FileReader> empty = files->OpenForReading(scratch + u"FILE");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Size(), 0u);
}

TEST_P(FilesContract, AttributesTellFoldersFromFiles) {
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"folder"));
  ASSERT_TRUE(Write(u"file", "x"));
  EXPECT_TRUE(IsFolder(files->Attributes(scratch + u"folder")));
  EXPECT_TRUE(IsFolder(files->Attributes(scratch + u"FOLDER\\")));
  EXPECT_TRUE(IsFolder(files->Attributes(scratch + u"folder\\.")));
  EXPECT_TRUE(IsFolder(files->Attributes(Drive() + u"\\")));
  ASSERT_TRUE(files->Attributes(scratch + u"file"));
  EXPECT_FALSE(IsFolder(files->Attributes(scratch + u"file")));
  EXPECT_TRUE(files->Attributes(scratch + u"file."));
  EXPECT_FALSE(files->Attributes(scratch + u"file\\"));
  EXPECT_FALSE(files->Attributes(scratch + u"missing"));
  EXPECT_FALSE(files->Attributes(scratch + u"missing\\file"));
  EXPECT_FALSE(files->SetAttributes(scratch + u"missing", attribute::kNormal));

  ASSERT_TRUE(files->SetAttributes(scratch + u"file", attribute::kHidden));
  EXPECT_TRUE(*files->Attributes(scratch + u"file") & attribute::kHidden);
  ASSERT_TRUE(files->SetAttributes(scratch + u"file", attribute::kNormal));
  EXPECT_FALSE(*files->Attributes(scratch + u"file") & (attribute::kHidden | attribute::kReadOnly));
  ASSERT_TRUE(files->SetAttributes(scratch + u"folder", attribute::kNormal));
  EXPECT_TRUE(IsFolder(files->Attributes(scratch + u"folder")));
}

TEST_P(FilesContract, FindMatchesWildcardsAsTheFileSystemDoes) {
  for (const std::u16string name : {u"b.txt", u"A.txt", u"ab.txt", u"noext", u"a.xml", u"B.XML", u"long name.xml"}) {
    ASSERT_TRUE(Write(name, "x"));
  }
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"Sub"));
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"c.xml"));
  const std::vector<std::string> all = {".",     "..",    "b.txt",         "A.txt", "ab.txt",
                                        "noext", "a.xml", "long name.xml", "B.XML", "Sub", "c.xml"};
  const struct {
    const char16_t* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {u"*.*", all},  // names without a dot too
      {u"*", all},
      {u"*.xml", {"a.xml", "B.XML", "c.xml", "long name.xml"}},
      {u"*.XML", {"a.xml", "B.XML", "c.xml", "long name.xml"}},
      {u"?.txt", {"A.txt", "b.txt"}},
      {u"a*", {"A.txt", "ab.txt", "a.xml"}},
      {u"*b*", {"ab.txt", "b.txt", "B.XML", "Sub"}},
      {u"noext.*", {"noext"}},
      {u"B.TXT", {"b.txt"}},
      {u"sub", {"Sub"}},
      {u"nomatch*", {}},
      {u"missing\\*", {}},
      {u"", {}},  // the folder with its trailing backslash names no entry
      {u"Sub\\*", {".", ".."}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameSet(files->Find(scratch + c.pattern)), Sorted(c.names)) << ToUtf8(c.pattern);
  }
  // A relative pattern searches the current folder.
  EXPECT_EQ(NameSet(files->Find(u"*.xml")), NameSet(files->Find(scratch + u"*.xml")));
  EXPECT_EQ(NameSet(files->Find(WithoutLastSeparator(scratch))).size(), 1u);
}

TEST_P(FilesContract, FindReportsAttributesAndTheDotEntriesFirst) {
  ASSERT_TRUE(Write(u"file.xml", "x"));
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"folder.xml"));
  ASSERT_TRUE(files->SetAttributes(scratch + u"file.xml", attribute::kReadOnly));
  const std::vector<FolderEntry> entries = files->Find(scratch + u"*.*");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, u".");
  EXPECT_EQ(entries[1].name, u"..");
  for (const FolderEntry& entry : entries) {
    const bool folder = entry.name != u"file.xml";
    EXPECT_EQ((entry.attributes & attribute::kDirectory) != 0, folder) << ToUtf8(entry.name);
    EXPECT_EQ((entry.attributes & attribute::kReadOnly) != 0, !folder) << ToUtf8(entry.name);
  }
  ASSERT_TRUE(files->SetAttributes(scratch + u"file.xml", attribute::kNormal));

  // The root of a drive has no "." or "..".
  const std::vector<std::string> root = NameSet(files->Find(Drive() + u"\\*"));
  EXPECT_FALSE(root.empty());
  EXPECT_EQ(std::count_if(root.begin(), root.end(), [](const std::string& n) { return n == "." || n == ".."; }), 0);
}

TEST_P(FilesContract, LongPathNeedsAnExistingPath) {
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"Folder"));
  ASSERT_TRUE(Write(u"Folder\\File.jar", "x"));
  for (const std::u16string& path : {scratch + u"Folder\\File.jar", scratch + u"FOLDER\\file.JAR", scratch + u"Folder\\"}) {
    const auto longPath = files->LongPath(path);
    ASSERT_TRUE(longPath) << ToUtf8(path);
    EXPECT_TRUE(EqualsIgnoreCase(*longPath, path)) << ToUtf8(*longPath);
  }
  // A relative path may climb above the current folder and come back down.
  const std::u16string current = WithoutLastSeparator(scratch);
  const std::u16string relative = u"..\\" + current.substr(current.rfind(u'\\') + 1) + u"\\Folder\\File.jar";
  EXPECT_EQ(files->LongPath(relative), relative);
  EXPECT_FALSE(files->LongPath(scratch + u"Folder\\missing.jar"));
  EXPECT_FALSE(files->LongPath(scratch + u"missing\\File.jar"));
}

TEST_P(FilesContract, ShortPathNamesTheSameFileAndNeedsAnExistingPath) {
  ASSERT_TRUE(adapter->MakeFolder(scratch + u"A long folder name"));
  ASSERT_TRUE(Write(u"A long folder name\\A.TXT", "x"));
  const std::u16string path = scratch + u"A long folder name\\A.TXT";
  const auto shortPath = files->ShortPath(path);
  ASSERT_TRUE(shortPath);
  EXPECT_TRUE(shortPath->ends_with(u"\\A.TXT")) << ToUtf8(*shortPath);  // a name that is 8.3 already stays
  EXPECT_EQ(files->Identity(*shortPath), files->Identity(path));
  EXPECT_EQ(files->LongPath(*shortPath), files->LongPath(path));
  EXPECT_FALSE(files->ShortPath(scratch + u"A long folder name\\missing.jar"));
}

TEST_P(FilesContract, TheTemporaryFolderExistsWithItsSeparator) {
  const auto temporary = files->TemporaryFolder();
  ASSERT_TRUE(temporary);
  ASSERT_FALSE(temporary->empty());
  EXPECT_EQ(temporary->back(), u'\\');
  EXPECT_TRUE(IsFolder(files->Attributes(*temporary)));
  const auto longForm = files->LongPath(*temporary);
  ASSERT_TRUE(longForm);
  EXPECT_EQ(longForm->back(), u'\\');
}

namespace {

class MemoryFilesUnderTest final : public FilesUnderTest {
 public:
  MemoryFilesUnderTest() {
    files_.AddFolder(scratch_);
    files_.SetCurrentFolder(scratch_);
  }
  Files& Port() override { return files_; }
  std::u16string Scratch() override { return scratch_; }
  bool MakeFolder(const std::u16string& path) override { return files_.AddFolder(path); }
  std::shared_ptr<void> HoldExclusively(const std::u16string& path) override {
    if (!files_.SetFault(path, FileFault::Locked)) return nullptr;
    return std::shared_ptr<void>(&files_, [this, path](void*) { files_.SetFault(path, FileFault::None); });
  }

 private:
  MemoryFiles files_;
  std::u16string scratch_ = u"C:\\Users\\user\\AppData\\Local\\Temp\\FilesContract\\";
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Memory, FilesContract,
                         ::testing::Values(FilesFactory{"Memory", [] { return std::make_unique<MemoryFilesUnderTest>(); }}),
                         FactoryName);

// What only the in-memory file system offers: the setup and faults that tests of its callers use.

TEST(MemoryFiles, ListsNamesInTheOrderOfNtfs) {
  MemoryFiles files;
  for (const char16_t* name : {u"C:\\d\\b", u"C:\\d\\_x", u"C:\\d\\A", u"C:\\d\\a1", u"C:\\d\\Z"}) {
    ASSERT_TRUE(files.AddFile(name, ""));
  }
  std::vector<std::string> names;
  for (const FolderEntry& entry : files.Find(u"C:\\d\\*")) names.push_back(ToUtf8(entry.name));
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "A", "a1", "b", "Z", "_x"}));
}

TEST(MemoryFiles, ShortNamesReachTheFileAndLongPathExpandsThemAsShortPathMakesThem) {
  MemoryFiles files;
  ASSERT_TRUE(files.AddFile(u"C:\\Users\\John Smith\\AppData\\Local\\Temp\\x.jar", "x"));
  ASSERT_TRUE(files.SetShortName(u"C:\\Users\\John Smith", u"JOHNSM~1"));
  files.SetTemporaryFolder(u"C:\\Users\\JOHNSM~1\\AppData\\Local\\Temp\\");
  EXPECT_EQ(files.ReadBack(u"C:\\users\\johnsm~1\\AppData\\Local\\Temp\\x.jar"), std::vector<std::uint8_t>{'x'});
  EXPECT_EQ(files.LongPath(*files.TemporaryFolder()), u"C:\\Users\\John Smith\\AppData\\Local\\Temp\\");
  EXPECT_EQ(files.ShortPath(u"c:\\users\\John Smith\\AppData\\Local\\Temp\\x.jar"),
            u"c:\\Users\\JOHNSM~1\\AppData\\Local\\Temp\\x.jar");
  EXPECT_EQ(files.Find(u"C:\\Users\\JOHNSM~1").at(0).name, u"John Smith");
}

TEST(MemoryFiles, FaultsReachTheReadersOfAFile) {
  MemoryFiles files;
  ASSERT_TRUE(files.AddFile(u"C:\\a.jar", "content"));
  ASSERT_TRUE(files.SetFault(u"C:\\a.jar", FileFault::SizeFails));
  std::unique_ptr<FileReader> reader = files.OpenForReading(u"C:\\a.jar");
  ASSERT_TRUE(reader);
  EXPECT_FALSE(reader->Size());
  ASSERT_TRUE(files.SetFault(u"C:\\a.jar", FileFault::ReadFails));
  EXPECT_EQ(reader->Size(), 7u);
  std::uint8_t byte = 0;
  EXPECT_FALSE(reader->ReadAt(0, &byte, 1));
  EXPECT_FALSE(files.CopyFile(u"C:\\a.jar", u"C:\\b.jar"));
  EXPECT_EQ(files.OpenReaders(), 1);
  reader.reset();
  EXPECT_EQ(files.OpenReaders(), 0);
  EXPECT_FALSE(files.SetFault(u"C:\\missing", FileFault::Locked));
}

TEST(MemoryFiles, SetupMakesFoldersButNotThroughFiles) {
  MemoryFiles files;
  EXPECT_TRUE(files.AddFile(u"D:\\deep\\down\\file", "x", attribute::kReadOnly));
  EXPECT_EQ(files.Attributes(u"D:\\deep\\down\\file"), attribute::kReadOnly);
  EXPECT_EQ(files.Attributes(u"d:\\DEEP"), attribute::kDirectory);
  EXPECT_FALSE(files.AddFolder(u"D:\\deep\\down\\file\\below"));
  EXPECT_FALSE(files.AddFile(u"D:\\deep", "x"));
  EXPECT_FALSE(files.Attributes(u"E:\\"));
  EXPECT_FALSE(files.Attributes(u"\\\\server\\share\\"));
  EXPECT_FALSE(files.ReadBack(u"D:\\deep"));
}

TEST(MemoryFiles, TheCurrentFolderMustExist) {
  MemoryFiles files;
  EXPECT_EQ(files.FullPath(u"a"), u"C:\\a");
  EXPECT_FALSE(files.SetCurrentFolder(u"C:\\missing"));
  ASSERT_TRUE(files.AddFolder(u"D:\\work"));
  ASSERT_TRUE(files.SetCurrentFolder(u"D:\\work"));
  EXPECT_EQ(files.FullPath(u"a"), u"D:\\work\\a");
  EXPECT_EQ(files.FullPath(u"C:a"), u"C:\\a");  // another drive: its root
  EXPECT_EQ(files.FullPath(u"\\a"), u"D:\\a");
}

}  // namespace tc
