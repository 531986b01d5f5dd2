// JAR reader: archives written by real tools, exact names, and damaged or hostile archives failing cleanly.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/JarReader.h"
#include "platform/host/MemoryFiles.h"

namespace tc {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kManifest = "META-INF/MANIFEST.MF";

// A file of bytes in memory; `chunk` makes it hand out fewer bytes per read than asked, as the port may.
class MemoryReader final : public FileReader {
 public:
  explicit MemoryReader(Bytes bytes, std::size_t chunk = SIZE_MAX) : bytes_(std::move(bytes)), chunk_(chunk) {}
  std::optional<std::uint64_t> Size() override { return bytes_.size(); }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    if (offset > bytes_.size()) return std::nullopt;
    const std::size_t n = std::min({length, chunk_, static_cast<std::size_t>(bytes_.size() - offset)});
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer);
    return n;
  }

 private:
  Bytes bytes_;
  std::size_t chunk_;
};

Bytes Fixture(const std::string& name) {
  std::ifstream in(std::string(TC_TEST_DATA) + "/jar/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes B(std::string_view text) { return {text.begin(), text.end()}; }

bool Open(JarReader& reader, Bytes bytes, std::size_t chunk = SIZE_MAX) {
  return reader.OpenJar(std::make_unique<MemoryReader>(std::move(bytes), chunk));
}

// The entry's bytes, or nullopt when the reader refuses it; a reader that indexed its directory must agree.
std::optional<Bytes> Read(const Bytes& archive, const std::string& name = kManifest) {
  std::optional<Bytes> read[2];
  for (int indexed : {0, 1}) {
    JarReader reader;
    Bytes bytes;
    if (!Open(reader, archive)) return std::nullopt;
    if (indexed) reader.IndexEntries(SIZE_MAX);
    if (reader.ReadEntry(name, bytes)) read[indexed] = bytes;
  }
  EXPECT_EQ(read[0], read[1]) << name;
  return read[0];
}

// ---- Archives built field by field, so that a test can damage exactly one field.

std::string RawDeflate(std::string_view data, int flush = Z_FINISH) {
  z_stream s{};
  deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&s, static_cast<uLong>(data.size())) + 16, '\0');
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  s.avail_in = static_cast<uInt>(data.size());
  s.next_out = reinterpret_cast<Bytef*>(out.data());
  s.avail_out = static_cast<uInt>(out.size());
  deflate(&s, flush);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

struct Entry {
  std::string name = kManifest;
  std::string content = "Manifest-Version: 1.0\r\nMain-Class: a.Main\r\n\r\n";
  std::uint16_t method = 8;
  std::optional<std::string> packed;  // the data as it lies in the archive, instead of `content` packed
  std::string localExtra, centralExtra;
};

Entry Named(std::string name, std::string content) {
  Entry e;
  e.name = std::move(name);
  e.content = std::move(content);
  return e;
}

// An entry whose archive data is given as is, so that it can disagree with the content.
Entry Packed(std::string content, std::string packed, std::uint16_t method = 8) {
  Entry e = Named(kManifest, std::move(content));
  e.packed = std::move(packed);
  e.method = method;
  return e;
}

struct Zip {
  Bytes bytes;
  std::vector<std::size_t> local, central;  // where each entry's headers start
  std::size_t end = 0;                      // where the end record starts
};

void Put(Bytes& b, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t Get(const Bytes& b, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | b[at + i];
  return value;
}
void Put16(Zip& z, std::size_t at, std::uint32_t v) { Put(z.bytes, at, v, 2); }
void Put32(Zip& z, std::size_t at, std::uint32_t v) { Put(z.bytes, at, v, 4); }

Zip BuildZip(const std::vector<Entry>& entries, const std::string& comment = "") {
  Zip z;
  auto append = [&z](std::string_view s) { z.bytes.insert(z.bytes.end(), s.begin(), s.end()); };
  auto appendNumber = [&z](std::uint32_t v, int width) {
    z.bytes.resize(z.bytes.size() + width);
    Put(z.bytes, z.bytes.size() - width, v, width);
  };
  std::vector<std::string> directory;
  for (const Entry& e : entries) {
    const std::string packed = e.packed ? *e.packed : e.method == 8 ? RawDeflate(e.content) : e.content;
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(e.content.data()), static_cast<uInt>(e.content.size())));
    const std::uint32_t common[] = {20, 0, e.method, 0, 0, crc, static_cast<std::uint32_t>(packed.size()),
                                    static_cast<std::uint32_t>(e.content.size())};
    const int widths[] = {2, 2, 2, 2, 2, 4, 4, 4};  // version, flags, method, time, date, CRC, sizes
    z.local.push_back(z.bytes.size());
    append("PK\3\4");
    for (int i = 0; i < 8; ++i) appendNumber(common[i], widths[i]);
    appendNumber(static_cast<std::uint32_t>(e.name.size()), 2);
    appendNumber(static_cast<std::uint32_t>(e.localExtra.size()), 2);
    append(e.name);
    append(e.localExtra);
    append(packed);
  }
  const std::size_t directoryOffset = z.bytes.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    const Bytes local(z.bytes.begin() + z.local[i], z.bytes.begin() + z.local[i] + 26);
    z.central.push_back(z.bytes.size());
    append("PK\1\2");
    appendNumber(20, 2);                                               // version made by
    z.bytes.insert(z.bytes.end(), local.begin() + 4, local.end());  // version needed .. uncompressed size
    appendNumber(static_cast<std::uint32_t>(e.name.size()), 2);
    appendNumber(static_cast<std::uint32_t>(e.centralExtra.size()), 2);
    appendNumber(0, 2);  // comment length
    appendNumber(0, 4);  // disk, internal attributes
    appendNumber(0, 4);  // external attributes
    appendNumber(static_cast<std::uint32_t>(z.local[i]), 4);
    append(e.name);
    append(e.centralExtra);
  }
  z.end = z.bytes.size();
  append("PK\5\6");
  appendNumber(0, 4);
  appendNumber(static_cast<std::uint32_t>(entries.size()), 2);
  appendNumber(static_cast<std::uint32_t>(entries.size()), 2);
  appendNumber(static_cast<std::uint32_t>(z.end - directoryOffset), 4);
  appendNumber(static_cast<std::uint32_t>(directoryOffset), 4);
  appendNumber(static_cast<std::uint32_t>(comment.size()), 2);
  append(comment);
  return z;
}

