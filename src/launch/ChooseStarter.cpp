// Which starter of a kind an opened file runs with: the stored action, or the user's choice.
#include "launch/ChooseStarter.h"

#include "ui/Dialogs.h"
#include "ui/Messages.h"

namespace tc {

std::uint32_t ChooseStarter(Context& context, StarterKind kind, bool useDefaultAction, std::uint32_t fileStarter) {
  StarterCatalogue& catalogue = context.Catalogue();
  Ui& ui = context.platform.ui;

  if (!catalogue.HasStarters(kind)) {
    ShowLaunchError(ui, kind == StarterKind::J2se ? u"No J2SE starters are defined." : u"No J2ME starters are defined.");
    if (RunSetupDialog(context, ui.ActiveWindow()) != kIdOk) return 0;
    if (!catalogue.HasStarters(kind)) return 0;
  }

  // The file's own starter stands for the kind's action, as a fixed action would.
  std::uint32_t slot = catalogue.HoldsStarter(kind, fileStarter) ? fileStarter : catalogue.ResolveAction(kind);
  // A stored action always names a starter once loaded; should it not, the user chooses rather than the
  // program running nothing.
  if (!useDefaultAction || !catalogue.HoldsStarter(kind, slot)) {
    const Selection selection = RunSelectionDialog(context, kind, ui.ActiveWindow());
    if (selection.endCode != kIdOk || !catalogue.HoldsStarter(kind, selection.slot)) return 0;
    slot = selection.slot;
  }
  return slot;
}

}  // namespace tc
