// The language of a starter's argument template: which characters are a placeholder, and which value each stands for.
#include "catalogue/ArgumentTemplate.h"

namespace tc {

Placeholder PlaceholderAt(std::u16string_view text, std::size_t at, StarterKind kind) {
  const std::u16string_view rest = text.substr(at);
  const auto digit = [&](std::size_t i) { return i < rest.size() && rest[i] >= u'1' && rest[i] <= u'9'; };
  if (rest.size() < 2 || rest[0] != u'%') return {};
  if (rest[1] == u'*') return {.length = 2, .external = true};
  if (kind == StarterKind::J2me && rest[1] == u'W') return {.length = 2, .screen = ScreenSide::Width};
  if (kind == StarterKind::J2me && rest[1] == u'H') return {.length = 2, .screen = ScreenSide::Height};
  if (digit(1)) return {.length = 2, .value = static_cast<std::size_t>(rest[1] - u'1')};
  if (rest[1] == u'U' && digit(2)) return {.length = 3, .value = static_cast<std::size_t>(rest[2] - u'1'), .url = true};
  return {};
}

bool HoldsPlaceholder(std::u16string_view text, StarterKind kind) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (PlaceholderAt(text, i, kind).length != 0) return true;
  }
  return false;
}

}  // namespace tc
