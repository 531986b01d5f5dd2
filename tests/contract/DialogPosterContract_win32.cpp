// The dialog poster contract on the real Win32 host: posts travel as window messages.
#include <windows.h>

#include "contract/DialogPosterContract.h"
#include "platform/win32/Win32Ui.h"

namespace tc {

INSTANTIATE_TEST_SUITE_P(Win32, DialogPosterContract,
                         ::testing::Values(PosterHost{
                             [] { return std::make_unique<Win32Ui>(GetModuleHandleW(nullptr)); },
                             [](Ui&, const std::u16string&) {}}));

}  // namespace tc
