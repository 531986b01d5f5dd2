// Benchmark: opens a JAR and reads its manifest with JarReader, as the program does for every archive, and judges
// the program's kind from its classes.
//   jar-bench some.jar          once, writing the manifest to standard output (the whole process is timed outside)
//   jar-bench some.jar 1000     that many times in one process; prints the mean time per read
//   jar-bench --kind some.jar   once, and the kind too; prints the kind and the classes walked
//   jar-bench --walked some.jar the same, then the offset of each local header read, one a line
// Built and run against `unzip -p` by tests/bench/jar-manifest-timing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/JarReader.h"
#include "launch/ProgramKind.h"
#include "platform/host/MemoryFiles.h"

namespace {

// A file on disk, opened anew for every read as the program does, and read as its Windows port reads: one
// positioned read a call, nothing buffered.
class DiskReader final : public tc::FileReader {
 public:
  explicit DiskReader(const char* path) : fd_(open(path, O_RDONLY)) {}
  ~DiskReader() override {
    if (fd_ >= 0) close(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }
  std::optional<std::uint64_t> Size() override {
    struct stat status {};
    if (fstat(fd_, &status) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
  }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    const ssize_t got = pread(fd_, buffer, length, static_cast<off_t>(offset));
    if (got < 0) return std::nullopt;
    // Each entry's data is read with its local header in front; no other read starts with its signature.
    if (got >= 4 && std::memcmp(buffer, "PK\3\4", 4) == 0) localHeaders.push_back(offset);
    return static_cast<std::size_t>(got);
  }

  std::vector<std::uint64_t> localHeaders;

 private:
  int fd_;
};

bool ReadManifest(const char* path, std::vector<std::uint8_t>& manifest) {
  auto file = std::make_unique<DiskReader>(path);
  tc::JarReader reader;
  return file->IsOpen() && reader.OpenJar(std::move(file)) && reader.ReadEntry("META-INF/MANIFEST.MF", manifest);
}

}  // namespace

// The manifest read, then the judgement; a Class-Path is not followed (an empty file system beside it).
int Judge(const char* path, bool listWalked) {
  auto file = std::make_unique<DiskReader>(path);
  DiskReader& disk = *file;
  tc::JarReader reader;
  std::vector<std::uint8_t> bytes;
  if (!file->IsOpen() || !reader.OpenJar(std::move(file)) || !reader.ReadEntry("META-INF/MANIFEST.MF", bytes)) return 1;
  tc::AttributeFile manifest;
  manifest.Parse(bytes);
  tc::MemoryFiles nothing;
  const tc::ProgramLook look = tc::LookAtProgram(nothing, u"C:\\program.jar", reader, manifest);
  const char* kinds[] = {"Unknown", "Window", "Console"};
  std::printf("%s %u\n", kinds[static_cast<int>(look.kind)], look.classesWalked);
  for (std::size_t i = 1; listWalked && i < disk.localHeaders.size(); ++i) {  // the first is the manifest's
    std::printf("%llu\n", static_cast<unsigned long long>(disk.localHeaders[i]));
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && (std::string(argv[1]) == "--kind" || std::string(argv[1]) == "--walked")) {
    return Judge(argv[2], std::string(argv[1]) == "--walked");
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s archive.jar [times]\n", argv[0]);
    return 2;
  }
  std::vector<std::uint8_t> manifest;
  if (argc == 2) {
    if (!ReadManifest(argv[1], manifest)) return 1;
    return std::fwrite(manifest.data(), 1, manifest.size(), stdout) == manifest.size() ? 0 : 1;
  }
  const int times = std::atoi(argv[2]);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < times; ++i) {
    if (!ReadManifest(argv[1], manifest)) {
      std::fprintf(stderr, "%s: no manifest read\n", argv[1]);
      return 1;
    }
  }
  const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%s: %zu manifest bytes, %d reads, mean %.1f us\n", argv[1], manifest.size(), times,
              elapsed.count() / (times > 0 ? times : 1));
  return 0;
}
