// Reads one entry out of a JAR (ZIP) archive, stored or deflated, checked against its CRC-32.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace tc {

// Larger entries (compressed or not) are refused before anything is allocated for them.
constexpr std::uint32_t kMaxJarEntrySize = 16u << 20;

class JarReader {
 public:
  JarReader() = default;
  JarReader(const JarReader&) = delete;
  JarReader& operator=(const JarReader&) = delete;

  // Closes what was open, opens the archive and finds its central directory; false leaves the reader closed.
  bool OpenJar(Files& files, const std::u16string& path);
  bool OpenJar(std::unique_ptr<FileReader> file);

  // The entry of exactly this byte name (case-sensitive), uncompressed and verified; entries larger than
  // `maxSize` (compressed or not) are refused before anything is allocated. On false `bytes` holds nothing useful.
  bool ReadEntry(std::string_view name, std::vector<std::uint8_t>& bytes, std::uint32_t maxSize = kMaxJarEntrySize);
  // Whether the directory lists an entry of exactly this byte name.
  bool HasEntry(std::string_view name);

  // Each entry's byte name in directory order, until the walk ends or meets a damaged record.
  void ForEachEntryName(const std::function<void(std::string_view)>& visit);

  // Walks the directory once so that later look-ups find a name at once instead of walking it again. False, and
  // no index, when the directory is damaged or lists more than `maxEntries` entries; look-ups then walk as before.
  bool IndexEntries(std::size_t maxEntries);
  std::size_t IndexedEntryCount() const { return index_.size(); }

  void CloseJar();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  bool FindDirectory();
  // Calls `visit(offset, record, nameLength)` for each central header in order, with the header and its name in
  // memory, until it returns true; false when the walk met a damaged record before.
  template <typename Visit>
  bool WalkDirectory(Visit visit);
  bool FindIndexed(std::string_view name, std::vector<std::uint8_t>& header);
  // Copies the entry's central directory header (without its name) into `header`.
  bool FindEntry(std::string_view name, std::vector<std::uint8_t>& header);

  std::unique_ptr<FileReader> file_;
  std::uint64_t fileSize_ = 0;
  // The directory is walked in windows through the file, never held whole: memory stays bounded.
  std::uint64_t directoryOffset_ = 0;
  std::uint32_t directorySize_ = 0;
  // Bytes in front of the archive that its own offsets do not count (a script or an executable stub).
  std::uint64_t prefix_ = 0;
  // Each entry's name hash and the offset of its header in the directory, sorted: 16 bytes an entry, the names
  // stay in the file and are compared there.
  struct IndexedEntry {
    std::uint64_t hash;
    std::uint32_t offset;
    friend auto operator<=>(const IndexedEntry&, const IndexedEntry&) = default;
  };
  std::vector<IndexedEntry> index_;
  std::vector<std::uint8_t> window_;
  bool indexed_ = false;
};

}  // namespace tc