// Field offsets within the end record (E), a central header (C) and a local header (L).
enum : std::size_t { kEDisk = 4, kEDirectoryDisk = 6, kEDiskEntries = 8, kEDirSize = 12, kEDirOffset = 16,
                     kECommentLength = 20 };
enum : std::size_t { kCVersion = 6, kCFlags = 8, kCMethod = 10, kCCrc = 16, kCCompressed = 20,
                     kCUncompressed = 24, kCNameLength = 28, kCExtraLength = 30, kCCommentLength = 32,
                     kCLocalOffset = 42 };
enum : std::size_t { kLNameLength = 26, kLExtraLength = 28 };

// ---- Archives written by real tools

TEST(JarReaderTools, ManifestEqualsWhatUnzipExtracts) {
  for (const char* name : {"jdk-stored.jar", "jdk-deflated.jar", "infozip-comment.jar", "infozip-stored.zip",
                           "python-deflated.zip"}) {
    SCOPED_TRACE(name);
    const Bytes archive = Fixture(name);
    const Bytes expected = Fixture(std::string(name) + ".manifest");
    ASSERT_FALSE(archive.empty());
    ASSERT_FALSE(expected.empty());
    for (std::size_t chunk : {SIZE_MAX, std::size_t{7}}) {
      JarReader reader;
      Bytes manifest = B("left over");
      ASSERT_TRUE(Open(reader, archive, chunk));
      ASSERT_TRUE(reader.ReadEntry(kManifest, manifest));
      EXPECT_EQ(manifest, expected);
    }
  }
}

