// An in-memory file system with the Windows file system's semantics, for running the core off Windows.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace tc {

// Faults a test can put on one file, to reach its callers' error paths.
enum class FileFault {
  None,
  Locked,      // held open without sharing by another program: opens, writes and copies fail
  SizeFails,   // opens, but its size can't be read
  ReadFails,   // opens and reports its size, but reading fails
};

class MemoryFiles final : public Files {
 public:
  // Starts with drive C:, the temporary folder "C:\Users\user\AppData\Local\Temp\" and the current folder "C:\".
  MemoryFiles();
  ~MemoryFiles() override;
  MemoryFiles(const MemoryFiles&) = delete;
  MemoryFiles& operator=(const MemoryFiles&) = delete;

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

  // Test setup. Missing folders on the way are created; relative paths resolve against the current folder.
  bool AddFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes,
               std::uint32_t attributes = attribute::kArchive);
  bool AddFile(const std::u16string& path, std::string_view text, std::uint32_t attributes = attribute::kArchive);
  bool AddFolder(const std::u16string& path);
  // Makes `link`, which must not exist yet, a second name of the existing folder, as a junction or the links of
  // Wine's profile folders are; the folder's identity is then reached under both names.
  bool Link(const std::u16string& link, const std::u16string& folder);
  // Gives the file or folder an 8.3 alias (as "PROGRA~1"), which paths may use and LongPath expands.
  bool SetShortName(const std::u16string& path, const std::u16string& shortName);
  bool SetFault(const std::u16string& path, FileFault fault);
  // From now on every write stops after this many bytes and fails, as on a full disk or a share that drops.
  void FailWritesAfter(std::size_t bytes) { writeLimit_ = bytes; }
  std::optional<std::vector<std::uint8_t>> ReadBack(const std::u16string& path);
  // Neither needs to exist, as on Windows, where both come from the environment.
  void SetTemporaryFolder(const std::u16string& folder) { temporaryFolder_ = folder; }
  bool SetCurrentFolder(const std::u16string& folder);
  // Readers opened and not yet destroyed, over all files: callers must close what they open.
  int OpenReaders() const { return *openReaders_; }

 private:
  struct NameLess {
    bool operator()(const std::u16string& a, const std::u16string& b) const;
  };
  // A folder's children are keyed by their names on disk; a linked folder is a child of two folders.
  struct Node {
    std::uint64_t index = 0;  // unique in the file system
    std::uint32_t volume = 0;  // the serial number of its drive or share: its root's index
    std::u16string shortName;
    bool folder = false;
    std::uint32_t attributes = 0;
    std::vector<std::uint8_t> bytes;
    std::map<std::u16string, std::shared_ptr<Node>, NameLess> children;
    int readers = 0;
    FileFault fault = FileFault::None;
  };
  // A path folded to its full form: the root ("C:" or "\\server\share") and the names below it.
  struct Location {
    std::u16string root;
    std::vector<std::u16string> names;
    bool trailingSeparator = false;
  };
  class Reader;

  std::optional<Location> Locate(const std::u16string& path) const;
  std::shared_ptr<Node> Root(const std::u16string& root, bool create);
  std::shared_ptr<Node> NewNode(bool folder, std::uint32_t volume);
  // The child by its name or its short name; `onDisk` receives the name it is listed under.
  std::shared_ptr<Node> Child(const std::shared_ptr<Node>& folder, const std::u16string& name,
                              std::u16string* onDisk = nullptr) const;
  // The node the path names, or null; a path with a trailing separator only names a folder.
  std::shared_ptr<Node> Lookup(const std::u16string& path);
  // The folder that would hold the path's last name, or null; `name` receives that name.
  std::shared_ptr<Node> Parent(const std::u16string& path, std::u16string& name);
  std::shared_ptr<Node> MakeFolders(const Location& location, size_t count);
  bool Writable(const std::shared_ptr<Node>& existing) const;
  std::shared_ptr<Node> NewFile(const std::shared_ptr<Node>& folder, const std::u16string& name);
  bool Write(const std::shared_ptr<Node>& node, const std::vector<std::uint8_t>& bytes);
  // The path with each name as it is listed on disk, or by its short name where it has one.
  std::optional<std::u16string> NamesOf(const std::u16string& path, bool shortNames);

  std::map<std::u16string, std::shared_ptr<Node>, NameLess> roots_;
  std::u16string temporaryFolder_;
  Location currentFolder_;
  std::optional<std::size_t> writeLimit_;
  std::uint64_t nextIndex_ = 1;
  std::shared_ptr<int> openReaders_ = std::make_shared<int>(0);
};

}  // namespace tc
