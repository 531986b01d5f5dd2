// The setup dialog: the starters of both kinds and what opening a file of each kind does.
#include "base/Text.h"
#include "detect/J2meScanner.h"
#include "detect/StarterScanner.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"
#include "ui/Styles.h"

namespace tc {

namespace {

DialogTemplate SetupTemplate() {
  using namespace style;
  constexpr auto kButton = kBsPushButton | kTabStop;
  return DialogTemplate{
      u"Tessaly Corvalo Setup",
      {0, 0, 402, 167},
      kModalDialog | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_STATIC, control::kButton, u"J2SE Starters", {7, 3, 192, 138}, kBsGroupBox},
          {IDC_J2SE_LIST, control::kListBox, u"", {13, 14, 133, 95}, kStarterList | kGroup, kWsExClientEdge},
          {IDB_J2SE_SCAN, control::kButton, u"Scan", {152, 14, 40, 14}, kButton | kGroup},
          {IDB_J2SE_ADD, control::kButton, u"Add", {152, 34, 40, 14}, kButton},
          {IDB_J2SE_COPY, control::kButton, u"Copy", {152, 54, 40, 14}, kButton},
          {IDB_J2SE_EDIT, control::kButton, u"Edit", {152, 74, 40, 14}, kButton},
          {IDB_J2SE_DELETE, control::kButton, u"Delete", {152, 94, 40, 14}, kButton},
          {IDC_STATIC, control::kStatic, u"Action on opening JAR files", {13, 112, 88, 8}, kSsLeft},
          {IDC_J2SE_ACTION, control::kComboBox, u"", {13, 122, 179, 126}, kActionCombo | kGroup},
          {IDC_STATIC, control::kButton, u"J2ME Starters", {203, 3, 192, 138}, kBsGroupBox},
          {IDC_J2ME_LIST, control::kListBox, u"", {210, 14, 133, 95}, kStarterList | kGroup, kWsExClientEdge},
          {IDB_J2ME_SCAN, control::kButton, u"Scan", {349, 14, 40, 14}, kButton | kGroup},
          {IDB_J2ME_ADD, control::kButton, u"Add", {349, 34, 40, 14}, kButton},
          {IDB_J2ME_COPY, control::kButton, u"Copy", {349, 54, 40, 14}, kButton},
          {IDB_J2ME_EDIT, control::kButton, u"Edit", {349, 74, 40, 14}, kButton},
          {IDB_J2ME_DELETE, control::kButton, u"Delete", {349, 94, 40, 14}, kButton},
          {IDC_STATIC, control::kStatic, u"Action on opening JAD/JAR files", {210, 112, 103, 8}, kSsLeft},
          {IDC_J2ME_ACTION, control::kComboBox, u"", {210, 122, 179, 124}, kActionCombo | kGroup},
          {kIdOk, control::kButton, u"OK", {149, 146, 50, 14}, kBsDefPushButton | kTabStop | kGroup},
          {kIdCancel, control::kButton, u"Cancel", {204, 146, 50, 14}, kButton},
          {IDL_ABOUT, control::kLink, u"About...", {7, 149, 28, 8}, kLinkStatic | kGroup},
          {IDL_CHECK_FOR_UPDATES, control::kLink, u"Check for Updates...", {43, 149, 68, 8}, kLinkStatic},
          {IDL_FILE_ASSOCIATIONS, control::kLink, u"File Associations...", {334, 149, 61, 8}, kLinkStatic},
      }};
}

// The controls of one half of the dialog; both halves behave alike, each on its own kind.
struct KindControls {
  StarterKind kind;
  int list;
  int scan;
  int add;
  int copy;
  int edit;
  int remove;
  int action;
};

constexpr KindControls kHalves[] = {
    {StarterKind::J2se, IDC_J2SE_LIST, IDB_J2SE_SCAN, IDB_J2SE_ADD, IDB_J2SE_COPY, IDB_J2SE_EDIT, IDB_J2SE_DELETE,
     IDC_J2SE_ACTION},
    {StarterKind::J2me, IDC_J2ME_LIST, IDB_J2ME_SCAN, IDB_J2ME_ADD, IDB_J2ME_COPY, IDB_J2ME_EDIT, IDB_J2ME_DELETE,
     IDC_J2ME_ACTION},
};

