// Reads one entry out of a JAR (ZIP) archive, stored or deflated, checked against its CRC-32.
#include "formats/JarReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace tc {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
// The end record with the longest comment it can declare.
constexpr std::size_t kLongestTail = kEndRecordSize + 0xFFFF;
// How much of the central directory is read at a time: at least a header with the longest name.
constexpr std::size_t kDirectoryWindow = 128u << 10;
static_assert(kDirectoryWindow >= kCentralHeaderSize + 0xFFFF);
constexpr std::uint16_t kHighestVersionNeeded = 20;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// The port may hand out fewer bytes than asked; only an error or the end of the file makes this fail.
bool ReadExactly(FileReader& file, std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
  while (length > 0) {
    const auto got = file.ReadAt(offset, buffer, length);
    if (!got || *got == 0 || *got > length) return false;
    offset += *got;
    buffer += *got;
    length -= *got;
  }
  return true;
}

// A read that fails finds none: the walk over the directory then meets the same failure.
bool CentralHeaderAt(FileReader& file, std::uint64_t offset) {
  std::uint8_t signature[4];
  return ReadExactly(file, offset, signature, sizeof signature) && U32(signature) == kCentralSignature;
}

// A raw deflate stream (no zlib header or trailer), ended on every path.
class RawInflater {
 public:
  RawInflater() { ready_ = inflateInit2(&stream_, -15) == Z_OK; }
  ~RawInflater() {
    if (ready_) inflateEnd(&stream_);
  }
  RawInflater(const RawInflater&) = delete;
  RawInflater& operator=(const RawInflater&) = delete;

  // One call: the data must end exactly where both the input and the declared output end.
  bool InflateAll(std::vector<std::uint8_t>& input, std::vector<std::uint8_t>& output) {
    if (!ready_) return false;
    std::uint8_t nowhere = 0;  // zlib refuses a null output pointer even when nothing is to be written
    stream_.next_in = input.data();
    stream_.avail_in = static_cast<uInt>(input.size());
    stream_.next_out = output.empty() ? &nowhere : output.data();
    stream_.avail_out = static_cast<uInt>(output.size());
    // A stream without its final block is damaged, even when the declared bytes all came out.
    return inflate(&stream_, Z_NO_FLUSH) == Z_STREAM_END && stream_.total_in == input.size() &&
           stream_.total_out == output.size();
  }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

// FNV-1a: names of one archive rarely share a 64-bit hash, and a shared one only costs a comparison more.
std::uint64_t NameHash(std::string_view name) {
  std::uint64_t hash = 0xCBF29CE484222325;
  for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001B3;
  return hash;
}

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes) {
  return static_cast<std::uint32_t>(
      crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

}  // namespace

bool JarReader::OpenJar(Files& files, const std::u16string& path) {
  CloseJar();
  return OpenJar(files.OpenForReading(path));
}

bool JarReader::OpenJar(std::unique_ptr<FileReader> file) {
  CloseJar();
  if (!file) return false;
  file_ = std::move(file);
  if (FindDirectory()) return true;
  CloseJar();
  return false;
}

void JarReader::CloseJar() {
  file_.reset();
  fileSize_ = 0;
  directoryOffset_ = 0;
  directorySize_ = 0;
  prefix_ = 0;
  std::vector<IndexedEntry>().swap(index_);
  indexed_ = false;
  std::vector<std::uint8_t>().swap(window_);
}

bool JarReader::FindDirectory() {
  const auto size = file_->Size();
  if (!size || *size < kEndRecordSize) return false;
  fileSize_ = *size;

  const std::size_t tailLength = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize_, kLongestTail));
  const std::uint64_t tailStart = fileSize_ - tailLength;
  std::vector<std::uint8_t> tail(tailLength);
  if (!ReadExactly(*file_, tailStart, tail.data(), tailLength)) return false;

  // The first record from the front whose comment reaches exactly the end of the file.
  const std::uint8_t* end = nullptr;
  std::size_t at = 0;
  for (; at + kEndRecordSize <= tailLength; ++at) {
    const std::uint8_t* p = tail.data() + at;
    if (U32(p) == kEndSignature && U32(p + 4) == 0 && U16(p + 8) == U16(p + 10) &&
        kEndRecordSize + U16(p + 20) == tailLength - at) {
      end = p;
      break;
    }
  }
  if (!end) return false;

  directorySize_ = U32(end + 12);
  directoryOffset_ = U32(end + 16);
  if (directorySize_ == 0) return true;
  // The directory must lie before the end record: a lying record then never asks for more than the file holds.
  const std::uint64_t endOffset = tailStart + at;
  if (directorySize_ > endOffset || directoryOffset_ > endOffset - directorySize_) return false;

  // An archive behind a stub keeps the offsets it had alone; where its directory really lies, just before the
  // end record, tells how long the stub is. The stated offset wins whenever a directory starts there.
  const std::uint64_t shifted = endOffset - directorySize_;
  if (!CentralHeaderAt(*file_, directoryOffset_) && CentralHeaderAt(*file_, shifted)) {
    prefix_ = shifted - directoryOffset_;
    directoryOffset_ = shifted;
  }
  return true;
}

