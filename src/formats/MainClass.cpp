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

std::optional<std::string> ClassEntryName(std::u16string_view className) {
  std::u16string entry(className);
  for (char16_t& c : entry) {
    if (c == u'.') c = u'/';
  }
  if (entry.empty() || entry.front() == u'/' || entry.back() == u'/' || entry.find(u"//") != std::u16string::npos ||
      entry.find(u'\0') != std::u16string::npos) {
    return std::nullopt;
  }
  std::string name = ToUtf8(entry);
  if (name.size() > 0xFFFF - 6) return std::nullopt;  // with ".class", longer than any ZIP entry's name
  return name;
}

std::optional<std::uint32_t> MainClassJavaVersion(JarReader& jar, const std::u16string& mainClass) {
  const std::optional<std::string> name = ClassEntryName(mainClass);
  std::vector<std::uint8_t> bytes;
  if (!name || !jar.ReadEntry(*name + ".class", bytes)) return std::nullopt;
  return RequiredJavaVersion(bytes);
}

}  // namespace tc