TEST(JarReaderTools, StoredAndDeflatedEntriesReadTheSame) {
  const Bytes stored = Fixture("jdk-stored.jar"), deflated = Fixture("jdk-deflated.jar");
  for (const char* entry : {"META-INF/", "META-INF/MANIFEST.MF", "demo/Main.class", "empty.txt", "readme.txt"}) {
    SCOPED_TRACE(entry);
    const auto a = Read(stored, entry), b = Read(deflated, entry);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, *b);
  }
  EXPECT_EQ(Read(stored, "readme.txt")->size(), 1631u);
  EXPECT_EQ(Read(Fixture("python-deflated.zip"), "empty.txt"), Bytes{});  // deflated to 03 00
}

TEST(JarReaderTools, NamesAreMatchedExactly) {
  const Bytes lower = Fixture("python-lowercase.zip");
  EXPECT_EQ(Read(lower, kManifest), std::nullopt);
  EXPECT_TRUE(Read(lower, "meta-inf/manifest.mf"));

  const Zip z = BuildZip({Entry{}, Named("d\xc3\xa9j\xc3\xa0.txt", "accents"),
                          Named(kManifest, "second of the name")});
  for (const char* other : {"", "META-INF/MANIFEST.M", "META-INF/MANIFEST.MFX", "/META-INF/MANIFEST.MF",
                            "META-INF\\MANIFEST.MF", "deja.txt"})
    EXPECT_EQ(Read(z.bytes, other), std::nullopt) << other;
  EXPECT_EQ(Read(z.bytes, "d\xc3\xa9j\xc3\xa0.txt"), B("accents"));
  EXPECT_EQ(Read(z.bytes, kManifest), B(Entry{}.content));  // the first of two equal names
}

TEST(JarReaderTools, LongDirectoriesAreWalkedToTheirEnd) {
  // Records of uneven length, then three with the longest names, so that records straddle every point where the
  // walk reads on; the manifest twice. Once more with extra fields of nearly the longest length, so that records
  // span most of a window.
  const auto name = [](int i) { return std::to_string(i) + std::string(300 + i * 37 % 700, 'n'); };
  const auto longest = [](char last) { return std::string(0xFFFE, 'L') + last; };
  for (const std::size_t extra : {0, 0xFFFF}) {
    SCOPED_TRACE(extra);
    std::vector<Entry> entries;
    for (int i = 0; i < 400; ++i) entries.push_back(Named(name(i), "x"));
    entries.insert(entries.begin() + 250, Entry{});
    entries.insert(entries.begin() + 300, Named(kManifest, "second of the name"));
    for (char last : {'a', 'b', 'c'}) entries.push_back(Named(longest(last), std::string(1, last)));
    for (Entry& e : entries) e.centralExtra = std::string(extra - extra % (e.name.size() + 1), 'x');
    const Zip z = BuildZip(entries);
    EXPECT_EQ(Read(z.bytes, name(399)), B("x"));
    EXPECT_EQ(Read(z.bytes, kManifest), B(Entry{}.content));
    EXPECT_EQ(Read(z.bytes, longest('b')), B("b"));
    EXPECT_EQ(Read(z.bytes, longest('c')), B("c"));
    EXPECT_EQ(Read(z.bytes, longest('d')), std::nullopt);
    JarReader reader;  // the same reader walks again, and again after the index
    Bytes bytes;
    ASSERT_TRUE(Open(reader, z.bytes));
    EXPECT_TRUE(reader.ReadEntry(kManifest, bytes) && reader.ReadEntry(longest('c'), bytes));
    EXPECT_FALSE(reader.IndexEntries(entries.size() - 1));
    EXPECT_TRUE(reader.ReadEntry(name(0), bytes) && reader.ReadEntry(longest('a'), bytes));
    EXPECT_TRUE(reader.IndexEntries(entries.size()));
    EXPECT_TRUE(reader.ReadEntry(name(0), bytes) && reader.ReadEntry(longest('a'), bytes));
    // Look-ups from inside a walk over the names leave that walk where it was.
    JarReader unindexed;
    std::vector<std::string> nested, plain;
    ASSERT_TRUE(Open(unindexed, z.bytes));
    unindexed.ForEachEntryName([&](std::string_view n) {
      if (nested.size() % 10 == 0) {
        EXPECT_TRUE(unindexed.HasEntry(name(0)) && unindexed.ReadEntry(n, bytes)) << n;
      }
      nested.emplace_back(n);
    });
    unindexed.ForEachEntryName([&](std::string_view n) { plain.emplace_back(n); });
    EXPECT_EQ(nested.size(), entries.size());
    EXPECT_EQ(nested, plain);
  }
}

