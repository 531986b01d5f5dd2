// The screen a MIDlet suite was made for, as its descriptor, its manifest or its file names tell it.
#pragma once

#include <cstdint>
#include <string_view>

#include "formats/AttributeFile.h"

namespace tc {

struct ScreenSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool operator==(const ScreenSize&) const = default;
};

// The first size in pixels, each side from 64 to 2048, that the descriptor's attributes, then the manifest's, then
// the archive's file name, then the descriptor's give; else the usual portrait screen, or landscape when the suite
// asks for it.
ScreenSize GameScreenSize(const AttributeFile& descriptor, const AttributeFile& manifest, std::u16string_view jarPath,
                          std::u16string_view jadPath);

}  // namespace tc
