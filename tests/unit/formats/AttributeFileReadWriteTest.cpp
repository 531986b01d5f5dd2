// Whole-file reads and writes of attribute files: the size limit, files that lie about their size, and the
// replacement of a descriptor in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "formats/AttributeFile.h"
#include "platform/host/MemoryFiles.h"

namespace tc {
namespace {

// Just enough of the file port for these two operations; the reader can misreport its size or read in pieces.
struct FakeFile {
  std::vector<std::uint8_t> content;
  std::optional<std::uint64_t> claimedSize;  // what Size() says, when not the real size
  bool sizeUnavailable = false;
  std::size_t piece = SIZE_MAX;  // most bytes one ReadAt returns
  bool failReads = false;
};

class FakeFiles final : public Files {
 public:
  std::map<std::u16string, FakeFile> files;
  std::size_t largestRequest = 0;
  bool writesFail = false;

  std::unique_ptr<FileReader> OpenForReading(const std::u16string& path) override {
    const auto found = files.find(path);
    if (found == files.end()) return nullptr;
    return std::make_unique<Reader>(*this, found->second);
  }
  bool WriteFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) override {
    if (writesFail) return false;
    files[path].content = bytes;
    return true;
  }
  bool WriteNewFile(const std::u16string&, const std::vector<std::uint8_t>&) override { return false; }
  std::optional<FileIdentity> Identity(const std::u16string&) override { return std::nullopt; }

  std::optional<std::uint32_t> Attributes(const std::u16string&) override { return std::nullopt; }
  bool SetAttributes(const std::u16string&, std::uint32_t) override { return false; }
  bool CopyFile(const std::u16string&, const std::u16string&) override { return false; }
  bool Replace(const std::u16string&, const std::u16string&) override { return false; }
  bool RemoveFile(const std::u16string&) override { return false; }
  std::optional<std::u16string> TemporaryFolder() override { return std::nullopt; }
  std::optional<std::u16string> LongPath(const std::u16string&) override { return std::nullopt; }
  std::optional<std::u16string> ShortPath(const std::u16string&) override { return std::nullopt; }
  std::optional<std::u16string> FullPath(const std::u16string&) override { return std::nullopt; }
  std::optional<std::u16string> CombinePath(const std::u16string&, const std::u16string&) override {
    return std::nullopt;
  }
  std::vector<FolderEntry> Find(const std::u16string&) override { return {}; }

 private:
  class Reader final : public FileReader {
   public:
    Reader(FakeFiles& owner, const FakeFile& file) : owner_(owner), file_(file) {}
    std::optional<std::uint64_t> Size() override {
      if (file_.sizeUnavailable) return std::nullopt;
      return file_.claimedSize ? *file_.claimedSize : file_.content.size();
    }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
      owner_.largestRequest = std::max(owner_.largestRequest, length);
      if (file_.failReads) return std::nullopt;
      if (offset >= file_.content.size()) return 0;
      const std::size_t count = std::min({length, file_.piece, file_.content.size() - offset});
      std::memcpy(buffer, file_.content.data() + offset, count);
      return count;
    }

   private:
    FakeFiles& owner_;
    const FakeFile& file_;
  };
};

const std::u16string kPath = u"C:\\games\\game.jad";

TEST(ReadWholeFile, ReadsUpToTheLimitAndNoFurther) {
  FakeFiles files;
  files.files[kPath].content.assign(kMaxAttributeFileSize, 'x');
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(files, kPath, bytes));
  EXPECT_EQ(bytes.size(), kMaxAttributeFileSize);

  files.files[kPath].content.push_back('y');
  bytes = {1, 2, 3};
  EXPECT_FALSE(ReadWholeFile(files, kPath, bytes));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));  // left as it was on failure
}

TEST(ReadWholeFile, FailsUnlessExactlyTheReportedBytesArrive) {
  const struct {
    const char* what;
    FakeFile file;
    bool read;
  } cases[] = {
      {"missing size", {{'a', 'b'}, std::nullopt, true}, false},
      {"read error", {{'a', 'b'}, std::nullopt, false, SIZE_MAX, true}, false},
      {"shorter than it claims", {{'a', 'b'}, 3}, false},
      {"longer than it claims", {{'a', 'b', 'c'}, 2}, false},
      {"empty", {}, true},
      {"read in pieces", {std::vector<std::uint8_t>(1000, 'a'), std::nullopt, false, 7}, true},
  };
  for (const auto& c : cases) {
    FakeFiles files;
    files.files[kPath] = c.file;
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(files, kPath, bytes), c.read) << c.what;
  }
}

TEST(ReadWholeFile, NeverAllocatesForAClaimedSizeBeyondTheLimit) {
  for (const std::uint64_t claimed : {std::uint64_t{kMaxAttributeFileSize} + 1, std::uint64_t{1} << 40,
                                      std::uint64_t{UINT64_MAX}}) {
    FakeFiles files;
    files.files[kPath] = {{'a'}, claimed};
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(ReadWholeFile(files, kPath, bytes));
    EXPECT_EQ(files.largestRequest, 0u);
  }
  FakeFiles files;
  files.files[kPath] = {{'a'}, kMaxAttributeFileSize};
  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(files, kPath, bytes));
  EXPECT_LE(files.largestRequest, kMaxAttributeFileSize + 1);
  EXPECT_FALSE(ReadWholeFile(files, u"C:\\missing.jad", bytes));
}

TEST(WriteWholeFile, WritesEveryByteAndReportsFailure) {
  FakeFiles files;
  const std::vector<std::uint8_t> bytes = {'A', ':', ' ', '1', '\n', 0xE9};
  ASSERT_TRUE(WriteWholeFile(files, kPath, bytes));
  EXPECT_EQ(files.files[kPath].content, bytes);
  files.writesFail = true;
  EXPECT_FALSE(WriteWholeFile(files, kPath, bytes));
}

TEST(ReplaceWholeFile, TakesANameNoFileHasAndKeepsTheAttributes) {
  MemoryFiles files;
  ASSERT_TRUE(files.AddFile(kPath, "old", attribute::kHidden));
  ASSERT_TRUE(files.AddFile(kPath + u".tc-0000002a", "another correction's"));
  const std::uint32_t draws[] = {42, 0xBEEF};
  const auto random = [&, next = 0]() mutable { return draws[std::min(next++, 1)]; };
  ASSERT_TRUE(ReplaceWholeFile(files, kPath, {'n', 'e', 'w'}, random));
  EXPECT_EQ(files.ReadBack(kPath), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(files.Attributes(kPath), attribute::kHidden);
  EXPECT_FALSE(files.Attributes(kPath + u".tc-0000beef"));
  const auto other = files.ReadBack(kPath + u".tc-0000002a");
  EXPECT_EQ(std::string(other->begin(), other->end()), "another correction's");

  // A source that keeps drawing a taken name gives up, leaving every file as it was.
  EXPECT_FALSE(ReplaceWholeFile(files, kPath, {'x'}, [] { return 42u; }));
  EXPECT_EQ(files.ReadBack(kPath), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(files.Find(u"C:\\games\\*").size(), 4u);
}

}  // namespace
}  // namespace tc
