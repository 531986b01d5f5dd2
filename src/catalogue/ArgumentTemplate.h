// The language of a starter's argument template: which characters are a placeholder, and which value each stands for.
#pragma once

#include <cstddef>
#include <string_view>

#include "catalogue/StarterCatalogue.h"

namespace tc {

enum class ScreenSide { None, Width, Height };

// What an argument template of a starter of this kind holds at one position: "%1"-"%9", "%U1"-"%U9" (the same
// value as a file: URL), "%*", in a J2ME template "%W" and "%H" (the game's screen), or no placeholder (length 0),
// where the character is copied as it stands. A J2SE template keeps "%W" and "%H" as the text they were before
// they meant a screen, such as "%HOMEPATH%" in a stored argument.
struct Placeholder {
  std::size_t length = 0;
  std::size_t value = 0;  // the positional value's index
  bool url = false;
  bool external = false;  // "%*"
  ScreenSide screen = ScreenSide::None;
};
Placeholder PlaceholderAt(std::u16string_view text, std::size_t at, StarterKind kind);

// True when some of the text would be read as a placeholder, so it can't stand in a template of the kind as it is.
bool HoldsPlaceholder(std::u16string_view text, StarterKind kind);

}  // namespace tc
