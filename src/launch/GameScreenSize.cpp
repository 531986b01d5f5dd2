// The screen a MIDlet suite was made for, as its descriptor, its manifest or its file names tell it.
#include "launch/GameScreenSize.h"

#include <optional>

#include "base/Text.h"
#include "formats/MainClass.h"

namespace tc {

namespace {

constexpr std::uint32_t kSmallestSide = 64;
constexpr std::uint32_t kLargestSide = 2048;
constexpr ScreenSize kPortrait{240, 320};
constexpr ScreenSize kLandscape{320, 240};

// Where makers put the size, the first that names one wins.
constexpr const char16_t* kSizeAttributes[] = {u"Nokia-MIDlet-Original-Display-Size", u"MIDxlet-ScreenSize",
                                               u"SEMC-Screen-Size"};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The run of ASCII digits at `at` as a side in range; nullopt for none, or for one out of range however long.
std::optional<std::uint32_t> SideAt(std::u16string_view text, std::size_t& at) {
  const std::size_t start = at;
  std::uint32_t value = 0;
  while (at < text.size() && IsDigit(text[at])) {
    if (value <= kLargestSide) value = value * 10 + (text[at] - u'0');  // saturates past the range, never wraps
    ++at;
  }
  if (at == start || value < kSmallestSide || value > kLargestSide) return std::nullopt;
  return value;
}

// "240,320", "240x320", "240*320", " 176 x 208 ", "240 320".
std::optional<ScreenSize> DeclaredSize(std::u16string_view value) {
  std::size_t at = 0;
  const auto skipBlanks = [&] {
    while (at < value.size() && IsBlank(value[at])) ++at;
  };
  skipBlanks();
  const std::optional<std::uint32_t> width = SideAt(value, at);
  if (!width) return std::nullopt;
  const std::size_t afterWidth = at;
  skipBlanks();
  if (at < value.size() && std::u16string_view(u",xX*").find(value[at]) != std::u16string_view::npos) {
    ++at;
    skipBlanks();
  } else if (at == afterWidth) {
    return std::nullopt;  // nothing between the numbers
  }
  const std::optional<std::uint32_t> height = SideAt(value, at);
  skipBlanks();
  if (!height || at != value.size()) return std::nullopt;
  return ScreenSize{*width, *height};
}

// The first "240x320" in the file's name whose numbers stand alone: "Game240x320.jar", "pack(176x208).jad".
std::optional<ScreenSize> NamedSize(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  const std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  for (std::size_t at = 0; at < name.size();) {
    if (!IsDigit(name[at]) || (at > 0 && IsDigit(name[at - 1]))) {
      ++at;
      continue;
    }
    const std::optional<std::uint32_t> width = SideAt(name, at);
    if (at + 1 >= name.size() || std::u16string_view(u"xX\u00D7*").find(name[at]) == std::u16string_view::npos) {
      continue;
    }
    std::size_t next = at + 1;
    const std::optional<std::uint32_t> height = SideAt(name, next);
    if (width && height) return ScreenSize{*width, *height};
  }
  return std::nullopt;
}

}  // namespace

ScreenSize GameScreenSize(const AttributeFile& descriptor, const AttributeFile& manifest, std::u16string_view jarPath,
                          std::u16string_view jadPath) {
  for (const AttributeFile* attributes : {&descriptor, &manifest}) {
    for (const char16_t* name : kSizeAttributes) {
      if (const std::optional<ScreenSize> size = DeclaredSize(ManifestValue(*attributes, name))) return *size;
    }
  }
  for (const std::u16string_view path : {jarPath, jadPath}) {
    if (const std::optional<ScreenSize> size = NamedSize(path)) return *size;
  }
  for (const AttributeFile* attributes : {&descriptor, &manifest}) {
    const std::u16string orientation = ManifestValue(*attributes, u"Nokia-MIDlet-App-Orientation");
    if (!orientation.empty()) return EqualsIgnoreCase(orientation, u"landscape") ? kLandscape : kPortrait;
  }
  return kPortrait;
}

}  // namespace tc
