// Dialogs not built yet.
#include "ui/Dialogs.h"

namespace tc {

int RunSetupDialog(Context&, WindowId) { return kIdCancel; }
Selection RunSelectionDialog(Context&, StarterKind, WindowId) { return {}; }
int RunStarterEditor(Context&, StarterKind, WindowId, Starter&) { return kIdCancel; }
void RunAboutBox(Context&, WindowId) {}
void AssociateFileTypes(Context&, WindowId) {}

}  // namespace tc
