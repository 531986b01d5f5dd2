// The temporary copy of an archive that a MIDlet suite is started from.
#include <gtest/gtest.h>

#include <functional>

#include "launch/TemporaryCopy.h"
#include "unit/launch/LaunchMachine.h"

namespace tc {
namespace {

// Forwards to the machine's files, but can refuse to change attributes.
class StubbornFiles final : public Files {
 public:
  explicit StubbornFiles(Files& files) : files_(files) {}
  std::optional<std::uint32_t> Attributes(const std::u16string& path) override { return files_.Attributes(path); }
  bool SetAttributes(const std::u16string& path, std::uint32_t attributes) override {
    setAttributes.push_back(attributes);
    return refuseAttributes ? false : files_.SetAttributes(path, attributes);
  }
  std::unique_ptr<FileReader> OpenForReading(const std::u16string& path) override {
    return files_.OpenForReading(path);
  }
  bool WriteFile(const std::u16string& path, const Bytes& bytes) override { return files_.WriteFile(path, bytes); }
  bool WriteNewFile(const std::u16string& path, const Bytes& bytes) override {
    return files_.WriteNewFile(path, bytes);
  }
  bool CopyFile(const std::u16string& from, const std::u16string& to) override { return files_.CopyFile(from, to); }
  bool Replace(const std::u16string& replaced, const std::u16string& replacement) override {
    return files_.Replace(replaced, replacement);
  }
  bool RemoveFile(const std::u16string& path) override { return files_.RemoveFile(path); }
  std::optional<FileIdentity> Identity(const std::u16string& path) override { return files_.Identity(path); }
  std::optional<std::u16string> TemporaryFolder() override { return files_.TemporaryFolder(); }
  std::optional<std::u16string> LongPath(const std::u16string& path) override { return files_.LongPath(path); }
  std::optional<std::u16string> ShortPath(const std::u16string& path) override { return files_.ShortPath(path); }
  std::optional<std::u16string> FullPath(const std::u16string& path) override { return files_.FullPath(path); }
  std::optional<std::u16string> CombinePath(const std::u16string& folder, const std::u16string& file) override {
    return files_.CombinePath(folder, file);
  }
  std::vector<FolderEntry> Find(const std::u16string& pattern) override { return files_.Find(pattern); }

  bool refuseAttributes = false;
  std::vector<std::uint32_t> setAttributes;

 private:
  Files& files_;
};

class TemporaryCopyTest : public LaunchMachine {
 protected:
  void SetUp() override { machine.files.AddFile(kArchive, "the archive's bytes"); }
  const std::u16string kArchive = u"C:\\games\\g\u00e4me.jar";
};

TEST_F(TemporaryCopyTest, CopiesOverTheTemporaryArchiveInTheLongFolder) {
  machine.files.SetShortName(u"C:\\Users\\user", u"USER~1");
  machine.files.SetTemporaryFolder(u"C:\\Users\\USER~1\\AppData\\Local\\Temp\\");
  machine.files.AddFile(kTemporaryJar, "an earlier copy");

  const auto copy = CopyToTemporaryFolder(machine.context, kArchive);
  ASSERT_TRUE(copy.has_value());
  EXPECT_EQ(copy->descriptorPath, kTemporaryJad);
  EXPECT_EQ(copy->archivePath, kTemporaryJar);
  EXPECT_EQ(copy->archiveName, u"qvo_temp.jar");
  EXPECT_EQ(Content(kTemporaryJar), "the archive's bytes");
  EXPECT_FALSE(machine.files.Attributes(kTemporaryJad));  // named, not written
  ExpectLaunchErrors({});
}

TEST_F(TemporaryCopyTest, MakesAReadOnlyTemporaryArchiveWritableKeepingItsOtherAttributes) {
  machine.files.AddFile(kTemporaryJar, "old", attribute::kReadOnly | attribute::kHidden);
  StubbornFiles files(machine.files);
  Platform platform{machine.registry, files, machine.processes, machine.ui, machine.shell, machine.versions,
                    machine.http, machine.threads, machine.environment, machine.xml};
  Context context(platform);

  ASSERT_TRUE(CopyToTemporaryFolder(context, kArchive).has_value());
  EXPECT_EQ(files.setAttributes, (std::vector<std::uint32_t>{attribute::kHidden}));
  EXPECT_EQ(Content(kTemporaryJar), "the archive's bytes");

  machine.files.SetAttributes(kTemporaryJar, attribute::kReadOnly);
  files.refuseAttributes = true;
  EXPECT_FALSE(CopyToTemporaryFolder(context, kArchive).has_value());
  ExpectLaunchErrors({u"File \"" + kTemporaryJar + u"\" access error."});
  EXPECT_EQ(Content(kTemporaryJar), "the archive's bytes");
}

TEST_F(TemporaryCopyTest, AFailedCopyNamesTheArchive) {
  struct Case {
    const char* what;
    std::function<void(MemoryFiles&)> arrange;
  };
  const Case cases[] = {
      {"temporary archive held open by an emulator",
       [](MemoryFiles& files) {
         files.AddFile(kTemporaryJar, "in use");
         files.SetFault(kTemporaryJar, FileFault::Locked);
       }},
      {"archive held open without sharing",
       [this](MemoryFiles& files) { files.SetFault(kArchive, FileFault::Locked); }},
      {"temporary folder gone", [](MemoryFiles& files) { files.SetTemporaryFolder(u"C:\\Gone\\Temp\\"); }},
      // Without one, the copy would land in the current folder.
      {"no temporary folder", [](MemoryFiles& files) { files.SetTemporaryFolder(u""); }},
  };
  for (const Case& c : cases) {
    HostMachine local;
    local.files.AddFile(kArchive, "the archive's bytes");
    c.arrange(local.files);
    EXPECT_FALSE(CopyToTemporaryFolder(local.context, kArchive).has_value()) << c.what;
    ExpectLaunchErrorsIn(local.ui, {u"File \"" + kArchive + u"\" copy error."});
    EXPECT_FALSE(local.files.Attributes(u"C:\\qvo_temp.jar")) << c.what;
  }
}

}  // namespace
}  // namespace tc
