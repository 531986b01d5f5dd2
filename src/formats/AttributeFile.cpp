// Attribute files: lines split on the bytes, decoded for look-ups, written back as read unless set.
#include "formats/AttributeFile.h"

#include <algorithm>
#include <random>
#include <utility>

#include "base/Text.h"

namespace tc {

namespace {

constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;
// Each name is drawn from 2^32: more attempts than this means the random source repeats itself.
constexpr int kReplacementNameAttempts = 16;

// The tolerant decoding that manifests have always been read with: one UTF-16 unit per step,
// continuation bytes not checked. It runs on one line's bytes, so no sequence can swallow a line break
// (a Latin-1 letter at the end of a value would otherwise hide the attribute on the next line).
std::u16string DecodeLine(std::span<const std::uint8_t> bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned first = bytes[i];
    if (first < 0x80 || i + 1 == bytes.size()) {
      text.push_back(static_cast<char16_t>(first));
      i += 1;
      continue;
    }
    const unsigned second = bytes[i + 1];
    if ((first & 0xE0) == 0xC0 || i + 2 == bytes.size()) {
      text.push_back(static_cast<char16_t>(((first & 0x1F) << 6) | (second & 0x3F)));
      i += 2;
      continue;
    }
    const unsigned third = bytes[i + 2];
    text.push_back(static_cast<char16_t>((first << 12) | ((second & 0x3F) << 6) | (third & 0x3F)));
    i += 3;
  }
  return text;
}

std::u16string KeyOf(std::u16string_view name) {
  std::u16string key(name);
  key += u": ";
  return key;
}

void Append(std::vector<std::uint8_t>& bytes, std::string_view more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

}  // namespace

void AttributeFile::Parse(std::span<const std::uint8_t> bytes) {
  lines_.clear();
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t start = i;
    while (i < bytes.size() && bytes[i] != kLf && bytes[i] != kCr) ++i;
    const auto textBytes = bytes.subspan(start, i - start);

    std::u16string ending;
    if (i < bytes.size()) {
      // At most one of each kind: CR CR and LF LF are two terminators.
      const std::uint8_t other = bytes[i] == kLf ? kCr : kLf;
      ending.push_back(bytes[i++]);
      if (i < bytes.size() && bytes[i] == other) ending.push_back(bytes[i++]);
    }

    lines_.push_back(StoredLine{AttributeLine{DecodeLine(textBytes), std::move(ending)},
                                std::string(textBytes.begin(), textBytes.end())});
  }
}

void AttributeFile::Serialize(std::vector<std::uint8_t>& bytes) const {
  bytes.clear();
  for (const StoredLine& stored : lines_) {
    // Re-encoding a line that was only read would damage bytes that aren't valid UTF-8, and 4-byte sequences.
    if (stored.source) {
      Append(bytes, *stored.source);
    } else {
      Append(bytes, ToUtf8(stored.line.text));
    }
    Append(bytes, ToUtf8(stored.line.ending));
  }
}

std::ptrdiff_t AttributeFile::FindLine(std::u16string_view name) const {
  const std::u16string key = KeyOf(name);
  for (std::size_t index = 0; index < lines_.size(); ++index) {
    const std::u16string_view text = lines_[index].line.text;
    if (text.size() >= key.size() && EqualsIgnoreCase(text.substr(0, key.size()), key)) {
      return static_cast<std::ptrdiff_t>(index);
    }
  }
  return -1;
}

std::u16string AttributeFile::GetValue(std::u16string_view name, bool trim) const {
  const std::ptrdiff_t index = FindLine(name);
  if (index < 0) return {};
  const std::u16string_view value = std::u16string_view(lines_[index].line.text).substr(name.size() + 2);
  return trim ? Trim(value) : std::u16string(value);
}

void AttributeFile::SetValue(std::u16string_view name, std::u16string_view value) {
  const std::u16string newEnding = lines_.size() >= 2 ? lines_.front().line.ending : u"\n\r";
  std::ptrdiff_t index = FindLine(name);
  if (index < 0) {
    // Keeps the new line off the end of a last line that had no terminator.
    if (!lines_.empty() && lines_.back().line.ending.empty()) lines_.back().line.ending = newEnding;
    lines_.push_back(StoredLine{AttributeLine{u"", newEnding}, std::nullopt});
    index = static_cast<std::ptrdiff_t>(lines_.size()) - 1;
  }
  StoredLine& stored = lines_[index];
  stored.line.text = KeyOf(name);
  stored.line.text += value;
  stored.source.reset();
}

void AttributeFile::RemoveAttribute(std::u16string_view name) {
  const std::ptrdiff_t index = FindLine(name);
  if (index >= 0) lines_.erase(lines_.begin() + index);
}

void AttributeFile::RemoveEmptyLines() {
  std::erase_if(lines_, [](const StoredLine& stored) { return stored.line.text.empty(); });
}

void AttributeFile::SetAllLineEndings(std::u16string_view ending) {
  for (StoredLine& stored : lines_) stored.line.ending = ending;
}

bool ReadWholeFile(Files& files, const std::u16string& path, std::vector<std::uint8_t>& bytes) {
  const std::unique_ptr<FileReader> reader = files.OpenForReading(path);
  if (!reader) return false;
  const std::optional<std::uint64_t> size = reader->Size();
  if (!size || *size > kMaxAttributeFileSize) return false;

  // One byte more than the size, to notice a file that is longer than it claims.
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(*size) + 1);
  std::size_t total = 0;
  while (total < buffer.size()) {
    const std::size_t room = buffer.size() - total;
    const std::optional<std::size_t> got = reader->ReadAt(total, buffer.data() + total, room);
    if (!got || *got > room) return false;
    if (*got == 0) break;
    total += *got;
  }
  if (total != *size) return false;

  buffer.resize(total);
  bytes = std::move(buffer);
  return true;
}

bool WriteWholeFile(Files& files, const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
  return files.WriteFile(path, bytes);
}

bool ReplaceWholeFile(Files& files, const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
  return ReplaceWholeFile(files, path, bytes, [] { return static_cast<std::uint32_t>(std::random_device()()); });
}

bool ReplaceWholeFile(Files& files, const std::u16string& path, const std::vector<std::uint8_t>& bytes,
                      const std::function<std::uint32_t()>& random) {
  if (files.Attributes(path).value_or(0) & attribute::kReadOnly) return false;
  // A new name beside the file (the same volume, so that the replacement is a rename) that no file has: two
  // corrections at once, or a file a crash left behind, never meet.
  for (int attempt = 0; attempt < kReplacementNameAttempts; ++attempt) {
    const std::u16string replacement = path + u".tc-" + Format(u"%08x", {random()});
    if (!files.WriteNewFile(replacement, bytes)) {
      if (files.Attributes(replacement)) continue;  // the name is taken
      return false;
    }
    if (files.Replace(path, replacement)) return true;
    files.RemoveFile(replacement);
    return false;
  }
  return false;
}

}  // namespace tc
