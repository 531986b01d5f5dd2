// A scan as the user sees it: the status popup while it runs, then the candidates with check boxes and the
// description of the selected one.
#include "detect/StarterScanner.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"
#include "ui/Styles.h"

namespace tc {

namespace {

enum : int {
  IDC_SCAN_STATUS = 1016,
  IDC_DETECTED_LIST = 1018,
  IDB_CHECK_ALL = 1013,
  IDB_UNCHECK_ALL = 1014,
  IDC_SHOW_NONMAIN = 1021,
  IDC_DETECTED_EXECUTABLE = 1019,
  IDC_DETECTED_ARGUMENTS = 1020,
};

DialogTemplate DetectedStartersTemplate() {
  using namespace style;
  return DialogTemplate{
      u"",
      {0, 0, 304, 225},
      kModalDialog | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_DETECTED_LIST, control::kListView, u"", {7, 7, 234, 94},
           kLvsReport | kLvsSingleSel | kLvsShowSelAlways | kLvsSortAscending | kLvsNoColumnHeader | kBorder |
               kTabStop},
          {IDB_CHECK_ALL, control::kButton, u"Check All", {247, 7, 50, 14}, kBsPushButton | kTabStop},
          {IDB_UNCHECK_ALL, control::kButton, u"Uncheck All", {247, 26, 50, 14}, kBsPushButton | kTabStop},
          {IDC_SHOW_NONMAIN, control::kButton, u"Show nonmain starters", {7, 104, 89, 10},
           kBsAutoCheckBox | kTabStop},
          {-1, control::kButton, u"Description", {7, 116, 290, 83}, kBsGroupBox},
          {-1, control::kStatic, u"Executable File", {13, 127, 49, 8}, kSsLeft},
          {IDC_DETECTED_EXECUTABLE, control::kStatic, u"", {13, 137, 278, 14}, kSsLeft | kSsNoPrefix | kSsPathEllipsis},
          {-1, control::kStatic, u"Arguments", {13, 153, 36, 8}, kSsLeft},
          {IDC_DETECTED_ARGUMENTS, control::kStatic, u"", {13, 163, 277, 31}, kSsLeft | kSsNoPrefix},
          {kIdOk, control::kButton, u"Add Checked", {89, 204, 60, 14}, kBsDefPushButton | kTabStop | kGroup},
          {kIdCancel, control::kButton, u"Cancel", {155, 204, 60, 14}, kBsPushButton | kTabStop},
      }};
}

DialogTemplate StatusPopupTemplate(const std::u16string& text) {
  using namespace style;
  return DialogTemplate{u"",
                        {0, 0, 160, 28},
                        kPopup | kDsModalFrame | kDsShellFont,
                        0,
                        u"MS Shell Dlg",
                        8,
                        {{IDC_SCAN_STATUS, control::kStatic, text, {7, 7, 146, 14}, kSsCenter | kSsCenterImage}}};
}

class DetectedStartersHandler final : public DialogHandler {
 public:
  DetectedStartersHandler(std::u16string title, DetectedStarterList& list) : title_(std::move(title)), list_(list) {}

  void OnOpen(DialogWindow& window) override {
    window.SetCaption(title_);
    Fill(window);
    Update(window);
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    switch (control) {
      case IDB_CHECK_ALL:
      case IDB_UNCHECK_ALL:
        if (window.ItemCount(IDC_DETECTED_LIST) > 0) window.SetChecked(IDC_DETECTED_LIST, -1, control == IDB_CHECK_ALL);
        Update(window);
        break;
      case IDC_SHOW_NONMAIN:
        // The box toggles itself on every click; the list is rebuilt, so every tick is lost.
        showAll_ = !showAll_;
        Fill(window);
        Update(window);
        break;
      case kIdOk:
        for (int item = 0; item < window.ItemCount(IDC_DETECTED_LIST); ++item) {
          if (window.IsChecked(IDC_DETECTED_LIST, item)) list_[window.ItemData(IDC_DETECTED_LIST, item)].Checked = true;
        }
        window.End(kIdOk);
        break;
      case kIdCancel:
        window.End(kIdCancel);
        break;
      default:
        break;
    }
  }

  void OnItemChanged(DialogWindow& window, int control, int item) override {
    if (control == IDC_DETECTED_LIST) Update(window);
  }

 private:
  void Fill(DialogWindow& window) {
    window.ClearItems(IDC_DETECTED_LIST);
    for (size_t i = 0; i < list_.size(); ++i) {
      if (showAll_ || (list_[i].Main && !list_[i].Exists)) window.AddItem(IDC_DETECTED_LIST, list_[i].Name, i);
    }
  }

  // The description shows the selected candidate; "Add Checked" needs at least one tick.
  void Update(DialogWindow& window) {
    const int selected = window.Selection(IDC_DETECTED_LIST);
    const DetectedStarter* shown = selected >= 0 ? &list_[window.ItemData(IDC_DETECTED_LIST, selected)] : nullptr;
    window.SetText(IDC_DETECTED_EXECUTABLE, shown ? shown->ExecutableFile : u"");
    window.SetText(IDC_DETECTED_ARGUMENTS, shown ? shown->Arguments : u"");
    bool anyChecked = false;
    for (int item = 0; item < window.ItemCount(IDC_DETECTED_LIST) && !anyChecked; ++item) {
      anyChecked = window.IsChecked(IDC_DETECTED_LIST, item);
    }
    window.Enable(kIdOk, anyChecked);
  }

  std::u16string title_;
  DetectedStarterList& list_;
  bool showAll_ = false;
};

}  // namespace

int RunDetectedStartersDialog(Ui& ui, WindowId owner, const std::u16string& title, DetectedStarterList& list) {
  DetectedStartersHandler handler(title, list);
  return ui.RunModal(DetectedStartersTemplate(), handler, owner);
}

bool RunScan(StarterScanner& scanner, Ui& ui, WindowId parent) {
  DialogHandler inert;  // the popup takes no input
  const DialogTemplate popupTemplate = StatusPopupTemplate(scanner.StatusText());
  auto popup = ui.ShowPopup(popupTemplate, inert, parent);
  scanner.Detect();
  if (scanner.List().empty()) {
    popup.reset();
    ShowInformation(ui, parent, scanner.NoneFoundText());
    return false;
  }
  scanner.MarkExisting();
  popup.reset();
  if (RunDetectedStartersDialog(ui, parent, scanner.ListTitle(), scanner.List()) != kIdOk) return false;
  if (!scanner.AddChecked()) ShowTooManyStarters(ui, parent);
  return true;
}

}  // namespace tc
