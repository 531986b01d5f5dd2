// The starter selection dialog: the user picks which starter of a kind an opened file runs with.
#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"
#include "ui/Styles.h"

namespace tc {

namespace {

DialogTemplate SelectionTemplate(StarterKind kind) {
  using namespace style;
  return DialogTemplate{
      kind == StarterKind::J2se ? u"J2SE Starter Select" : u"J2ME Starter Select",
      {0, 0, 244, 132},
      kModalDialog | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_SELECT_LIST, control::kListBox, u"", {7, 7, 174, 107}, kStarterList | kGroup, kWsExClientEdge},
          {kIdOk, control::kButton, u"OK", {187, 7, 50, 14}, kBsDefPushButton | kTabStop | kGroup},
          {kIdCancel, control::kButton, u"Cancel", {187, 26, 50, 14}, kBsPushButton | kTabStop},
          {IDB_SELECT_SETUP, control::kButton, u"Setup", {187, 100, 50, 14}, kBsPushButton | kTabStop},
          {IDL_ABOUT, control::kLink, u"About Tessaly Corvalo...", {7, 118, 92, 8}, kLinkStatic | kGroup},
          {IDL_CHECK_FOR_UPDATES, control::kLink, u"Check for Updates...", {111, 118, 68, 8}, kLinkStatic},
      }};
}

class SelectionHandler final : public DialogHandler {
 public:
  SelectionHandler(Context& context, StarterKind kind) : context_(context), kind_(kind) {}

  std::uint32_t Slot() const { return slot_; }

  void OnOpen(DialogWindow& window) override {
    slot_ = 0;
    Fill(window, Preselected());
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    switch (control) {
      case IDC_SELECT_LIST:
        if (code == notify::kListSelectionChange) EnableOk(window);
        if (code == notify::kListDoubleClick && window.IsEnabled(kIdOk)) Choose(window);
        break;
      case kIdOk:
        Choose(window);
        break;
      case kIdCancel:
        window.End(kIdCancel);
        break;
      case IDB_SELECT_SETUP:
        if (code == notify::kButtonClicked) Refill(window, RunSetupDialog(context_, window.Id()) == kIdOk);
        break;
      case IDL_ABOUT:
        RunAboutBox(context_, window.Id());
        break;
      case IDL_CHECK_FOR_UPDATES:
        RunUpdateCheck(context_, window.Id());
        break;
      default:
        break;
    }
  }

 private:
  // The stored starter if there is one, else the one used last.
  std::uint32_t Preselected() const {
    const StarterCatalogue& catalogue = context_.Catalogue();
    const std::uint32_t action = catalogue.DefaultAction(kind_);
    return action == kChoiceOnceOpened || action == kLastUsedAction ? catalogue.LastAction(kind_) : action;
  }

  void Fill(DialogWindow& window, std::uint32_t selected) {
    window.ClearItems(IDC_SELECT_LIST);
    const StarterCatalogue& catalogue = context_.Catalogue();
    for (auto slot = catalogue.NextStarter(kind_, 0); slot != 0; slot = catalogue.NextStarter(kind_, slot)) {
      const int index = window.AddItem(IDC_SELECT_LIST, catalogue.GetStarter(kind_, slot).name, slot);
      if (slot == selected) window.Select(IDC_SELECT_LIST, index);
    }
    EnableOk(window);
  }

  // The setup dialog read the catalogue again as it opened, and Cancel read it once more: another instance may have
  // changed the slots this list names since it was filled. OK preselects by the actions it saved; Cancel keeps the
  // user's pick while its slot still holds a starter of that name, and says so when it no longer does.
  void Refill(DialogWindow& window, bool saved) {
    const int picked = window.Selection(IDC_SELECT_LIST);
    if (saved || picked < 0) {
      Fill(window, Preselected());
      return;
    }
    const auto slot = static_cast<std::uint32_t>(window.ItemData(IDC_SELECT_LIST, picked));
    const std::u16string name = window.ItemText(IDC_SELECT_LIST, picked);
    const StarterCatalogue& catalogue = context_.Catalogue();
    const bool stands = catalogue.HoldsStarter(kind_, slot) && catalogue.GetStarter(kind_, slot).name == name;
    Fill(window, stands ? slot : 0);
    if (!stands) {
      ShowDialogError(context_.platform.ui, window.Id(),
                      Format(u"The starter \"%s\" is no longer defined.", {std::u16string_view(name)}));
    }
  }

  void EnableOk(DialogWindow& window) { window.Enable(kIdOk, window.Selection(IDC_SELECT_LIST) >= 0); }

  void Choose(DialogWindow& window) {
    const int selected = window.Selection(IDC_SELECT_LIST);
    if (selected >= 0) slot_ = static_cast<std::uint32_t>(window.ItemData(IDC_SELECT_LIST, selected));
    window.End(kIdOk);
  }

  Context& context_;
  StarterKind kind_;
  std::uint32_t slot_ = 0;
};

}  // namespace

Selection RunSelectionDialog(Context& context, StarterKind kind, WindowId owner) {
  SelectionHandler handler(context, kind);
  const int code = context.platform.ui.RunModal(SelectionTemplate(kind), handler, owner);
  return Selection{code, code == kIdOk ? handler.Slot() : 0};
}

}  // namespace tc
