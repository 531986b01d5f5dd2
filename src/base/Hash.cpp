// A hash of names that differs in each process.
#include "base/Hash.h"

#include <chrono>
#include <cstring>
#include <exception>
#include <random>

namespace tc {

namespace {

std::uint64_t ProcessSeed() {
  static const std::uint64_t seed = [] {
    auto value = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
      std::random_device device;
      value ^= std::uint64_t{device()} << 32 | device();
    } catch (const std::exception&) {
      // No source of randomness: the clock alone still differs from one start to the next.
    }
    return value;
  }();
  return seed;
}

// A bijection of 64 bits that spreads every bit over all of them.
std::uint64_t Mix(std::uint64_t x) {
  x = (x ^ (x >> 32)) * 0xD6E8FEB86659FD93;
  x = (x ^ (x >> 32)) * 0xD6E8FEB86659FD93;
  return x ^ (x >> 32);
}

}  // namespace

std::uint64_t SeededHash(std::string_view name) {
  std::uint64_t hash = ProcessSeed() ^ name.size();
  std::size_t at = 0;
  for (; name.size() - at >= 8; at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + at, 8);
    hash = Mix(hash ^ word);
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, name.data() + at, name.size() - at);
  return Mix(hash ^ tail);
}

}  // namespace tc
