// The registry contract against the real registry (Wine's, under test).
#include "contract/RegistryContract.h"
#include "platform/win32/Win32Registry.h"

namespace tc {

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract,
                         ::testing::Values(RegistryFactory([] { return std::make_unique<Win32Registry>(); })));

}  // namespace tc
