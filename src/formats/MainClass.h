// What a JAR tells about the program in it: the main class its manifest names, and the Java that class needs.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "formats/AttributeFile.h"
#include "formats/JarReader.h"

namespace tc {

// An attribute's value, trimmed, with its continuation lines; "" when the manifest has none.
std::u16string ManifestValue(const AttributeFile& manifest, std::u16string_view name);

// "Main-Class", trimmed, with its continuation lines; "" when the manifest names none.
std::u16string MainClassName(const AttributeFile& manifest);

// A class's name as its class file's entry is named, without ".class" ("org.example.Main" -> "org/example/Main",
// slashes allowed too); nullopt for a name with an empty part ("..", a "/" at either end) or a NUL.
std::optional<std::string> ClassEntryName(std::u16string_view className);

// The Java major version a class file needs, 0 for any Java; nullopt when the bytes are no class file.
std::optional<std::uint32_t> RequiredJavaVersion(std::span<const std::uint8_t> classFile);

// The Java the named class needs, read from its entry; nullopt when that can't be read as a class file.
std::optional<std::uint32_t> MainClassJavaVersion(JarReader& jar, const std::u16string& mainClass);

}  // namespace tc
