// The file-system port: Windows paths, attributes, identities, whole-file reads and writes, the temporary folder.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// <windows.h> maps CopyFile to CopyFileW; the port's member keeps its plain name in every translation unit.
#ifdef CopyFile
#undef CopyFile
#endif

namespace tc {

namespace attribute {
constexpr std::uint32_t kReadOnly = 0x1;
constexpr std::uint32_t kHidden = 0x2;
constexpr std::uint32_t kSystem = 0x4;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
}  // namespace attribute

// A file opened for reading with read sharing (CreateFileW, OPEN_EXISTING).
class FileReader {
 public:
  virtual ~FileReader() = default;
  virtual std::optional<std::uint64_t> Size() = 0;
  // Reads up to `length` bytes at `offset`; the number read, or nullopt on an error.
  virtual std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) = 0;
};

struct FolderEntry {
  std::u16string name;
  std::uint32_t attributes = 0;
};

// What one file or folder is however it is reached (links, junctions, short names): its volume's serial number
// and its file index.
struct FileIdentity {
  std::uint32_t volume = 0;
  std::uint64_t index = 0;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

class Files {
 public:
  virtual ~Files() = default;

  // GetFileAttributesW: nullopt when the file or folder doesn't exist.
  virtual std::optional<std::uint32_t> Attributes(const std::u16string& path) = 0;
  virtual bool SetAttributes(const std::u16string& path, std::uint32_t attributes) = 0;

  virtual std::unique_ptr<FileReader> OpenForReading(const std::u16string& path) = 0;
  // Creates or truncates the file and writes all bytes.
  virtual bool WriteFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) = 0;
  // CREATE_NEW: fails when the name is taken. A write that fails removes the file it created.
  virtual bool WriteNewFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) = 0;
  virtual bool CopyFile(const std::u16string& from, const std::u16string& to) = 0;  // overwrites
  // ReplaceFileW with REPLACEFILE_WRITE_THROUGH: `replacement` takes the name and the place of the existing file
  // `replaced`, which keeps its attributes (and on Windows its security, streams and creation time); MoveFileExW
  // where the volume can't replace, or where there is no `replaced`. A read-only `replaced` is refused.
  virtual bool Replace(const std::u16string& replaced, const std::u16string& replacement) = 0;
  virtual bool RemoveFile(const std::u16string& path) = 0;  // DeleteFileW

  // GetFileInformationByHandle on a handle opened with FILE_FLAG_BACKUP_SEMANTICS, so folders too; nullopt where
  // it can't be read.
  virtual std::optional<FileIdentity> Identity(const std::u16string& path) = 0;

  // GetTempPathW, with its trailing backslash.
  virtual std::optional<std::u16string> TemporaryFolder() = 0;
  // GetLongPathNameW; nullopt when the path doesn't exist.
  virtual std::optional<std::u16string> LongPath(const std::u16string& path) = 0;
  // GetShortPathNameW: each name that has an 8.3 alias replaced by it; nullopt when the path doesn't exist.
  virtual std::optional<std::u16string> ShortPath(const std::u16string& path) = 0;
  // GetFullPathNameW.
  virtual std::optional<std::u16string> FullPath(const std::u16string& path) = 0;
  // PathCombineW; nullopt where it fails.
  virtual std::optional<std::u16string> CombinePath(const std::u16string& folder, const std::u16string& file) = 0;

  // FindFirstFileW / FindNextFileW over a pattern such as "C:\\folder\\*.*".
  virtual std::vector<FolderEntry> Find(const std::u16string& pattern) = 0;
};

}  // namespace tc