TEST(JarReaderTools, FrontOfAnEntryIsReadAsFarAsItIsWanted) {
  std::string content;
  for (std::uint32_t x = 1; content.size() < 200000; x = x * 1103515245 + 12345) content += char(x >> 16);
  for (std::uint16_t method : {0, 8}) {
    SCOPED_TRACE(method);
    Entry entry = Named("big", content);
    entry.method = method;
    Zip z = BuildZip({entry});
    Put32(z, z.central[0] + kCCrc, Get(z.bytes, z.central[0] + kCCrc, 4) ^ 1);  // only a whole read sees it
    JarReader reader;
    Bytes bytes;
    ASSERT_TRUE(Open(reader, z.bytes));
    const std::optional<JarReader::Entry> found = reader.FindEntry("big");
    ASSERT_TRUE(found);
    const auto wants = [](std::size_t n) { return [n](std::span<const std::uint8_t>) { return n; }; };
    JarReader::FrontRoom room;
    const auto front = reader.ReadEntryFront(*found, kMaxJarEntrySize, 1000, wants(5000), room);
    ASSERT_TRUE(front);
    EXPECT_TRUE(front->size() >= 5000 && front->size() < content.size());
    EXPECT_EQ(std::string(front->begin(), front->end()), content.substr(0, front->size()));
    EXPECT_FALSE(reader.ReadEntryFront(*found, 4999, 1000, wants(5000), room));
    EXPECT_FALSE(reader.ReadEntryFront(*found, kMaxJarEntrySize, 1000, wants(content.size() + 1), room));
    EXPECT_FALSE(reader.ReadEntry(*found, bytes));
  }
  // A front of a stream as it lies in the archive, wanting a byte more than it has each time.
  const auto front = [](const std::string& text, const std::string& packed) -> std::optional<std::string> {
    JarReader reader;
    JarReader::FrontRoom room;
    EXPECT_TRUE(Open(reader, BuildZip({Packed(text, packed)}).bytes));
    const auto read = reader.ReadEntryFront(*reader.FindEntry(kManifest), kMaxJarEntrySize, 1,
                                            [](std::span<const std::uint8_t> f) { return f.size() + 1; }, room);
    if (!read) return std::nullopt;
    return std::string(read->begin(), read->end());
  };
  // One that wants more than the entry holds gets all of it, checked, though its stream ends well after its last
  // byte (blocks of nothing, each as zlib's flush writes it, then the final one); cut short, it never ends.
  const std::string text = content.substr(0, 3000), flushed = RawDeflate(text, Z_SYNC_FLUSH);
  std::string ending;
  for (int i = 0; i < 40; ++i) ending += std::string("\0\0\0\xFF\xFF", 5);
  EXPECT_EQ(front(text, flushed + ending + std::string("\x03\x00", 2)), text);
  EXPECT_EQ(front(text, flushed + ending + "\x03"), std::nullopt);
  std::string damaged = RawDeflate(content);  // within the front: its first block's type
  damaged[0] |= 6;
  EXPECT_EQ(front(content, damaged), std::nullopt);
}

TEST(JarReaderTools, JarsInsideAJarOpenAsTheirOwn) {
  const Bytes inner = BuildZip({Entry{}}).bytes;
  for (std::uint16_t method : {0, 8}) {
    Entry packed = Named("lib/inner.jar", std::string(inner.begin(), inner.end()));
    packed.method = method;
    Zip outer = BuildZip({packed});
    JarReader reader, inside;
    Bytes bytes;
    ASSERT_TRUE(Open(reader, outer.bytes));
    ASSERT_TRUE(inside.OpenJar(reader.OpenEntry(*reader.FindEntry("lib/inner.jar"))));
    EXPECT_TRUE(inside.ReadEntry(kManifest, bytes) && bytes == B(Entry{}.content)) << method;
    Put32(outer, outer.central[0] + kCCrc, 0);  // a deflated one is verified as it is inflated
    ASSERT_TRUE(Open(reader, outer.bytes));
    EXPECT_EQ(reader.OpenEntry(*reader.FindEntry("lib/inner.jar")) == nullptr, method == 8) << method;
  }
}

