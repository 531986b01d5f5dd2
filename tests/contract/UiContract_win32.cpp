// The dialog contract on the real Win32 host (Wine's user32 and comctl32, under test).
#include <windows.h>
#include <commctrl.h>

#include "contract/UiContract.h"
#include "platform/win32/Win32Ui.h"

namespace tc {

INSTANTIATE_TEST_SUITE_P(Win32, UiContract,
                         ::testing::Values(UiHost{[] {
                                                    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
                                                    InitCommonControlsEx(&controls);
                                                    return std::make_unique<Win32Ui>(GetModuleHandleW(nullptr));
                                                  },
                                                  [](Ui&, const std::u16string&, int) {}}));

}  // namespace tc
