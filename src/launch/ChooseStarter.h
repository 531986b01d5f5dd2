// Which starter of a kind an opened file runs with: the stored action, or the user's choice; and its start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Context.h"

namespace tc {

// Makes sure the kind has a starter (offering the setup dialog when it has none), then resolves the action or
// asks the user. The slot, or 0 when no starter is to run; nothing is recorded yet.
std::uint32_t ChooseStarter(Context& context, StarterKind kind, bool useDefaultAction);

// Records the slot as the kind's last action and starts its starter with the values as "%1", "%2", ...;
// true when a process was created.
bool StartStarter(Context& context, StarterKind kind, std::uint32_t slot, const std::vector<std::u16string>& values,
                  const std::u16string& externalArguments);

}  // namespace tc
