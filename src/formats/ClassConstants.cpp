// The string constants a Java class file holds, read from its constant pool.
#include "formats/ClassConstants.h"

#include <vector>

namespace tc {

namespace {

enum : std::uint8_t { kUtf8 = 1, kLong = 5, kDouble = 6, kString = 8 };

// The bytes after the tag of each kind of entry but UTF-8; 0 for a tag no class file has.
std::size_t EntrySize(std::uint8_t tag) {
  switch (tag) {
    case 7: case 8: case 16: case 19: case 20: return 2;
    case 15: return 3;
    case 3: case 4: case 9: case 10: case 11: case 12: case 17: case 18: return 4;
    case kLong: case kDouble: return 8;
    default: return 0;
  }
}

}  // namespace

bool HoldsStringConstant(std::span<const std::uint8_t> classFile, std::string_view text) {
  const auto u16 = [&](std::size_t at) { return std::size_t{classFile[at]} << 8 | classFile[at + 1]; };
  if (classFile.size() < 10 || u16(0) != 0xCAFE || u16(2) != 0xBABE) return false;
  const std::size_t count = u16(8);
  std::vector<bool> matches(count, false);  // the UTF-8 entries that are the text
  std::vector<std::size_t> strings;         // what the string entries refer to
  std::size_t at = 10;
  for (std::size_t index = 1; index < count; ++index) {
    if (at >= classFile.size()) return false;
    const std::uint8_t tag = classFile[at++];
    if (tag == kUtf8) {
      if (at + 2 > classFile.size()) return false;
      const std::size_t length = u16(at);
      at += 2;
      if (at + length > classFile.size()) return false;
      matches[index] = std::string_view(reinterpret_cast<const char*>(classFile.data() + at), length) == text;
      at += length;
      continue;
    }
    const std::size_t size = EntrySize(tag);
    if (size == 0 || at + size > classFile.size()) return false;
    if (tag == kString) strings.push_back(u16(at));
    at += size;
    if (tag == kLong || tag == kDouble) ++index;  // they take two places in the pool
  }
  for (const std::size_t target : strings) {
    if (target < count && matches[target]) return true;
  }
  return false;
}

}  // namespace tc
