// Where a dialog goes when it opens: centred on its reference window or the work area, kept inside the work area.
#pragma once

#include <optional>

#include "platform/Ui.h"

namespace tc {

// `reference` is none when the window is missing, hidden or minimised.
Point CentredPosition(const Rect& dialog, const std::optional<Rect>& reference, const Rect& workArea);

}  // namespace tc