TEST(JarReaderTools, EmptyArchiveOpensAndHoldsNothing) {
  JarReader reader;
  Bytes bytes;
  ASSERT_TRUE(Open(reader, Fixture("python-empty.zip")));
  EXPECT_FALSE(reader.ReadEntry(kManifest, bytes));
  EXPECT_FALSE(reader.ReadEntry("", bytes));
}

// ---- Opening, closing, reopening

TEST(JarReaderLifecycle, OpensThroughTheFilePortAndClosesOnEveryPath) {
  MemoryFiles files;
  files.AddFile(u"C:\\apps\\game.jar", Fixture("jdk-deflated.jar"));
  files.AddFile(u"C:\\apps\\notes.jar", "Manifest-Version: 1.0\r\n");  // a text file named .jar
  Bytes bytes;
  {
    JarReader reader;
    EXPECT_FALSE(reader.OpenJar(files, u"C:\\apps\\missing.jar"));
    EXPECT_FALSE(reader.OpenJar(files, u"C:\\apps\\notes.jar"));
    EXPECT_EQ(files.OpenReaders(), 0);
    ASSERT_TRUE(reader.OpenJar(files, u"C:\\apps\\game.jar"));
    EXPECT_EQ(files.OpenReaders(), 1);  // kept open for the reads
    EXPECT_TRUE(reader.ReadEntry(kManifest, bytes));
    EXPECT_TRUE(reader.ReadEntry(kManifest, bytes));  // the directory stays loaded
    reader.CloseJar();
    EXPECT_EQ(files.OpenReaders(), 0);
    EXPECT_FALSE(reader.ReadEntry(kManifest, bytes));
    EXPECT_TRUE(bytes.empty());
    ASSERT_TRUE(reader.OpenJar(files, u"C:\\apps\\game.jar"));
  }
  EXPECT_EQ(files.OpenReaders(), 0);  // closed with the reader

  for (FileFault fault : {FileFault::SizeFails, FileFault::ReadFails}) {
    files.SetFault(u"C:\\apps\\game.jar", fault);
    JarReader reader;
    EXPECT_FALSE(reader.OpenJar(files, u"C:\\apps\\game.jar"));
    EXPECT_EQ(files.OpenReaders(), 0);
  }
}

TEST(JarReaderLifecycle, FailedOpenLeavesTheReaderClosed) {
  JarReader reader;
  Bytes bytes;
  ASSERT_TRUE(Open(reader, Fixture("jdk-stored.jar")));
  EXPECT_FALSE(Open(reader, B("Manifest-Version: 1.0\r\n")));
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_FALSE(reader.ReadEntry(kManifest, bytes));
  ASSERT_TRUE(Open(reader, BuildZip({Named("other", "x")}).bytes));
  EXPECT_FALSE(reader.ReadEntry(kManifest, bytes));  // nothing left of the first archive's directory
}

// ---- Archives behind a stub: a launcher script or an executable in front, the archive's offsets unchanged

Bytes Behind(std::string_view stub, const Bytes& archive) {
  Bytes b = B(stub);
  b.insert(b.end(), archive.begin(), archive.end());
  return b;
}

const std::string kScript = "#!/bin/sh\nexec java -jar \"$0\" \"$@\"\n";
// Longer than the tail the end record is looked for in, and holding signatures of its own.
const std::string kExecutable = "MZ" + std::string(70000, '\0') + "PK\1\2PK\3\4PK\5\6" + std::string(99, '\x90');

