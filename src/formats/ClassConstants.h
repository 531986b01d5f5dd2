// The string constants a Java class file holds, read from its constant pool.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tc {

// True when the class has a string constant (a literal in its code) of exactly these modified UTF-8 bytes; false
// for that text only as a name, and for bytes that are no class file.
bool HoldsStringConstant(std::span<const std::uint8_t> classFile, std::string_view text);

}  // namespace tc
