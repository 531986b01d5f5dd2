// A hash of names that differs in each process, for the tables that hold names read from files.
#pragma once

#include <cstdint>
#include <string_view>

namespace tc {

// Nobody can build a file whose names all share one hash, which would make each look-up in a table of them compare
// every one: two names that share a hash in one process are unlikely to in the next. Eight bytes a step.
std::uint64_t SeededHash(std::string_view name);

// For the standard library's hash tables of names, which then also take a name without a copy.
struct SeededNameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return static_cast<std::size_t>(SeededHash(name)); }
};

}  // namespace tc
