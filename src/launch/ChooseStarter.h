// Which starter of a kind an opened file runs with: the stored action, or the user's choice.
#pragma once

#include <cstdint>

#include "catalogue/Context.h"

namespace tc {

// Makes sure the kind has a starter (offering the setup dialog when it has none), resolves the action or asks
// the user, and records the choice as the kind's last action. The slot, or 0 when no starter is to run.
std::uint32_t ChooseStarter(Context& context, StarterKind kind, bool useDefaultAction);

}  // namespace tc
