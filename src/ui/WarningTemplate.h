// The layout of the program's warnings around a launch: a "Warning" group around a text (and what goes below it),
// the answers under it as full-width buttons.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace tc {

struct WarningAnswer {
  int id;
  std::u16string text;
};

struct Warning {
  int width = 0;  // dialog units
  int textId = 0;
  std::u16string text{};
  int textHeight = 0;  // 0: as many lines as the text takes, at least 42 dialog units; scrolled beyond the screen
  // A control inside the group, under the text, as wide as the text; of its rectangle only the height counts.
  std::optional<ControlTemplate> below{};
  std::vector<WarningAnswer> answers{};
  int defaultId = 0;  // 0: the first answer
};

// Captioned "Tessaly Corvalo".
DialogTemplate WarningTemplate(Warning warning);


// A starter's name as a button shows it: shortened to what the button holds, an "&" shown as itself.
std::u16string StarterOnButton(const std::u16string& name);

}  // namespace tc