TEST(JarReaderBehindAStub, ReadsAsTheArchiveAloneOrFailsCleanly) {
  const Zip good = BuildZip({Named("a.txt", "a"), Entry{}});
  for (const std::string& stub : {kScript, kExecutable}) {
    for (const char* name : {"jdk-deflated.jar", "infozip-comment.jar"})
      EXPECT_EQ(Read(Behind(stub, Fixture(name))), Fixture(std::string(name) + ".manifest")) << name;
    Zip adjusted = good;  // offsets that were moved to count the stub are taken as they are
    for (std::size_t at : {adjusted.end + kEDirOffset, adjusted.central[0] + kCLocalOffset,
                           adjusted.central[1] + kCLocalOffset})
      Put32(adjusted, at, Get(adjusted.bytes, at, 4) + stub.size());
    EXPECT_EQ(Read(Behind(stub, adjusted.bytes), "a.txt"), B("a"));
  }
  for (int delta : {-1, 1}) {  // the directory's size, and with it the shift, off by one
    Zip z = good;
    Put32(z, z.end + kEDirSize, Get(z.bytes, z.end + kEDirSize, 4) + delta);
    EXPECT_EQ(Read(Behind(kScript, z.bytes)), std::nullopt) << delta;
  }
  // The archive's first byte lost: the shift would go backwards.
  EXPECT_EQ(Read(Bytes(good.bytes.begin() + 1, good.bytes.end())), std::nullopt);
}

// ---- Damaged and hostile archives

TEST(JarReaderHostile, EveryTruncationFailsToOpen) {
  for (const char* name : {"jdk-stored.jar", "jdk-deflated.jar", "infozip-comment.jar", "python-deflated.zip",
                           "python-empty.zip"}) {
    const Bytes archive = Fixture(name);
    for (std::size_t length = 0; length < archive.size(); ++length) {
      JarReader reader;
      EXPECT_FALSE(Open(reader, Bytes(archive.begin(), archive.begin() + length))) << name << " cut at " << length;
    }
  }
}

TEST(JarReaderHostile, JunkIsNoArchive) {
  auto repeated = [](std::string_view unit, std::size_t size) {
    Bytes b;
    while (b.size() < size) b.push_back(static_cast<std::uint8_t>(unit[b.size() % unit.size()]));
    return b;
  };
  for (std::size_t size : {0, 21, 22, 100, 65558, 70000}) {
    EXPECT_EQ(Read(Bytes(size, 0)), std::nullopt) << size;
    EXPECT_EQ(Read(repeated("PK\5\6", size)), std::nullopt) << size;
  }
}

TEST(JarReaderHostile, CommentMustReachExactlyTheEnd) {
  EXPECT_TRUE(Read(BuildZip({Entry{}}, std::string(100, 'c')).bytes));
  EXPECT_TRUE(Read(BuildZip({Entry{}}, std::string(0xFFFF, 'c')).bytes));  // the longest comment there is

  Zip z = BuildZip({Entry{}}, std::string(100, 'c'));
  Bytes longer = z.bytes;
  longer.push_back('x');
  EXPECT_EQ(Read(longer), std::nullopt);
  for (std::uint32_t length : {99u, 101u, 0u, 0xFFFFu}) {
    Zip lying = z;
    Put16(lying, lying.end + kECommentLength, length);
    EXPECT_EQ(Read(lying.bytes), std::nullopt) << length;
  }

  // A comment that holds an end record of its own: the record nearer the front is the archive's.
  Bytes inner = B("PK\5\6");
  inner.resize(22, 0);
  EXPECT_TRUE(Read(BuildZip({Entry{}}, std::string(inner.begin(), inner.end())).bytes));
}

