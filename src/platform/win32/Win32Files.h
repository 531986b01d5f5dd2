// The file-system port over kernel32.
#pragma once

#include "platform/Files.h"

// Also when <windows.h> came after Files.h (see there).
#ifdef CopyFile
#undef CopyFile
#endif

namespace tc {

class Win32Files final : public Files {
 public:
  std::optional<std::uint32_t> Attributes(const std::u16string& path) override;
  bool SetAttributes(const std::u16string& path, std::uint32_t attributes) override;
  std::unique_ptr<FileReader> OpenForReading(const std::u16string& path) override;
  bool WriteFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) override;
  bool WriteNewFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) override;
  bool CopyFile(const std::u16string& from, const std::u16string& to) override;
  bool Replace(const std::u16string& replaced, const std::u16string& replacement) override;
  bool RemoveFile(const std::u16string& path) override;
  std::optional<FileIdentity> Identity(const std::u16string& path) override;
  std::optional<std::u16string> TemporaryFolder() override;
  std::optional<std::u16string> LongPath(const std::u16string& path) override;
  std::optional<std::u16string> ShortPath(const std::u16string& path) override;
  std::optional<std::u16string> FullPath(const std::u16string& path) override;
  std::optional<std::u16string> CombinePath(const std::u16string& folder, const std::u16string& file) override;
  std::vector<FolderEntry> Find(const std::u16string& pattern) override;
};

}  // namespace tc
