// Reads entries out of a JAR (ZIP) archive, stored or deflated, checked against their CRC-32.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace tc {

// Larger entries (compressed or not) are refused before anything is allocated for them.
constexpr std::uint32_t kMaxJarEntrySize = 16u << 20;

class JarReader {
 public:
  // An entry as the central directory records it: found by its name once, then read.
  struct Entry {
    std::uint16_t versionNeeded = 0, flags = 0, method = 0, nameLength = 0;
    std::uint32_t crc = 0, compressedSize = 0, uncompressedSize = 0;
    std::uint64_t localOffset = 0;  // in the file, a stub in front of the archive counted
  };
  // Given the bytes read so far of an entry's front, how many its reader needs: at most their number once it has
  // all it wants, else as many as it expects to.
  using FrontWanted = std::function<std::size_t(std::span<const std::uint8_t> front)>;

  JarReader();
  ~JarReader();
  JarReader(const JarReader&) = delete;
  JarReader& operator=(const JarReader&) = delete;

  // Closes what was open, opens the archive and finds its central directory; false leaves the reader closed.
  bool OpenJar(Files& files, const std::u16string& path);
  bool OpenJar(std::unique_ptr<FileReader> file);

  // The first entry of exactly this byte name (case-sensitive).
  std::optional<Entry> FindEntry(std::string_view name);
  // The entry, uncompressed and verified; entries larger than `maxSize` (compressed or not) are refused before
  // anything is allocated. On false `bytes` holds nothing useful.
  bool ReadEntry(std::string_view name, std::vector<std::uint8_t>& bytes, std::uint32_t maxSize = kMaxJarEntrySize);
  bool ReadEntry(const Entry& entry, std::vector<std::uint8_t>& bytes, std::uint32_t maxSize = kMaxJarEntrySize);
  // Room for the fronts of entries read one after another, out of any reader: it grows to the largest and is
  // never written before a front is read into it.
  struct FrontRoom {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
  };
  // Only the front of the entry: about `first` bytes, then as many more as `wanted` asks for, and at most `maxSize`
  // of them, in `room` until its next use; nullopt when it wants more, or the data it reads is damaged. A front
  // that ends before the entry does can't be checked against the CRC-32: fit only for a look at a class file,
  // never for anything kept or written.
  std::optional<std::span<const std::uint8_t>> ReadEntryFront(const Entry& entry, std::uint32_t maxSize,
                                                              std::size_t first, const FrontWanted& wanted,
                                                              FrontRoom& room);
  // The entry as a file of its own, for a JAR inside the JAR: a stored one read in place, a deflated one
  // inflated whole and verified (up to `maxSize` bytes). nullptr when it can't be read.
  std::unique_ptr<FileReader> OpenEntry(const Entry& entry, std::uint32_t maxSize = kMaxJarEntrySize);
  // Whether the directory lists an entry of exactly this byte name.
  bool HasEntry(std::string_view name);

  // Each entry's byte name in directory order, until the walk ends or meets a damaged record. The visitor may look
  // entries up and read them; it must not close or open the reader.
  void ForEachEntryName(const std::function<void(std::string_view)>& visit);

  // Walks the directory once so that later look-ups find a name at once instead of walking it again. False, and
  // no index, when the directory is damaged or lists more than `maxEntries` entries; look-ups then walk as before.
  bool IndexEntries(std::size_t maxEntries);
  std::size_t IndexedEntryCount() const { return index_.size(); }
  // No entry has a longer name: once indexed, the longest there is.
  std::size_t LongestEntryName() const { return indexed_ ? longestIndexedName_ : 0xFFFF; }

  void CloseJar();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  class Inflater;

  bool FindDirectory();
  // Calls `visit(offset, record, nameLength)` for each central header in order, with the header and its name in
  // memory, until it returns true; false when the walk met a damaged record before.
  template <typename Visit>
  bool WalkDirectory(Visit visit);
  std::optional<Entry> FindIndexed(std::string_view name);
  // Reads the entry's data into `out`, which has room for `room` bytes: all of it (as many as it declares), or
  // with `wanted` only its front. How many bytes it read, or nullopt.
  std::optional<std::size_t> ReadData(const Entry& entry, std::uint8_t* out, std::size_t room, std::size_t first,
                                      const FrontWanted* wanted);

  // Shared with the readers of the JARs inside it that OpenEntry hands out, which may outlive it.
  std::shared_ptr<FileReader> file_;
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
  std::size_t longestIndexedName_ = 0;
  bool indexed_ = false;
  std::vector<std::uint8_t> window_;
  bool held_ = false;     // `window_` holds the whole directory
  bool walking_ = false;  // a walk over the directory is under way, and owns `window_`
  // Kept from one read to the next, as reading entry after entry (the class walk) costs less without fresh memory.
  std::unique_ptr<Inflater> inflater_;
  std::vector<std::uint8_t> input_;
  // Room in `input_` for a read of this many bytes: it only grows, and is never cleared before a read.
  void ReadRoom(std::size_t bytes) {
    if (input_.size() < bytes) input_.resize(bytes);
  }
};

}  // namespace tc
