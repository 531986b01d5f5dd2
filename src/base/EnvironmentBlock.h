// A child's environment block: the launcher's own with a few variables set over it.
#pragma once

#include <string>
#include <string_view>

#include "platform/Processes.h"

namespace tc {

// `block` is an environment block as GetEnvironmentStringsW gives it: "NAME=value" strings, each ended by a NUL,
// and one more NUL after the last. Each change replaces the value of the first variable of its name (names
// ignore case) or, where there is none, goes before the first name that sorts after it, as Windows keeps the
// block sorted; every other string stays as it was, in its place. The result ends as a block does.
std::u16string EnvironmentBlock(std::u16string_view block, const EnvironmentChanges& changes);

}  // namespace tc
