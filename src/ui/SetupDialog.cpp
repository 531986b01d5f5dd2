// "Tessaly Corvalo Setup" (not built yet).
#include "ui/Dialogs.h"

namespace tc {

int RunSetupDialog(Context&, WindowId) { return kIdCancel; }

}  // namespace tc
