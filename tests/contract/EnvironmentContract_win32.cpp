// The environment contract against the shell's own expansion, with variables of this process.
#include <windows.h>

#include "contract/EnvironmentContract.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32Text.h"

namespace tc {

INSTANTIATE_TEST_SUITE_P(Win32, EnvironmentContract,
                         ::testing::Values(EnvironmentHost{
                             [] { return std::make_unique<Win32Environment>(); },
                             [](Environment&, const std::u16string& name, const std::u16string& value) {
                               SetEnvironmentVariableW(Wide(name), Wide(value));
                             }}));

}  // namespace tc