template <typename Visit>
bool JarReader::WalkDirectory(Visit visit) {
  if (!file_ || directorySize_ < kCentralHeaderSize) return true;

  // A window always holds a whole header with its name; extra fields and comments are stepped over unread. It
  // stays for the next walk: fresh memory for each would cost more than reading into it.
  std::vector<std::uint8_t>& window = window_;
  window.resize(std::min<std::size_t>(directorySize_, kDirectoryWindow));
  std::uint64_t windowStart = 0, windowEnd = 0;  // the part of the directory in the window
  const auto hold = [&](std::uint64_t from, std::size_t length) -> const std::uint8_t* {
    if (from + length > windowEnd) {  // the walk only goes forward
      const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(window.size(), directorySize_ - from));
      if (!ReadExactly(*file_, directoryOffset_ + from, window.data(), n)) return nullptr;
      windowStart = from;
      windowEnd = from + n;
    }
    return window.data() + (from - windowStart);
  };

  for (std::uint64_t at = 0; directorySize_ - at >= kCentralHeaderSize;) {
    const std::uint8_t* p = hold(at, kCentralHeaderSize);
    if (!p || U32(p) != kCentralSignature) return false;
    const std::size_t nameLength = U16(p + 28);
    const std::uint64_t recordLength = kCentralHeaderSize + nameLength + U16(p + 30) + U16(p + 32);
    if (directorySize_ - at < recordLength) return false;
    p = hold(at, kCentralHeaderSize + nameLength);
    if (!p) return false;
    if (visit(static_cast<std::uint32_t>(at), p, nameLength)) return true;
    at += recordLength;
  }
  return true;
}

bool JarReader::FindEntry(std::string_view name, std::vector<std::uint8_t>& header) {
  if (indexed_) return FindIndexed(name, header);
  bool found = false;
  WalkDirectory([&](std::uint32_t, const std::uint8_t* p, std::size_t nameLength) {
    found = nameLength == name.size() && std::memcmp(p + kCentralHeaderSize, name.data(), nameLength) == 0;
    if (found) header.assign(p, p + kCentralHeaderSize);
    return found;
  });
  return found;
}

void JarReader::ForEachEntryName(const std::function<void(std::string_view)>& visit) {
  WalkDirectory([&](std::uint32_t, const std::uint8_t* p, std::size_t nameLength) {
    visit({reinterpret_cast<const char*>(p + kCentralHeaderSize), nameLength});
    return false;
  });
}

