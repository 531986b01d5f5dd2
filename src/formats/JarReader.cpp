// Reads one entry out of a JAR (ZIP) archive, stored or deflated, checked against its CRC-32.
#include "formats/JarReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/Hash.h"

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
// A directory up to this long is read in one window, which then serves the index's look-ups without a read each.
constexpr std::size_t kHeldDirectory = 256u << 10;
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

// How much of an entry's data is read from the file at a time; the first read takes its local header along, with
// room for the local name and extra field, which mostly match the directory's.
constexpr std::size_t kReadChunk = 64u << 10;
constexpr std::size_t kLocalSlack = 64;
// The least a stored front grows by when it is not enough, and a quarter of it.
constexpr std::size_t kLeastGrowth = 256;
// Input given beyond what the bytes wanted take at the entry's ratio: the wanted bytes then mostly come in one step.
constexpr std::size_t kInputSlack = 16;

// A deflated entry inflated whole, as a file of its own.
class MemoryFile final : public FileReader {
 public:
  explicit MemoryFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::optional<std::uint64_t> Size() override { return bytes_.size(); }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    if (offset > bytes_.size()) return std::nullopt;
    const std::size_t n = std::min<std::size_t>(length, bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer);
    return n;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// A stored entry read in place, through the archive's own file.
class EntryFile final : public FileReader {
 public:
  EntryFile(std::shared_ptr<FileReader> file, std::uint64_t start, std::uint64_t size)
      : file_(std::move(file)), start_(start), size_(size) {}
  std::optional<std::uint64_t> Size() override { return size_; }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    if (offset > size_) return std::nullopt;
    length = static_cast<std::size_t>(std::min<std::uint64_t>(length, size_ - offset));
    if (length == 0) return 0;
    return file_->ReadAt(start_ + offset, buffer, length);
  }

 private:
  std::shared_ptr<FileReader> file_;
  std::uint64_t start_, size_;
};


JarReader::Entry EntryOf(const std::uint8_t* record, std::uint64_t prefix) {
  JarReader::Entry entry;
  entry.versionNeeded = U16(record + 6);
  entry.flags = U16(record + 8);
  entry.method = U16(record + 10);
  entry.crc = U32(record + 16);
  entry.compressedSize = U32(record + 20);
  entry.uncompressedSize = U32(record + 24);
  entry.nameLength = U16(record + 28);
  entry.localOffset = prefix + U32(record + 42);
  return entry;
}

// Unencrypted, stored or deflated, and stored data is its own compressed form (differing sizes mean a damaged
// directory).
bool Readable(const JarReader::Entry& entry) {
  return entry.versionNeeded <= kHighestVersionNeeded && (entry.flags & 1) == 0 &&
         (entry.method == kDeflated || (entry.method == kStored && entry.compressedSize == entry.uncompressedSize));
}

}  // namespace