TEST(JarReaderHostile, EndRecordFieldsAreChecked) {
  const Zip good = BuildZip({Entry{}, Named("b.txt", "b")});
  const std::uint32_t dirSize = static_cast<std::uint32_t>(good.end - good.central[0]);
  const struct {
    const char* what;
    std::size_t field;
    std::uint32_t value;
    int width;
  } cases[] = {
      {"second disk", kEDisk, 1, 2},
      {"directory on another disk", kEDirectoryDisk, 1, 2},
      {"counts differ", kEDiskEntries, 1, 2},
      {"directory past the end record", kEDirSize, dirSize + 1, 4},
      {"directory larger than the file", kEDirSize, 0xFFFFFFFF, 4},
      {"offset past the file", kEDirOffset, static_cast<std::uint32_t>(good.bytes.size()), 4},
      {"offset at 4 GiB", kEDirOffset, 0xFFFFFFFF, 4},
  };
  for (const auto& c : cases) {
    Zip z = good;
    Put(z.bytes, z.end + c.field, c.value, c.width);
    JarReader reader;
    EXPECT_FALSE(Open(reader, z.bytes)) << c.what;
  }
  Zip wrapping = good;  // offset + size wraps around 32 bits
  Put32(wrapping, wrapping.end + kEDirOffset, 0xFFFFFF00);
  Put32(wrapping, wrapping.end + kEDirSize, 0x200);
  JarReader reader;
  EXPECT_FALSE(Open(reader, wrapping.bytes));

  Zip atLocalHeaders = good;  // loads fine, but the walk meets no central header
  Put32(atLocalHeaders, atLocalHeaders.end + kEDirOffset, 0);
  EXPECT_TRUE(Open(reader, atLocalHeaders.bytes));
  EXPECT_EQ(Read(atLocalHeaders.bytes), std::nullopt);
}

TEST(JarReaderHostile, DirectoryWalkStaysInsideTheDirectory) {
  const Zip good = BuildZip({Named("a.txt", "a"), Entry{}});
  for (std::size_t field : {kCNameLength, kCExtraLength, kCCommentLength}) {
    Zip z = good;  // the first record claims to run past the directory: the walk ends there
    Put16(z, z.central[0] + field, 0xFFFF);
    EXPECT_EQ(Read(z.bytes), std::nullopt) << field;
  }
  Zip z = good;  // the manifest's own record runs just one byte past the directory
  Put16(z, z.central[1] + kCCommentLength, 1);
  EXPECT_EQ(Read(z.bytes), std::nullopt);
  Zip broken = good;
  broken.bytes[broken.central[0]] = 'X';
  EXPECT_EQ(Read(broken.bytes), std::nullopt);
}

// Each change of one field of the only record, and whether the entry can still be read.
void CheckEntryRecordOf(const Zip& good, std::uint16_t method) {
  const std::size_t c = good.central[0];
  const auto size = static_cast<std::uint32_t>(good.bytes.size());
  const auto set = [](std::uint32_t value) { return [value](std::uint32_t) { return value; }; };
  const auto add = [](int delta) { return [delta](std::uint32_t old) { return old + delta; }; };
  const struct {
    const char* what;
    std::size_t field;
    int width;
    std::function<std::uint32_t(std::uint32_t)> change;
    bool reads;
  } cases[] = {
      {"version 2.0", kCVersion, 2, set(20), true},
      {"version 2.1", kCVersion, 2, set(21), false},
      {"version 4.5 (ZIP64)", kCVersion, 2, set(45), false},
      {"encrypted", kCFlags, 2, set(1), false},
      {"data descriptor", kCFlags, 2, set(8), true},
      {"bzip2", kCMethod, 2, set(12), false},
      {"deflate64", kCMethod, 2, set(9), false},
      {"CRC off by one bit", kCCrc, 4, [](std::uint32_t old) { return old ^ 1; }, false},
      {"compressed size one short", kCCompressed, 4, add(-1), false},
      {"compressed size one over", kCCompressed, 4, add(1), false},
      {"uncompressed size one short", kCUncompressed, 4, add(-1), false},
      {"uncompressed size one over", kCUncompressed, 4, add(1), false},
      {"uncompressed 4 GiB", kCUncompressed, 4, set(0xFFFFFFFF), false},
      {"compressed over 16 MiB", kCCompressed, 4, set(kMaxJarEntrySize + 1), false},
      {"local header past the file", kCLocalOffset, 4, set(size), false},
      {"local header cut by the end", kCLocalOffset, 4, set(size - 29), false},
      {"local header at 4 GiB", kCLocalOffset, 4, set(0xFFFFFFFF), false},
      {"local header in the directory", kCLocalOffset, 4, set(static_cast<std::uint32_t>(c)), false},
  };
  for (const auto& k : cases) {
    Zip z = good;
    Put(z.bytes, c + k.field, k.change(Get(z.bytes, c + k.field, k.width)), k.width);
    EXPECT_EQ(Read(z.bytes).has_value(), k.reads) << k.what << ", method " << method;
  }
}