// The lists and combos are views of the catalogue, rebuilt after every change; the edits live in the catalogue
// until OK saves them or Cancel reloads it.
class SetupHandler final : public DialogHandler {
 public:
  explicit SetupHandler(Context& context) : context_(context), catalogue_(context.Catalogue()) {}

  void OnOpen(DialogWindow& window) override {
    for (const KindControls& half : kHalves) FillList(window, half);
    for (const KindControls& half : kHalves) SetButtonStates(window, half);
    for (const KindControls& half : kHalves) FillActions(window, half);
    window.StartTimer(IDT_SCAN_NOTE, 100);
  }

  // Shown from the timer, so that the note appears over the dialog rather than before it.
  void OnTimer(DialogWindow& window, int timer) override {
    if (timer != IDT_SCAN_NOTE) return;
    window.StopTimer(timer);
    if (!catalogue_.HasStarters(StarterKind::J2se) && !catalogue_.HasStarters(StarterKind::J2me)) {
      ShowInformation(Screen(), window.Id(), u"Use SCAN buttons to detect J2SE/J2ME starters.");
    }
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    switch (control) {
      case kIdOk:
        catalogue_.Save();
        window.End(kIdOk);
        return;
      case kIdCancel:
        catalogue_.Load();
        window.End(kIdCancel);
        return;
      case IDL_ABOUT:
        RunAboutBox(context_, window.Id());
        return;
      case IDL_CHECK_FOR_UPDATES:
        RunUpdateCheck(context_, window.Id());
        return;
      case IDL_FILE_ASSOCIATIONS:
        AssociateFileTypes(context_, window.Id());
        return;
      default:
        break;
    }
    for (const KindControls& half : kHalves) {
      if (control == half.list && code == notify::kListSelectionChange) SetButtonStates(window, half);
      if (control == half.action && code == notify::kListSelectionChange) ChooseAction(window, half);
      if (code != notify::kButtonClicked) continue;
      if (control == half.add) Add(window, half);
      if (control == half.copy) Copy(window, half);
      if (control == half.edit) Edit(window, half);
      if (control == half.remove) Delete(window, half);
      if (control == half.scan) Scan(window, half);
    }
  }

 private:
  Ui& Screen() { return context_.platform.ui; }

  std::uint32_t SelectedSlot(DialogWindow& window, const KindControls& half) {
    const int selected = window.Selection(half.list);
    return selected < 0 ? 0 : static_cast<std::uint32_t>(window.ItemData(half.list, selected));
  }

  void FillList(DialogWindow& window, const KindControls& half) {
    window.ClearItems(half.list);
    for (auto slot = catalogue_.NextStarter(half.kind, 0); slot != 0; slot = catalogue_.NextStarter(half.kind, slot)) {
      window.AddItem(half.list, catalogue_.GetStarter(half.kind, slot).name, slot);
    }
  }

  void SetButtonStates(DialogWindow& window, const KindControls& half) {
    const bool selected = window.Selection(half.list) >= 0;
    window.Enable(half.scan, true);
    window.Enable(half.add, true);
    window.Enable(half.copy, selected);
    window.Enable(half.edit, selected);
    window.Enable(half.remove, selected);
  }

  void FillActions(DialogWindow& window, const KindControls& half) {
    const std::uint32_t action = catalogue_.DefaultAction(half.kind);
    window.ClearItems(half.action);
    const int lastUsed = window.AddItem(half.action, u" <Last used action>", kLastUsedAction);
    if (action == kLastUsedAction) window.Select(half.action, lastUsed);
    const int ask = window.AddItem(half.action, u" <Choice once opened>", kChoiceOnceOpened);
    if (action == kChoiceOnceOpened) window.Select(half.action, ask);
    for (auto slot = catalogue_.NextStarter(half.kind, 0); slot != 0; slot = catalogue_.NextStarter(half.kind, slot)) {
      const int index = window.AddItem(half.action, catalogue_.GetStarter(half.kind, slot).name, slot);
      if (slot == action) window.Select(half.action, index);
    }
  }