// A raw deflate stream (no zlib header or trailer), made once and reset for each entry.
class JarReader::Inflater {
 public:
  Inflater() { ready_ = inflateInit2(&stream_, -15) == Z_OK; }
  ~Inflater() {
    if (ready_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream* Reset() { return ready_ && inflateReset(&stream_) == Z_OK ? &stream_ : nullptr; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

JarReader::JarReader() = default;
JarReader::~JarReader() = default;

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
  longestIndexedName_ = 0;
  indexed_ = false;
  std::vector<std::uint8_t>().swap(window_);
  held_ = false;
  std::vector<std::uint8_t>().swap(input_);
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
  // stays for the next walk: fresh memory for each would cost more than reading into it. A walk begun from inside
  // another (a look-up from ForEachEntryName's visitor) has a window of its own, so that the outer one's stays.
  std::vector<std::uint8_t> own;
  std::vector<std::uint8_t>& window = walking_ ? own : window_;
  struct Walking {
    bool& flag;
    bool before = flag;
    ~Walking() { flag = before; }
  } walking{walking_};
  walking_ = true;
  window.resize(directorySize_ <= kHeldDirectory ? directorySize_ : kDirectoryWindow);
  std::uint64_t windowStart = 0, windowEnd = 0;  // the part of the directory in the window
  const auto hold = [&](std::uint64_t from, std::size_t length) -> const std::uint8_t* {
    if (from + length > windowEnd) {  // the walk only goes forward
      const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(window.size(), directorySize_ - from));
      if (!ReadExactly(*file_, directoryOffset_ + from, window.data(), n)) return nullptr;
      windowStart = from;
      windowEnd = from + n;
      held_ = held_ || (&window == &window_ && n == directorySize_);
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

std::optional<JarReader::Entry> JarReader::FindEntry(std::string_view name) {
  if (indexed_) return FindIndexed(name);
  std::optional<Entry> found;
  WalkDirectory([&](std::uint32_t, const std::uint8_t* p, std::size_t nameLength) {
    if (nameLength == name.size() && std::memcmp(p + kCentralHeaderSize, name.data(), nameLength) == 0) {
      found = EntryOf(p, prefix_);
    }
    return found.has_value();
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
  longestIndexedName_ = 0;
  indexed_ = false;
  if (!file_) return false;
  bool tooMany = false;
  const bool walked = WalkDirectory([&](std::uint32_t offset, const std::uint8_t* p, std::size_t nameLength) {
    tooMany = index_.size() == maxEntries;
    if (!tooMany) {
      index_.push_back({SeededHash({reinterpret_cast<const char*>(p + kCentralHeaderSize), nameLength}), offset});
      longestIndexedName_ = std::max(longestIndexedName_, nameLength);
    }
    return tooMany;
  });
  if (!walked || tooMany) {
    std::vector<IndexedEntry>().swap(index_);
    return false;
  }
  // Equal names stay in directory order, so that the first of them is found, as the walk finds it.
  std::sort(index_.begin(), index_.end());
  indexed_ = true;
  return true;
}

std::optional<JarReader::Entry> JarReader::FindIndexed(std::string_view name) {
  // A name longer than any entry's is none of them, however long it is: it isn't even hashed.
  if (name.size() > longestIndexedName_) return std::nullopt;
  const std::uint64_t hash = SeededHash(name);
  std::vector<std::uint8_t> record;  // most look-ups find no such hash and need none
  for (auto it = std::lower_bound(index_.begin(), index_.end(), IndexedEntry{hash, 0});
       it != index_.end() && it->hash == hash; ++it) {
    // A record with a shorter name may end before the bytes read: then it is not the one.
    const std::uint8_t* p = nullptr;
    if (held_) {
      if (directorySize_ - it->offset >= kCentralHeaderSize + name.size()) p = window_.data() + it->offset;
    } else {
      record.resize(kCentralHeaderSize + name.size());
      if (ReadExactly(*file_, directoryOffset_ + it->offset, record.data(), record.size())) p = record.data();
    }
    if (p && U16(p + 28) == name.size() && std::memcmp(p + kCentralHeaderSize, name.data(), name.size()) == 0) {
      return EntryOf(p, prefix_);
    }
  }
  return std::nullopt;
}

bool JarReader::HasEntry(std::string_view name) { return FindEntry(name).has_value(); }

bool JarReader::ReadEntry(std::string_view name, std::vector<std::uint8_t>& bytes, std::uint32_t maxSize) {
  bytes.clear();
  const std::optional<Entry> entry = FindEntry(name);
  return entry && ReadEntry(*entry, bytes, maxSize);
}

bool JarReader::ReadEntry(const Entry& entry, std::vector<std::uint8_t>& bytes, std::uint32_t maxSize) {
  bytes.clear();
  maxSize = std::min(maxSize, kMaxJarEntrySize);
  if (!file_ || !Readable(entry) || entry.compressedSize > maxSize || entry.uncompressedSize > maxSize) return false;
  bytes.resize(entry.uncompressedSize);
  if (ReadData(entry, bytes.data(), bytes.size(), 0, nullptr)) return true;
  bytes.clear();
  return false;
}

std::optional<std::span<const std::uint8_t>> JarReader::ReadEntryFront(const Entry& entry, std::uint32_t maxSize,
                                                                      std::size_t first, const FrontWanted& wanted,
                                                                      FrontRoom& room) {
  if (!file_ || !Readable(entry)) return std::nullopt;
  // Room for the most the front may take, as the room of a vector reserved: a front is paid for by what it
  // inflates, never by what the directory declares.
  const std::size_t most = std::min({entry.uncompressedSize, maxSize, kMaxJarEntrySize});
  if (most > room.size) {
    room.bytes.reset(new std::uint8_t[most]);
    room.size = most;
  }
  const std::optional<std::size_t> produced = ReadData(entry, room.bytes.get(), most, first, &wanted);
  if (!produced) return std::nullopt;
  return std::span<const std::uint8_t>(room.bytes.get(), *produced);
}

std::optional<std::size_t> JarReader::ReadData(const Entry& entry, std::uint8_t* out, std::size_t room,
                                               std::size_t first, const FrontWanted* wanted) {
  const std::uint32_t size = entry.uncompressedSize, packed = entry.compressedSize;
  if (packed > kMaxJarEntrySize || size > kMaxJarEntrySize) return std::nullopt;

  // The local header and the first of the data in one read. The header's own lengths count: its extra field often
  // differs from the directory's.
  const std::uint64_t local = entry.localOffset;
  if (local > fileSize_ || fileSize_ - local < kLocalHeaderSize) return std::nullopt;
  const std::size_t firstData = std::min<std::size_t>(packed, kReadChunk);
  const std::size_t firstRead = kLocalHeaderSize + entry.nameLength + kLocalSlack + firstData;
  const std::size_t headRead = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize_ - local, firstRead));
  ReadRoom(headRead);
  if (!ReadExactly(*file_, local, input_.data(), headRead) || U32(input_.data()) != kLocalSignature) {
    return std::nullopt;
  }
  const std::uint64_t dataOffset = local + kLocalHeaderSize + U16(input_.data() + 26) + U16(input_.data() + 28);
  if (dataOffset > fileSize_ || packed > fileSize_ - dataOffset) return std::nullopt;
  // What of the data that read brought, and what is still in the file.
  const std::uint8_t* pending = input_.data() + std::min<std::uint64_t>(dataOffset - local, headRead);
  std::size_t pendingLength = std::min<std::size_t>(input_.data() + headRead - pending, packed);
  std::uint64_t nextRead = dataOffset + pendingLength;
  std::uint32_t unread = packed - static_cast<std::uint32_t>(pendingLength);
  const auto verified = [&]() -> std::optional<std::size_t> {
    if (static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), out, static_cast<uInt>(size))) != entry.crc) {
      return std::nullopt;
    }
    return size;
  };

  // A deflated entry of no bytes at all is an empty file; zlib would call it a stalled stream.
  if (entry.method != kDeflated || (packed == 0 && size == 0)) {
    std::size_t produced = 0;
    for (std::size_t target = wanted ? std::min(room, first) : size;;) {
      const std::size_t copied = std::min(pendingLength, target - produced);
      std::copy_n(pending, copied, out + produced);
      pending += copied;
      pendingLength -= copied;
      produced += copied;
      if (produced < target && !ReadExactly(*file_, dataOffset + produced, out + produced, target - produced)) {
        return std::nullopt;
      }
      produced = target;
      if (produced == size) return verified();
      const std::size_t need = (*wanted)({out, produced});
      if (need <= produced) return produced;
      target = std::min(room, std::max(need, produced + std::max(produced / 4, kLeastGrowth)));
      if (target <= produced) return std::nullopt;  // it wants more than it may have
    }
  }

  // A front is inflated in steps of input, each as much as the bytes wanted take at the entry's own ratio: the
  // output then never runs short in the middle of a step, where zlib would go on a byte at a time.
  if (!inflater_) inflater_ = std::make_unique<Inflater>();
  z_stream* stream = inflater_->Reset();
  if (!stream) return std::nullopt;
  std::uint8_t nowhere = 0;  // zlib refuses a null output pointer even when nothing is to be written
  stream->next_out = room > 0 ? out : &nowhere;
  stream->avail_out = static_cast<uInt>(room);
  const auto inputFor = [&](std::size_t bytes) {
    if (!wanted || size == 0) return std::size_t{packed};
    const std::uint64_t input = std::uint64_t{bytes} * packed / size + kInputSlack;
    return static_cast<std::size_t>(std::min<std::uint64_t>(packed, input));
  };
  std::size_t given = 0, allowed = inputFor(std::min(room, first));
  for (bool ended = false;;) {
    // A whole read goes on until the stream ends, which it must do exactly where the declared bytes end; a
    // stream without its final block is damaged, even when the declared bytes all came out.
    while (!ended && (stream->avail_out > 0 || room == size)) {
      if (stream->avail_in == 0) {
        if (given == allowed) break;
        if (pendingLength == 0) {
          const std::size_t chunk = std::min<std::size_t>(unread, kReadChunk);
          ReadRoom(chunk);
          if (chunk == 0 || !ReadExactly(*file_, nextRead, input_.data(), chunk)) return std::nullopt;
          pending = input_.data();
          pendingLength = chunk;
          nextRead += chunk;
          unread -= static_cast<std::uint32_t>(chunk);
        }
        const std::size_t step = std::min(pendingLength, allowed - given);
        stream->next_in = const_cast<std::uint8_t*>(pending);
        stream->avail_in = static_cast<uInt>(step);
        pending += step;
        pendingLength -= step;
        given += step;
      }
      const int status = inflate(stream, Z_NO_FLUSH);
      ended = status == Z_STREAM_END;
      if (!ended && status != Z_OK) return std::nullopt;
    }
    const std::size_t produced = room - stream->avail_out;
    if (ended) {
      if (produced != size || given != packed || stream->avail_in > 0) return std::nullopt;
      return verified();
    }
    // All of the input in, and the stream not ended where it had room to: damaged.
    if (!wanted || (given == packed && (stream->avail_out > 0 || room == size))) return std::nullopt;
    const std::size_t need = (*wanted)({out, produced});
    if (need <= produced) return produced;
    if (produced == room && room < size) return std::nullopt;  // it wants more than it may have
    // The rest at the ratio of the front so far, which tells it better than the whole entry's; at least a
    // sixteenth more input each step, so that a stream that yields little ends in a few of them.
    const std::uint64_t more = produced > 0 ? std::uint64_t{need - produced} * given / produced : need;
    allowed = std::min<std::size_t>(packed, given + std::max<std::uint64_t>(more + kInputSlack, given / 16));
  }
}

std::unique_ptr<FileReader> JarReader::OpenEntry(const Entry& entry, std::uint32_t maxSize) {
  if (!file_ || !Readable(entry)) return nullptr;
  if (entry.method == kDeflated) {
    std::vector<std::uint8_t> bytes;
    if (!ReadEntry(entry, bytes, maxSize)) return nullptr;
    return std::make_unique<MemoryFile>(std::move(bytes));
  }
  std::uint8_t local[kLocalHeaderSize];
  if (!ReadExactly(*file_, entry.localOffset, local, sizeof local) || U32(local) != kLocalSignature) return nullptr;
  const std::uint64_t dataOffset = entry.localOffset + kLocalHeaderSize + U16(local + 26) + U16(local + 28);
  if (dataOffset > fileSize_ || entry.compressedSize > fileSize_ - dataOffset) return nullptr;
  return std::make_unique<EntryFile>(file_, dataOffset, entry.compressedSize);
}

}  // namespace tc
