// What a JAR tells about the program in it: the main class its manifest names, and the Java that class needs.
#include "formats/MainClass.h"

#include <vector>

#include "base/Text.h"

namespace tc {

// A manifest wraps long values onto lines that begin with one space.
std::u16string ManifestValue(const AttributeFile& manifest, std::u16string_view name) {
  const std::ptrdiff_t index = manifest.FindLine(name);
  if (index < 0) return {};
  std::u16string value = manifest.GetValue(name, false);
  for (std::size_t i = index + 1; i < manifest.LineCount() && manifest.Line(i).text.starts_with(u' '); ++i) {
    value += std::u16string_view(manifest.Line(i).text).substr(1);
  }
  return Trim(value);
}

std::u16string MainClassName(const AttributeFile& manifest) { return ManifestValue(manifest, u"Main-Class"); }

std::optional<std::uint32_t> RequiredJavaVersion(std::span<const std::uint8_t> classFile) {
  if (classFile.size() < 8 || classFile[0] != 0xCA || classFile[1] != 0xFE || classFile[2] != 0xBA ||
      classFile[3] != 0xBE) {
    return std::nullopt;
  }
  // Major 49 is Java 5, and each release since has added one; older classes run on any Java.
  const std::uint32_t major = std::uint32_t{classFile[6]} << 8 | classFile[7];
  return major >= 49 ? major - 44 : 0;
}

std::optional<std::uint32_t> MainClassJavaVersion(JarReader& jar, const std::u16string& mainClass) {
  std::u16string entry = mainClass;
  for (char16_t& c : entry) {
    if (c == u'.') c = u'/';
  }
  // An empty segment ("..", a leading "/") makes no class name.
  if (entry.empty() || entry.starts_with(u'/') || entry.find(u"//") != std::u16string::npos) return std::nullopt;
  const std::string name = ToUtf8(entry + u".class");
  if (name.size() > 0xFFFF) return std::nullopt;  // longer than any ZIP entry's name
  std::vector<std::uint8_t> bytes;
  if (!jar.ReadEntry(name, bytes)) return std::nullopt;
  return RequiredJavaVersion(bytes);
}

}  // namespace tc
