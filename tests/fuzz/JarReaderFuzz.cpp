// libFuzzer target: any bytes as an archive; opening and reading entries must fail cleanly or succeed, and so
// must the look the J2SE flow takes into a program: its manifest's main class and the Java that class needs. The
// front of an entry that reads whole is the whole's front; an entry opened as a JAR of its own reads the same way.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I src \
//       tests/fuzz/JarReaderFuzz.cpp src/formats/JarReader.cpp src/formats/MainClass.cpp \
//       src/formats/AttributeFile.cpp src/base/Text.cpp -lz -o build/jar-fuzz
//   build/jar-fuzz -max_total_time=180 corpus/ tests/data/jar/
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/AttributeFile.h"
#include "formats/JarReader.h"
#include "formats/MainClass.h"

#include "FuzzCheck.h"

namespace {

// Reads at most 4 KiB per call, so that short reads from the port get exercised as well.
class FuzzReader final : public tc::FileReader {
 public:
  FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::optional<std::uint64_t> Size() override { return size_; }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    if (offset > size_) return std::nullopt;
    const std::size_t n = std::min({length, std::size_t{4096}, static_cast<std::size_t>(size_ - offset)});
    std::copy_n(data_ + offset, n, buffer);
    return n;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tc::JarReader reader;
  if (!reader.OpenJar(std::make_unique<FuzzReader>(data, size))) return 0;
  std::vector<std::uint8_t> bytes, inner;
  tc::JarReader::FrontRoom room;
  for (const char* name : {"META-INF/MANIFEST.MF", "META-INF/", "readme.txt", "empty.txt", "a", "a.jar"}) {
    const std::optional<tc::JarReader::Entry> entry = reader.FindEntry(name);
    if (!reader.ReadEntry(name, bytes)) continue;
    CHECK(entry && bytes.size() <= tc::kMaxJarEntrySize);
    // Wants a byte more than it has, up to 5,000: the front grows as the class walk's does.
    const auto wanted = [](std::span<const std::uint8_t> f) { return f.size() < 5000 ? f.size() + 1 : f.size(); };
    const auto front = reader.ReadEntryFront(*entry, tc::kMaxJarEntrySize, 1, wanted, room);
    CHECK(front && front->size() <= bytes.size() && std::equal(front->begin(), front->end(), bytes.begin()));
    tc::JarReader inside;
    if (inside.OpenJar(reader.OpenEntry(*entry))) inside.ReadEntry("META-INF/MANIFEST.MF", inner);
  }
  if (reader.ReadEntry("META-INF/MANIFEST.MF", bytes)) {
    tc::AttributeFile manifest;
    manifest.Parse(bytes);
    const std::optional<std::uint32_t> needed = tc::MainClassJavaVersion(reader, tc::MainClassName(manifest));
    CHECK(!needed || *needed <= 0xFFFF - 44);
  }
  return 0;
}
