// The path join every detector uses: exactly one backslash at the seam.
#pragma once

#include <string>

namespace tc {

std::u16string JoinPath(std::u16string_view first, std::u16string_view second);

}  // namespace tc
