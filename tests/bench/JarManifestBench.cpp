// Benchmark: opens a JAR and reads its manifest N times with JarReader; prints the mean time per read.
//
//   g++ -std=c++20 -O2 -I src tests/bench/JarManifestBench.cpp src/formats/JarReader.cpp -lz -o build/jar-bench
//   build/jar-bench some.jar 1000
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/JarReader.h"

namespace {

// A file on disk, opened anew for every read as the program does.
class DiskReader final : public tc::FileReader {
 public:
  explicit DiskReader(const char* path) : in_(path, std::ios::binary) {}
  bool IsOpen() const { return in_.is_open(); }
  std::optional<std::uint64_t> Size() override {
    in_.clear();
    in_.seekg(0, std::ios::end);
    const auto end = in_.tellg();
    if (end < 0) return std::nullopt;
    return static_cast<std::uint64_t>(end);
  }
  std::optional<std::size_t> ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    if (!in_) return std::nullopt;
    in_.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(in_.gcount());
  }

 private:
  std::ifstream in_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s archive.jar [times]\n", argv[0]);
    return 2;
  }
  const int times = argc > 2 ? std::atoi(argv[2]) : 1000;
  std::vector<std::uint8_t> manifest;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < times; ++i) {
    auto file = std::make_unique<DiskReader>(argv[1]);
    tc::JarReader reader;
    if (!file->IsOpen() || !reader.OpenJar(std::move(file)) || !reader.ReadEntry("META-INF/MANIFEST.MF", manifest)) {
      std::fprintf(stderr, "%s: no manifest read\n", argv[1]);
      return 1;
    }
  }
  const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%s: %zu manifest bytes, %d reads, mean %.1f us\n", argv[1], manifest.size(), times,
              elapsed.count() / times);
  return 0;
}
