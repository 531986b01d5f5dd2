// Reads one entry out of a JAR (ZIP) archive, stored or deflated, checked against its CRC-32.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace tc {

// Larger entries (compressed or not) are refused before anything is allocated for them.
constexpr std::uint32_t kMaxJarEntrySize = 16u << 20;
// A central directory larger than this is refused: a JAR of half a million entries still fits.
constexpr std::uint32_t kMaxJarDirectorySize = 64u << 20;

class JarReader {
 public:
  JarReader() = default;
  JarReader(const JarReader&) = delete;
  JarReader& operator=(const JarReader&) = delete;

  // Closes what was open, opens the archive and loads its central directory; false leaves the reader closed.
  bool OpenJar(Files& files, const std::u16string& path);
  bool OpenJar(std::unique_ptr<FileReader> file);

  // The entry of exactly this byte name (case-sensitive), uncompressed and verified.
  // On false `bytes` holds nothing useful.
  bool ReadEntry(std::string_view name, std::vector<std::uint8_t>& bytes);

  void CloseJar();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  bool LoadDirectory();

  std::unique_ptr<FileReader> file_;
  std::uint64_t fileSize_ = 0;
  std::vector<std::uint8_t> directory_;
};

}  // namespace tc
