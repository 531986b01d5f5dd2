// The file-system contract run against the Win32 adapter, in a scratch folder under the real temporary folder.
#include <share.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "base/Text.h"
#include "contract/FilesContract.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Text.h"

namespace tc {

namespace {

class Win32FilesUnderTest final : public FilesUnderTest {
 public:
  Win32FilesUnderTest() {
    // The long form, so that the folded paths the suite expects don't depend on 8.3 names.
    const auto temporary = files_.TemporaryFolder();
    const auto longForm = temporary ? files_.LongPath(*temporary) : std::nullopt;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    scratch_ = longForm.value_or(u"C:\\") + u"FilesContract-" + ToDecimal(static_cast<std::uint64_t>(stamp)) + u"\\";
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(scratch_), error);
    previous_ = std::filesystem::current_path(error);
    std::filesystem::current_path(std::filesystem::path(scratch_), error);
  }

  ~Win32FilesUnderTest() override {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
    MakeRemovable(scratch_);
    std::filesystem::remove_all(std::filesystem::path(scratch_), error);
  }

  Files& Port() override { return files_; }
  std::u16string Scratch() override { return scratch_; }

  bool MakeFolder(const std::u16string& path) override {
    std::error_code error;
    return std::filesystem::create_directories(std::filesystem::path(path), error);
  }

  std::shared_ptr<void> HoldExclusively(const std::u16string& path) override {
    FILE* file = _wfsopen(Wide(path), L"rb", _SH_DENYRW);
    if (!file) return nullptr;
    return std::shared_ptr<void>(file, [](void* held) { std::fclose(static_cast<FILE*>(held)); });
  }

 private:
  // Read-only files can't be deleted; clear the attribute below the folder first.
  void MakeRemovable(const std::u16string& folder) {
    for (const FolderEntry& entry : files_.Find(folder + u"*")) {
      if (entry.name == u"." || entry.name == u"..") continue;
      const std::u16string path = folder + entry.name;
      files_.SetAttributes(path, attribute::kNormal);
      if (entry.attributes & attribute::kDirectory) MakeRemovable(path + u"\\");
    }
  }

  Win32Files files_;
  std::u16string scratch_;
  std::filesystem::path previous_;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, FilesContract,
                         ::testing::Values(FilesFactory{"Win32", [] { return std::make_unique<Win32FilesUnderTest>(); }}),
                         FactoryName);

}  // namespace tc