  void Refresh(DialogWindow& window, const KindControls& half) {
    SetButtonStates(window, half);
    FillActions(window, half);
  }

  void ChooseAction(DialogWindow& window, const KindControls& half) {
    const int selected = window.Selection(half.action);
    if (selected >= 0) {
      catalogue_.SetDefaultAction(half.kind, static_cast<std::uint32_t>(window.ItemData(half.action, selected)));
    }
  }

  // The editor runs on a new slot; Cancel gives the slot back, so that the next new starter takes it again.
  void EditNew(DialogWindow& window, const KindControls& half, std::uint32_t slot) {
    Starter& starter = catalogue_.GetStarter(half.kind, slot);
    if (RunStarterEditor(context_, half.kind, window.Id(), starter) == kIdOk) {
      window.Select(half.list, window.AddItem(half.list, starter.name, slot));
    } else {
      catalogue_.DeleteStarter(half.kind, slot);
    }
    Refresh(window, half);
  }

  void Add(DialogWindow& window, const KindControls& half) {
    const auto slot = catalogue_.AddStarter(half.kind);
    if (!slot) {
      ShowTooManyStarters(Screen(), window.Id());
      return;
    }
    EditNew(window, half, *slot);
  }

  void Copy(DialogWindow& window, const KindControls& half) {
    const std::uint32_t source = SelectedSlot(window, half);
    if (source == 0) return;
    const auto slot = catalogue_.AddStarter(half.kind);
    if (!slot) {
      ShowTooManyStarters(Screen(), window.Id());
      return;
    }
    const Starter original = catalogue_.GetStarter(half.kind, source);
    catalogue_.GetStarter(half.kind, *slot) = original;
    EditNew(window, half, *slot);
  }

  void Edit(DialogWindow& window, const KindControls& half) {
    const int selected = window.Selection(half.list);
    const std::uint32_t slot = SelectedSlot(window, half);
    if (slot == 0) return;
    Starter& starter = catalogue_.GetStarter(half.kind, slot);
    if (RunStarterEditor(context_, half.kind, window.Id(), starter) == kIdOk) {
      // Taken out and put in again, so that a new name moves to its sorted place.
      window.RemoveItem(half.list, selected);
      window.Select(half.list, window.AddItem(half.list, starter.name, slot));
    }
    Refresh(window, half);
  }

  void Delete(DialogWindow& window, const KindControls& half) {
    const int selected = window.Selection(half.list);
    const std::uint32_t slot = SelectedSlot(window, half);
    if (slot == 0) return;
    const std::u16string& name = catalogue_.GetStarter(half.kind, slot).name;
    if (!AskWarning(Screen(), window.Id(), Format(u"The JAR starter \"%s\" will be deleted.", {name}))) return;
    window.RemoveItem(half.list, selected);
    catalogue_.DeleteStarter(half.kind, slot);  // also resets an action that named it
    Refresh(window, half);
  }

  // True when the scan added starters to the catalogue.
  bool RunScanOf(DialogWindow& window, StarterKind kind) {
    if (kind == StarterKind::J2se) {
      J2seScanner scanner(context_);
      return RunScan(scanner, Screen(), window.Id());
    }
    J2meScanner scanner(context_);
    return RunScan(scanner, Screen(), window.Id());
  }

  void Scan(DialogWindow& window, const KindControls& half) {
    if (!RunScanOf(window, half.kind)) return;
    FillList(window, half);
    Refresh(window, half);
  }

  Context& context_;
  StarterCatalogue& catalogue_;
};

}  // namespace

int RunSetupDialog(Context& context, WindowId owner) {
  // Read again: opened from a launch, the catalogue in memory may be minutes old, and OK saves all of it.
  context.Catalogue().Load();
  SetupHandler handler(context);
  return context.platform.ui.RunModal(SetupTemplate(), handler, owner);
}

}  // namespace tc
