// Fuzz target for attribute files: any bytes round-trip, edits change only the lines they touch, and the screen size
// read from them is always one in range.
// Build: clang++ -std=c++20 -fsanitize=fuzzer,address,undefined -I src tests/fuzz/AttributeFileFuzz.cpp
//        src/formats/AttributeFile.cpp src/base/Text.cpp src/launch/GameScreenSize.cpp src/formats/MainClass.cpp
//        src/formats/JarReader.cpp -lz
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/Text.h"
#include "formats/AttributeFile.h"
#include "launch/GameScreenSize.h"

#include "FuzzCheck.h"

namespace {

// An independent model: lines cut at CR/LF bytes, text kept as the original bytes until it is set.
struct ModelLine {
  std::string bytes;
  std::u16string ending;
  std::u16string setText;
  bool set = false;
};

std::vector<ModelLine> ModelParse(const std::string& data) {
  std::vector<ModelLine> lines;
  std::size_t i = 0;
  while (i < data.size()) {
    const std::size_t end = std::min(data.find_first_of("\r\n", i), data.size());
    ModelLine line;
    line.bytes = data.substr(i, end - i);
    i = end;
    if (i < data.size()) {
      const char first = data[i++];
      line.ending.push_back(static_cast<char16_t>(first));
      const char second = first == '\r' ? '\n' : '\r';
      if (i < data.size() && data[i] == second) line.ending.push_back(static_cast<char16_t>(data[i++]));
    }
    lines.push_back(line);
  }
  return lines;
}

bool StartsWithKey(const std::u16string& text, const std::u16string& key) {
  if (text.size() < key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    if (lower(text[i]) != lower(key[i])) return false;
  }
  return true;
}

std::ptrdiff_t ModelFind(const tc::AttributeFile& file, const std::u16string& name) {
  // The decoded text is the real file's; the model only checks which line is first.
  for (std::size_t i = 0; i < file.LineCount(); ++i) {
    if (StartsWithKey(file.Line(i).text, name + u": ")) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

std::string ModelSerialize(const std::vector<ModelLine>& lines) {
  std::string out;
  for (const ModelLine& line : lines) out += (line.set ? tc::ToUtf8(line.setText) : line.bytes) + tc::ToUtf8(line.ending);
  return out;
}

std::string Serialized(const tc::AttributeFile& file) {
  std::vector<std::uint8_t> bytes;
  file.Serialize(bytes);
  return {bytes.begin(), bytes.end()};
}

std::u16string PickName(FuzzedDataProvider& input, const tc::AttributeFile& file) {
  if (file.LineCount() != 0 && input.ConsumeBool()) {
    // A name taken from a line, letters flipped at random, to reach the matching paths.
    std::u16string text = file.Line(input.ConsumeIntegralInRange<std::size_t>(0, file.LineCount() - 1)).text;
    text = text.substr(0, std::min(text.find(u':'), text.size()));
    for (char16_t& c : text) {
      if (c < 0x80 && input.ConsumeBool()) c = static_cast<char16_t>(c ^ 0x20);
    }
    return text;
  }
  return tc::FromUtf8(input.ConsumeRandomLengthString(12));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  tc::AttributeFile file;
  file.Parse({data, size});
  CHECK(Serialized(file) == original);
  // As descriptor and manifest, and its first bytes as the file names.
  const std::u16string name = tc::FromUtf8(original.substr(0, 300));
  const tc::ScreenSize screen = tc::GameScreenSize(file, file, name, name);
  CHECK(screen.width >= 64 && screen.width <= 2048 && screen.height >= 64 && screen.height <= 2048);

  std::vector<ModelLine> model = ModelParse(original);
  CHECK(model.size() == file.LineCount());

  FuzzedDataProvider input(data, size);
  for (int step = 0; step < 16 && input.remaining_bytes() != 0; ++step) {
    const std::u16string name = PickName(input, file);
    const std::ptrdiff_t found = file.FindLine(name);
    CHECK(found == ModelFind(file, name));
    CHECK(file.HasAttribute(name) == (found >= 0));
    const std::u16string raw = file.GetValue(name, false);
    if (found >= 0) CHECK(raw == file.Line(found).text.substr(name.size() + 2));
    CHECK(file.GetValue(name, true) == tc::Trim(raw));

    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0: {
        const std::u16string value = tc::FromUtf8(input.ConsumeRandomLengthString(12));
        const std::u16string newEnding = model.size() >= 2 ? model.front().ending : u"\n\r";
        std::ptrdiff_t index = found;
        if (index < 0) {
          if (!model.empty() && model.back().ending.empty()) model.back().ending = newEnding;
          model.push_back(ModelLine{"", newEnding, u"", true});
          index = static_cast<std::ptrdiff_t>(model.size()) - 1;
        }
        model[index].set = true;
        model[index].setText = name + u": " + value;
        file.SetValue(name, value);
        CHECK(file.FindLine(name) == index);
        CHECK(file.GetValue(name, false) == value);
        break;
      }
      case 1:
        if (found >= 0) model.erase(model.begin() + found);
        file.RemoveAttribute(name);
        break;
      case 2:
        std::erase_if(model, [](const ModelLine& line) { return line.set ? line.setText.empty() : line.bytes.empty(); });
        file.RemoveEmptyLines();
        for (std::size_t i = 0; i < file.LineCount(); ++i) CHECK(!file.Line(i).text.empty());
        break;
      case 3: {
        static const char16_t* const kEndings[] = {u"", u"\n", u"\r", u"\r\n", u"\n\r", u"|"};
        const std::u16string ending = kEndings[input.ConsumeIntegralInRange(0, 5)];
        for (ModelLine& line : model) line.ending = ending;
        file.SetAllLineEndings(ending);
        break;
      }
    }
    CHECK(model.size() == file.LineCount());
    CHECK(Serialized(file) == ModelSerialize(model));
  }
  return 0;
}