TEST(JarReaderHostile, EntryRecordIsChecked) {
  for (std::uint16_t method : {0, 8}) {
    Entry entry;
    entry.method = method;
    CheckEntryRecordOf(BuildZip({entry}), method);
  }
}

TEST(JarReaderHostile, LocalHeaderIsReadWithItsOwnLengths) {
  for (std::uint16_t method : {0, 8}) {
    Entry e;
    e.method = method;
    e.localExtra = std::string(28, 'L');
    e.centralExtra = std::string(9, 'C');
    EXPECT_EQ(Read(BuildZip({e}).bytes), B(e.content)) << method;
  }
  const Zip good = BuildZip({Entry{}});
  for (std::size_t field : {kLNameLength, kLExtraLength}) {
    Zip z = good;
    Put16(z, z.local[0] + field, 0xFFFF);  // the data would start past the end of the file
    EXPECT_EQ(Read(z.bytes), std::nullopt) << field;
    Put16(z, z.local[0] + field, field == kLNameLength ? kManifest.size() + 1 : 1);  // one byte late
    EXPECT_EQ(Read(z.bytes), std::nullopt) << field;
  }
  Zip z = good;
  z.bytes[z.local[0] + 2] = 'X';
  EXPECT_EQ(Read(z.bytes), std::nullopt);
}

TEST(JarReaderHostile, DeflateStreamMustMatchTheDirectory) {
  const std::string content(3000, 'q');
  const std::string packed = RawDeflate(content);
  const struct {
    const char* what;
    std::string packed;
    bool reads;
  } cases[] = {
      {"whole", packed, true},
      {"ends early", packed.substr(0, packed.size() - 1), false},
      {"trailing input", packed + std::string(1, '\0'), false},
      {"no final block", RawDeflate(content, Z_SYNC_FLUSH), false},
      {"not deflate at all", std::string(40, '\xff'), false},
      {"nothing", "", false},
  };
  for (const auto& c : cases) {
    const Zip z = BuildZip({Packed(content, c.packed)});
    EXPECT_EQ(Read(z.bytes).has_value(), c.reads) << c.what;
  }
  // More data than declared, with the CRC-32 of the declared part, so that only the total can tell.
  Zip longer = BuildZip({Packed(content.substr(0, 2999), packed)});
  EXPECT_EQ(Read(longer.bytes), std::nullopt);
}

TEST(JarReaderHostile, EmptyEntries) {
  for (std::uint16_t method : {0, 8}) {
    EXPECT_EQ(Read(BuildZip({Packed("", "", method)}).bytes), Bytes{}) << method;
    Zip z = BuildZip({Packed("", "", method)});
    Put32(z, z.central[0] + kCCrc, 1);
    EXPECT_EQ(Read(z.bytes), std::nullopt) << method;
  }
  Zip zeroCrc = BuildZip({Entry{}});  // a CRC-32 of 0 is checked like any other
  Put32(zeroCrc, zeroCrc.central[0] + kCCrc, 0);
  EXPECT_EQ(Read(zeroCrc.bytes), std::nullopt);
}

TEST(JarReaderHostile, SixteenMebibytesAtMost) {
  std::string big(kMaxJarEntrySize, '\0');
  EXPECT_EQ(Read(BuildZip({Named(kManifest, big)}).bytes)->size(), kMaxJarEntrySize);
  big.push_back('\0');
  EXPECT_EQ(Read(BuildZip({Named(kManifest, big)}).bytes), std::nullopt);
  JarReader reader;  // a caller's own, lower limit
  Bytes bytes;
  Entry stored = Named(kManifest, "1234");
  stored.method = 0;
  ASSERT_TRUE(Open(reader, BuildZip({stored}).bytes));
  EXPECT_FALSE(reader.ReadEntry(kManifest, bytes, 3));
  EXPECT_TRUE(reader.ReadEntry(kManifest, bytes, 4));
}

}  // namespace
}  // namespace tc
