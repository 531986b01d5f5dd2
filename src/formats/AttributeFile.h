// JAR manifests and JAD descriptors as line-preserving attribute files, and whole-file reads and writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace tc {

constexpr std::size_t kMaxAttributeFileSize = 1'000'000;

// One physical line: its text without the terminator, and the terminator ("", "\n", "\r", "\r\n" or "\n\r").
struct AttributeLine {
  std::u16string text;
  std::u16string ending;
};

class AttributeFile {
 public:
  // Replaces all lines with those of the UTF-8 bytes; never fails.
  void Parse(std::span<const std::uint8_t> bytes);
  // Lines that were not set come out exactly as they were read.
  void Serialize(std::vector<std::uint8_t>& bytes) const;

  // Index of the first line starting with "name: " (ASCII letters in any case), or -1.
  std::ptrdiff_t FindLine(std::u16string_view name) const;
  std::u16string GetValue(std::u16string_view name, bool trim) const;
  bool HasAttribute(std::u16string_view name) const { return FindLine(name) >= 0; }

  void SetValue(std::u16string_view name, std::u16string_view value);
  void RemoveAttribute(std::u16string_view name);
  void RemoveEmptyLines();
  void SetAllLineEndings(std::u16string_view ending);

  std::size_t LineCount() const { return lines_.size(); }
  const AttributeLine& Line(std::size_t index) const { return lines_[index].line; }

 private:
  struct StoredLine {
    AttributeLine line;
    // The bytes the text was read from, until the text is set.
    std::optional<std::string> source;
  };

  std::vector<StoredLine> lines_;
};

// The whole file, at most kMaxAttributeFileSize bytes; a larger file counts as unreadable.
bool ReadWholeFile(Files& files, const std::u16string& path, std::vector<std::uint8_t>& bytes);
// Creates or truncates the file; true only when every byte was written.
bool WriteWholeFile(Files& files, const std::u16string& path, const std::vector<std::uint8_t>& bytes);
// Writes the bytes to a new file beside the existing one, "<path>.tc-" and eight hexadecimal digits from `random`,
// and then puts it in that one's place, which keeps its attributes: a write that fails half way leaves the file as
// it was. A read-only file is refused.
bool ReplaceWholeFile(Files& files, const std::u16string& path, const std::vector<std::uint8_t>& bytes);
bool ReplaceWholeFile(Files& files, const std::u16string& path, const std::vector<std::uint8_t>& bytes,
                      const std::function<std::uint32_t()>& random);

}  // namespace tc
