// Which starter of a kind an opened file runs with: the stored action, or the user's choice.
#pragma once

#include <cstdint>

#include "catalogue/Context.h"

namespace tc {

// Makes sure the kind has a starter (offering the setup dialog when it has none), then takes the file's own
// starter (`fileStarter`, when it still holds one) or resolves the kind's action, or asks the user. The slot, or 0
// when no starter is to run; nothing is recorded yet.
std::uint32_t ChooseStarter(Context& context, StarterKind kind, bool useDefaultAction, std::uint32_t fileStarter = 0);

}  // namespace tc
