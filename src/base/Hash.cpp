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

// The 128-bit product's halves folded into one: each bit of either factor reaches most bits of the result.
std::uint64_t Fold(std::uint64_t a, std::uint64_t b) {
  const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
  return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15, kOther = 0xD6E8FEB86659FD93;

}  // namespace

std::uint64_t SeededHash(std::string_view name) {
  std::uint64_t hash = ProcessSeed() ^ name.size();
  std::size_t at = 0;
  for (; name.size() - at >= 8; at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, name.data() + at, 8);
    hash = Fold(hash ^ word, kOdd);
  }
  // The last bytes, read whole: with the length in the hash, reading some of them twice loses nothing.
  const char* const end = name.data() + name.size();
  const std::size_t rest = name.size() - at;
  std::uint64_t tail = 0;
  if (name.size() >= 8) {
    std::memcpy(&tail, end - 8, 8);
  } else if (rest >= 4) {
    std::uint32_t low = 0, high = 0;
    std::memcpy(&low, name.data(), 4);
    std::memcpy(&high, end - 4, 4);
    tail = std::uint64_t{high} << 32 | low;
  } else if (rest > 0) {
    const auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(name[i])}; };
    tail = byte(0) | byte(rest / 2) << 8 | byte(rest - 1) << 16;
  }
  return Fold(hash ^ tail, kOther);
}

}  // namespace tc
