// The layout of the program's warnings before a launch: a "Warning" group around one text, three answers below.
#pragma once

#include <array>
#include <string>

#include "platform/Ui.h"

namespace tc {

struct WarningAnswer {
  int id;
  std::u16string text;
};

// Captioned "Tessaly Corvalo"; the answers are full-width buttons, the first of them the default.
DialogTemplate WarningTemplate(int width, int textId, std::u16string text, std::array<WarningAnswer, 3> answers);

}  // namespace tc
