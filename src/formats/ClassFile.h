// What a Java class file names and holds: read from its constant pool and the descriptors of its members.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tc {

// Every CONSTANT_Class name, and every class inside a field, method, NameAndType or MethodType descriptor; an
// array type names its element class. Names are in the class file's own form ("javax/swing/JFrame"), may repeat,
// and point into `classFile`. nullopt when the bytes are no class file, up to the end of its methods.
std::optional<std::vector<std::string_view>> ClassNamesIn(std::span<const std::uint8_t> classFile);

// True when the class has a string constant (a literal in its code) of exactly these modified UTF-8 bytes; false
// for that text only as a name, and for bytes that are no class file.
bool HoldsStringConstant(std::span<const std::uint8_t> classFile, std::string_view text);

}  // namespace tc