bool JarReader::IndexEntries(std::size_t maxEntries) {
  index_.clear();
  indexed_ = false;
  if (!file_) return false;
  bool tooMany = false;
  const bool walked = WalkDirectory([&](std::uint32_t offset, const std::uint8_t* p, std::size_t nameLength) {
    tooMany = index_.size() == maxEntries;
    if (!tooMany) {
      index_.push_back({NameHash({reinterpret_cast<const char*>(p + kCentralHeaderSize), nameLength}), offset});
    }
    return tooMany;
  });
  if (!walked || tooMany) {
    std::vector<IndexedEntry>().swap(index_);
    return false;
  }
  // Equal names stay in directory order, so the first of them is found, as the walk finds it.
  std::sort(index_.begin(), index_.end());
  indexed_ = true;
  return true;
}

bool JarReader::FindIndexed(std::string_view name, std::vector<std::uint8_t>& header) {
  const std::uint64_t hash = NameHash(name);
  std::vector<std::uint8_t> record;  // most look-ups find no such hash and need none
  for (auto it = std::lower_bound(index_.begin(), index_.end(), IndexedEntry{hash, 0});
       it != index_.end() && it->hash == hash; ++it) {
    record.resize(kCentralHeaderSize + name.size());
    // A record with a shorter name may end before the bytes read: then it is not the one.
    if (!ReadExactly(*file_, directoryOffset_ + it->offset, record.data(), record.size())) continue;
    if (U16(record.data() + 28) == name.size() &&
        std::memcmp(record.data() + kCentralHeaderSize, name.data(), name.size()) == 0) {
      header.assign(record.begin(), record.begin() + kCentralHeaderSize);
      return true;
    }
  }
  return false;
}

bool JarReader::HasEntry(std::string_view name) {
  std::vector<std::uint8_t> header;
  return FindEntry(name, header);
}

bool JarReader::ReadEntry(std::string_view name, std::vector<std::uint8_t>& bytes, std::uint32_t maxSize) {
  bytes.clear();
  std::vector<std::uint8_t> header;
  if (!FindEntry(name, header)) return false;
  const std::uint8_t* record = header.data();

  const std::uint16_t method = U16(record + 10);
  if (U16(record + 6) > kHighestVersionNeeded || (U16(record + 8) & 1) != 0 ||
      (method != kStored && method != kDeflated))
    return false;
  const std::uint32_t crc = U32(record + 16);
  const std::uint32_t compressedSize = U32(record + 20);
  const std::uint32_t uncompressedSize = U32(record + 24);
  const std::uint64_t localOffset = prefix_ + U32(record + 42);
  maxSize = std::min(maxSize, kMaxJarEntrySize);
  if (compressedSize > maxSize || uncompressedSize > maxSize) return false;
  // Unencrypted stored data is its own compressed form; differing sizes mean a damaged directory.
  if (method == kStored && compressedSize != uncompressedSize) return false;

  std::uint8_t local[kLocalHeaderSize];
  if (!ReadExactly(*file_, localOffset, local, sizeof local) || U32(local) != kLocalSignature) return false;
  // The local header's own lengths: its extra field often differs from the directory's.
  const std::uint64_t dataOffset = localOffset + kLocalHeaderSize + U16(local + 26) + U16(local + 28);
  if (dataOffset > fileSize_ || compressedSize > fileSize_ - dataOffset) return false;

  if (method == kStored) {
    bytes.resize(uncompressedSize);
    if (!ReadExactly(*file_, dataOffset, bytes.data(), bytes.size())) return false;
  } else if (compressedSize > 0 || uncompressedSize > 0) {
    // A deflated entry of no bytes at all is an empty file; zlib would call it a stalled stream.
    std::vector<std::uint8_t> compressed(compressedSize);
    if (!ReadExactly(*file_, dataOffset, compressed.data(), compressed.size())) return false;
    bytes.resize(uncompressedSize);
    RawInflater inflater;
    if (!inflater.InflateAll(compressed, bytes)) return false;
  }
  return Crc32(bytes) == crc;
}

}  // namespace tc
