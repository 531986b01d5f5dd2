// The path join every detector uses.
#include "detect/JoinPath.h"

namespace tc {

std::u16string JoinPath(std::u16string_view first, std::u16string_view second) {
  while (!first.empty() && first.back() == u'\\') first.remove_suffix(1);
  while (!second.empty() && second.front() == u'\\') second.remove_prefix(1);
  std::u16string joined(first);
  joined += u'\\';
  joined += second;
  return joined;
}

}  // namespace tc
