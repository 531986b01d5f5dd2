// The user-interface port over user32, comctl32 and comdlg32.
#include "platform/win32/Win32Ui.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <cderr.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/Win32Libraries.h"
#include "platform/win32/Win32Link.h"
#include "platform/win32/Win32Poster.h"
#include "platform/win32/Win32Text.h"
#include "ui/Centring.h"

namespace tc {

namespace {

constexpr int kProgramIcon = 128;

void AppendWord(std::vector<std::uint16_t>& out, std::uint16_t word) { out.push_back(word); }

void AppendDword(std::vector<std::uint16_t>& out, std::uint32_t dword) {
  out.push_back(static_cast<std::uint16_t>(dword & 0xFFFF));
  out.push_back(static_cast<std::uint16_t>(dword >> 16));
}

void AppendText(std::vector<std::uint16_t>& out, const std::u16string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

void AlignToDword(std::vector<std::uint16_t>& out) {
  if (out.size() % 2 != 0) out.push_back(0);
}

std::u16string WindowClassOf(const ControlTemplate& control) {
  return control.className == control::kLink ? std::u16string(control::kStatic) : control.className;
}

// The resource ordinal an icon static names ("#128" is 128); 0 for any other control.
std::uint32_t IconOrdinal(const ControlTemplate& control) {
  const bool icon = WindowClassOf(control) == control::kStatic && (control.style & SS_TYPEMASK) == SS_ICON;
  if (!icon || control.text.size() < 2 || control.text[0] != u'#') return 0;
  std::uint32_t ordinal = 0;
  for (size_t i = 1; i < control.text.size() && control.text[i] >= u'0' && control.text[i] <= u'9'; ++i) {
    ordinal = ordinal * 10 + (control.text[i] - u'0');
  }
  return ordinal & 0xFFFF;
}

// IDI_APPLICATION to IDI_SHIELD: icons of the system, not of the program's resources.
bool IsSystemIcon(std::uint32_t ordinal) { return ordinal >= 32512 && ordinal <= 32518; }

// An icon static names its icon resource as an ordinal. A static finds only the program's own icons; a system
// icon is set once the dialog is there.
void AppendControlText(std::vector<std::uint16_t>& out, const ControlTemplate& control) {
  const std::uint32_t ordinal = IconOrdinal(control);
  if (IsSystemIcon(ordinal)) {
    AppendText(out, u"");
  } else if (ordinal != 0) {
    AppendWord(out, 0xFFFF);
    AppendWord(out, static_cast<std::uint16_t>(ordinal));
  } else {
    AppendText(out, control.text);
  }
}

// What the dialog procedure needs of one running dialog.
struct Binding;

class Win32DialogWindow final : public DialogWindow {
 public:
  explicit Win32DialogWindow(bool modal) : modal_(modal) {}
  ~Win32DialogWindow() override {
    if (poster_) poster_->Detach();
    if (fixedFont_) DeleteObject(fixedFont_);
  }
  void Attach(HWND window) { window_ = window; }
  HWND Window() const { return window_; }
  bool FocusWasSet() const { return focusSet_; }

  WindowId Id() const override { return reinterpret_cast<WindowId>(window_); }
  void End(int code) override {
    if (poster_) poster_->Detach();
    if (modal_) EndDialog(window_, code);
  }
  std::shared_ptr<DialogPoster> Poster() override {
    if (!poster_) poster_ = std::make_shared<Win32Poster>(window_);
    return poster_;
  }
  bool TakesPosts() const { return poster_ && poster_->IsAttached(); }
  std::u16string Text(int control) const override {
    HWND item = GetDlgItem(window_, control);
    const int length = GetWindowTextLengthW(item);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(item, Wide(text), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
  }
  void SetText(int control, const std::u16string& text) override { SetDlgItemTextW(window_, control, Wide(text)); }
  void SetCaption(const std::u16string& caption) override { SetWindowTextW(window_, Wide(caption)); }
  void Enable(int control, bool enabled) override {
    HWND item = GetDlgItem(window_, control);
    // A disabled control can't keep the keyboard focus: it goes on to the next tab stop rather than nowhere.
    if (!enabled && item && GetFocus() == item) SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(item, enabled);
  }
  bool IsEnabled(int control) const override { return IsWindowEnabled(GetDlgItem(window_, control)) != FALSE; }
  void Focus(int control) override {
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window_, control)), TRUE);
    focusSet_ = true;
  }
  void LimitText(int control, std::uint32_t characters) override {
    SendDlgItemMessageW(window_, control, EM_LIMITTEXT, characters, 0);
  }
  void ReplaceSelection(int control, const std::u16string& text) override {
    SendDlgItemMessageW(window_, control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text)));
  }
  void MoveCaretToEnd(int control) override {
    const LRESULT length = GetWindowTextLengthW(GetDlgItem(window_, control));
    SendDlgItemMessageW(window_, control, EM_SETSEL, length, length);
    SendDlgItemMessageW(window_, control, EM_SCROLLCARET, 0, 0);
  }

  void UseFixedPitchFont(int control) override {
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    if (!dialogFont || !GetObjectW(dialogFont, sizeof font, &font)) return;
    // Where Consolas is missing, the font mapper takes another fixed-pitch face of the family.
    font.lfWidth = 0;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, L"Consolas", LF_FACESIZE);
    HFONT fixed = CreateFontIndirectW(&font);
    if (!fixed) return;
    SendDlgItemMessageW(window_, control, WM_SETFONT, reinterpret_cast<WPARAM>(fixed), TRUE);
    if (fixedFont_) DeleteObject(fixedFont_);
    fixedFont_ = fixed;
  }
  bool CopyToClipboard(const std::u16string& text) override {
    if (!OpenClipboard(window_)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool copied = false;
    if (memory) {
      if (void* target = GlobalLock(memory)) {
        std::memcpy(target, text.c_str(), bytes);
        GlobalUnlock(memory);
        copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;  // the clipboard owns it from here
      }
      if (!copied) GlobalFree(memory);
    }
    CloseClipboard();
    return copied;
  }

  void ClearItems(int control) override {
    switch (KindOf(control)) {
      case Kind::ListBox:
        SendDlgItemMessageW(window_, control, LB_RESETCONTENT, 0, 0);
        SendDlgItemMessageW(window_, control, LB_SETHORIZONTALEXTENT, 0, 0);
        break;
      case Kind::Combo:
        SendDlgItemMessageW(window_, control, CB_RESETCONTENT, 0, 0);
        SendDlgItemMessageW(window_, control, CB_SETDROPPEDWIDTH, 0, 0);
        break;
      case Kind::ListView: SendDlgItemMessageW(window_, control, LVM_DELETEALLITEMS, 0, 0); break;
      case Kind::Other: break;
    }
  }
  int AddItem(int control, const std::u16string& text, std::uintptr_t data) override {
    switch (KindOf(control)) {
      case Kind::ListBox: {
        const auto index = SendDlgItemMessageW(window_, control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
        if (index >= 0) SendDlgItemMessageW(window_, control, LB_SETITEMDATA, index, static_cast<LPARAM>(data));
        // A list made with a horizontal scroll bar scrolls to its longest name, which would otherwise be cut; the
        // others ignore the extent. (The style bit itself only says whether the bar is showing now.)
        const HWND list = GetDlgItem(window_, control);
        const int width = TextWidth(list, text);
        if (width > SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)) SendMessageW(list, LB_SETHORIZONTALEXTENT, width, 0);
        return static_cast<int>(index);
      }
      case Kind::Combo: {
        const auto index = SendDlgItemMessageW(window_, control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
        if (index >= 0) SendDlgItemMessageW(window_, control, CB_SETITEMDATA, index, static_cast<LPARAM>(data));
        // The drop-down list widens to its longest name; it never gets narrower than the box.
        const HWND combo = GetDlgItem(window_, control);
        const int width = TextWidth(combo, text) + GetSystemMetrics(SM_CXVSCROLL);
        if (width > SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0)) SendMessageW(combo, CB_SETDROPPEDWIDTH, width, 0);
        return static_cast<int>(index);
      }
      case Kind::ListView: {
        std::u16string copy = text;
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = ItemCount(control);
        item.pszText = Wide(copy);
        item.lParam = static_cast<LPARAM>(data);
        return static_cast<int>(
            SendDlgItemMessageW(window_, control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
      }
      case Kind::Other: break;
    }
    return -1;
  }
  void RemoveItem(int control, int index) override {
    switch (KindOf(control)) {
      case Kind::ListBox: {
        SendDlgItemMessageW(window_, control, LB_DELETESTRING, index, 0);
        // The extent follows the longest name still listed, so that no empty scroll range is left behind.
        int widest = 0;
        for (int i = 0, count = ItemCount(control); i < count; ++i) {
          widest = std::max(widest, TextWidth(GetDlgItem(window_, control), ItemText(control, i)));
        }
        SendDlgItemMessageW(window_, control, LB_SETHORIZONTALEXTENT, widest, 0);
        break;
      }
      case Kind::Combo: SendDlgItemMessageW(window_, control, CB_DELETESTRING, index, 0); break;
      case Kind::ListView: SendDlgItemMessageW(window_, control, LVM_DELETEITEM, index, 0); break;
      case Kind::Other: break;
    }
  }
  int ItemCount(int control) const override {
    switch (KindOf(control)) {
      case Kind::ListBox: return static_cast<int>(SendDlgItemMessageW(window_, control, LB_GETCOUNT, 0, 0));
      case Kind::Combo: return static_cast<int>(SendDlgItemMessageW(window_, control, CB_GETCOUNT, 0, 0));
      case Kind::ListView: return static_cast<int>(SendDlgItemMessageW(window_, control, LVM_GETITEMCOUNT, 0, 0));
      case Kind::Other: break;
    }
    return 0;
  }
  std::u16string ItemText(int control, int index) const override {
    switch (KindOf(control)) {
      case Kind::ListBox:
      case Kind::Combo: {
        const bool list = KindOf(control) == Kind::ListBox;
        const auto length = SendDlgItemMessageW(window_, control, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
        if (length < 0) return {};
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        SendDlgItemMessageW(window_, control, list ? LB_GETTEXT : CB_GETLBTEXT, index,
                            reinterpret_cast<LPARAM>(Wide(text)));
        text.resize(static_cast<size_t>(length));
        return text;
      }
      case Kind::ListView: {
        std::u16string text(1024, u'\0');
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = Wide(text);
        item.cchTextMax = static_cast<int>(text.size());
        const auto length =
            SendDlgItemMessageW(window_, control, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
        text.resize(static_cast<size_t>(length));
        return text;
      }
      case Kind::Other: break;
    }
    return {};
  }
  std::uintptr_t ItemData(int control, int index) const override {
    switch (KindOf(control)) {
      case Kind::ListBox:
        return static_cast<std::uintptr_t>(SendDlgItemMessageW(window_, control, LB_GETITEMDATA, index, 0));
      case Kind::Combo:
        return static_cast<std::uintptr_t>(SendDlgItemMessageW(window_, control, CB_GETITEMDATA, index, 0));
      case Kind::ListView: {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        SendDlgItemMessageW(window_, control, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return static_cast<std::uintptr_t>(item.lParam);
      }
      case Kind::Other: break;
    }
    return 0;
  }
  int Selection(int control) const override {
    switch (KindOf(control)) {
      case Kind::ListBox: return static_cast<int>(SendDlgItemMessageW(window_, control, LB_GETCURSEL, 0, 0));
      case Kind::Combo: return static_cast<int>(SendDlgItemMessageW(window_, control, CB_GETCURSEL, 0, 0));
      case Kind::ListView:
        return static_cast<int>(SendDlgItemMessageW(window_, control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                    LVNI_SELECTED));
      case Kind::Other: break;
    }
    return -1;
  }
  void Select(int control, int index) override {
    switch (KindOf(control)) {
      case Kind::ListBox: SendDlgItemMessageW(window_, control, LB_SETCURSEL, index, 0); break;
      case Kind::Combo: SendDlgItemMessageW(window_, control, CB_SETCURSEL, index, 0); break;
      case Kind::ListView: {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageW(window_, control, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
        break;
      }
      case Kind::Other: break;
    }
  }
  bool IsButtonChecked(int control) const override { return IsDlgButtonChecked(window_, control) == BST_CHECKED; }
  void CheckButton(int control, bool checked) override {
    CheckDlgButton(window_, control, checked ? BST_CHECKED : BST_UNCHECKED);
  }
  bool IsChecked(int control, int index) const override {
    const auto state = SendDlgItemMessageW(window_, control, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
  }
  void SetChecked(int control, int index, bool checked) override {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendDlgItemMessageW(window_, control, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
  }

  void SetProgressRange(int control, int low, int high) override {
    SendDlgItemMessageW(window_, control, PBM_SETRANGE32, low, high);
  }
  void SetProgress(int control, int position) override { SendDlgItemMessageW(window_, control, PBM_SETPOS, position, 0); }

  void StartTimer(int timer, std::uint32_t milliseconds) override { SetTimer(window_, timer, milliseconds, nullptr); }
  void StopTimer(int timer) override { KillTimer(window_, timer); }

  Rect ControlRect(int control) const override {
    RECT r{};
    GetWindowRect(GetDlgItem(window_, control), &r);
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  int PopupMenu(const std::vector<std::u16string>& items, Point screen) override {
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    for (size_t i = 0; i < items.size(); ++i) AppendMenuW(menu, MF_STRING, i + 1, Wide(items[i]));
    // A point on no monitor is brought across into the nearest one; up and down the menu places itself.
    POINT at{screen.x, screen.y};
    if (!MonitorFromPoint(at, MONITOR_DEFAULTTONULL)) {
      MONITORINFO monitor{};
      monitor.cbSize = sizeof(monitor);
      if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) {
        if (at.x < monitor.rcWork.left) at.x = monitor.rcWork.left;
        if (at.x >= monitor.rcWork.right) at.x = monitor.rcWork.right - 1;
      }
    }
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x,
                                      at.y, 0, window_, nullptr);
    DestroyMenu(menu);
    return chosen;
  }

 private:
  enum class Kind { ListBox, Combo, ListView, Other };
  // The width of an item's text in the control's font, with the margins the list draws around it.
  static int TextWidth(HWND control, const std::u16string& text) {
    HDC dc = GetDC(control);
    if (!dc) return 0;
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx + 2 * GetSystemMetrics(SM_CXEDGE) + 4;
  }
  Kind KindOf(int control) const {
    wchar_t name[32] = {};
    GetClassNameW(GetDlgItem(window_, control), name, 32);
    if (lstrcmpiW(name, WC_LISTBOXW) == 0) return Kind::ListBox;
    if (lstrcmpiW(name, WC_COMBOBOXW) == 0) return Kind::Combo;
    if (lstrcmpiW(name, WC_LISTVIEWW) == 0) return Kind::ListView;
    return Kind::Other;
  }

  bool modal_;
  HWND window_ = nullptr;
  bool focusSet_ = false;
  std::shared_ptr<Win32Poster> poster_;
  HFONT fixedFont_ = nullptr;
};

struct Binding {
  Binding(const DialogTemplate& dialog, DialogHandler& handler, HINSTANCE instance, bool modal)
      : dialog(dialog), handler(handler), instance(instance), window(modal) {}
  ~Binding() {
    if (bigIcon) DestroyIcon(bigIcon);
    if (smallIcon) DestroyIcon(smallIcon);
  }
  const DialogTemplate& dialog;
  DialogHandler& handler;
  HINSTANCE instance;
  Win32DialogWindow window;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  std::vector<std::unique_ptr<LinkControl>> links;
};

void SetProgramIcons(Binding& binding, HWND window) {
  binding.bigIcon = static_cast<HICON>(LoadImageW(binding.instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  binding.smallIcon = static_cast<HICON>(LoadImageW(binding.instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (binding.bigIcon) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(binding.bigIcon));
  if (binding.smallIcon) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(binding.smallIcon));
}

void Centre(HWND window) {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT own{};
  GetWindowRect(window, &own);
  std::optional<Rect> reference;
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
    RECT r{};
    GetWindowRect(owner, &r);
    reference = Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  const Point at = CentredPosition(Rect{own.left, own.top, own.right - own.left, own.bottom - own.top}, reference,
                                   Rect{area.left, area.top, area.right - area.left, area.bottom - area.top});
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A report list view shows one column across its width, with check boxes and full-row selection; a marquee
// progress bar moves from the start; a system icon shows.
void PrepareControls(const DialogTemplate& dialog, HWND window) {
  for (const ControlTemplate& control : dialog.controls) {
    if (const std::uint32_t ordinal = IconOrdinal(control); IsSystemIcon(ordinal)) {
      // The system's icons are shared: nobody destroys them.
      const HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(ordinal));
      SendDlgItemMessageW(window, control.id, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    if (control.className == control::kProgress && (control.style & PBS_MARQUEE) != 0) {
      SendDlgItemMessageW(window, control.id, PBM_SETMARQUEE, TRUE, 0);
    }
    if (control.className != control::kListView || (control.style & LVS_TYPEMASK) != LVS_REPORT) continue;
    HWND list = GetDlgItem(window, control.id);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    GetClientRect(list, &client);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - client.left - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  }
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      binding = reinterpret_cast<Binding*>(lParam);
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      binding->window.Attach(window);
      SetProgramIcons(*binding, window);
      PrepareControls(binding->dialog, window);
      for (const ControlTemplate& control : binding->dialog.controls) {
        if (control.className == control::kLink) {
          binding->links.push_back(std::make_unique<LinkControl>(GetDlgItem(window, control.id)));
        }
      }
      Centre(window);
      binding->handler.OnOpen(binding->window);
      return binding->window.FocusWasSet() ? FALSE : TRUE;
    }
    case WM_COMMAND:
      if (!binding) return FALSE;
      binding->handler.OnCommand(binding->window, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      if (!binding) return FALSE;
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (change->uChanged & LVIF_STATE) {
          binding->handler.OnItemChanged(binding->window, static_cast<int>(header->idFrom), change->iItem);
        }
      } else if (header->code == NM_DBLCLK) {
        binding->handler.OnCommand(binding->window, static_cast<int>(header->idFrom), notify::kListDoubleClick);
      }
      return FALSE;
    }
    case kPostedMessage:
      if (!binding || !binding->window.TakesPosts()) return TRUE;
      binding->handler.OnPosted(binding->window, static_cast<int>(wParam), static_cast<std::intptr_t>(lParam));
      return TRUE;
    case WM_TIMER:
      if (!binding) return FALSE;
      KillTimer(window, wParam);
      binding->handler.OnTimer(binding->window, static_cast<int>(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

class Win32Popup final : public Popup {
 public:
  Win32Popup(std::unique_ptr<Binding> binding, HWND window) : binding_(std::move(binding)), window_(window) {}
  ~Win32Popup() override { DestroyWindow(window_); }
  WindowId Id() const override { return reinterpret_cast<WindowId>(window_); }

 private:
  std::unique_ptr<Binding> binding_;
  HWND window_;
};

}  // namespace

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog) {
  std::vector<std::uint16_t> out;
  AppendWord(out, 1);       // dlgVer
  AppendWord(out, 0xFFFF);  // signature: extended template
  AppendDword(out, 0);      // helpID
  AppendDword(out, dialog.exStyle);
  AppendDword(out, dialog.style | DS_SETFONT);
  AppendWord(out, static_cast<std::uint16_t>(dialog.controls.size()));
  for (int value : {dialog.rect.x, dialog.rect.y, dialog.rect.width, dialog.rect.height}) {
    AppendWord(out, static_cast<std::uint16_t>(value));
  }
  AppendWord(out, 0);  // no menu
  AppendWord(out, 0);  // the standard dialog class
  AppendText(out, dialog.caption);
  AppendWord(out, static_cast<std::uint16_t>(dialog.pointSize));
  AppendWord(out, FW_NORMAL);
  AppendWord(out, 0x0100);  // not italic; DEFAULT_CHARSET
  AppendText(out, dialog.font);
  for (const ControlTemplate& control : dialog.controls) {
    AlignToDword(out);
    AppendDword(out, 0);  // helpID
    AppendDword(out, control.exStyle);
    AppendDword(out, control.style | WS_CHILD | WS_VISIBLE);
    for (int value : {control.rect.x, control.rect.y, control.rect.width, control.rect.height}) {
      AppendWord(out, static_cast<std::uint16_t>(value));
    }
    AppendDword(out, static_cast<std::uint32_t>(control.id));
    AppendText(out, WindowClassOf(control));
    AppendControlText(out, control);
    AppendWord(out, 0);  // no creation data
  }
  return out;
}

int Win32Ui::RunModal(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) {
  StartComAndControls();
  const std::vector<std::uint16_t> bytes = BuildDialogTemplate(dialog);
  Binding binding(dialog, handler, static_cast<HINSTANCE>(instance_), true);
  const INT_PTR result =
      DialogBoxIndirectParamW(static_cast<HINSTANCE>(instance_), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                              reinterpret_cast<HWND>(owner), DialogProcedure, reinterpret_cast<LPARAM>(&binding));
  return result == -1 ? kIdCancel : static_cast<int>(result);
}

std::unique_ptr<Popup> Win32Ui::ShowPopup(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) {
  StartComAndControls();
  const std::vector<std::uint16_t> bytes = BuildDialogTemplate(dialog);
  auto binding = std::make_unique<Binding>(dialog, handler, static_cast<HINSTANCE>(instance_), false);
  HWND window =
      CreateDialogIndirectParamW(static_cast<HINSTANCE>(instance_), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                 reinterpret_cast<HWND>(owner), DialogProcedure, reinterpret_cast<LPARAM>(binding.get()));
  if (!window) return nullptr;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return std::make_unique<Win32Popup>(std::move(binding), window);
}

int Win32Ui::ShowMessage(WindowId owner, const std::u16string& text, const std::u16string& caption, MessageIcon icon,
                         MessageButtons buttons) {
  StartComAndControls();
  UINT type = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case MessageIcon::Error: type |= MB_ICONERROR; break;
    case MessageIcon::Warning: type |= MB_ICONWARNING; break;
    case MessageIcon::Information: type |= MB_ICONINFORMATION; break;
    case MessageIcon::Question: type |= MB_ICONQUESTION; break;
    case MessageIcon::None: break;
  }
  return MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text), Wide(caption), type);
}

std::optional<std::u16string> Win32Ui::OpenFile(const OpenFileRequest& request) {
  StartComAndControls();
  std::u16string filter;
  for (const FileFilter& entry : request.filters) {
    filter += entry.name;
    filter += u'\0';
    filter += entry.pattern;
    filter += u'\0';
  }
  filter += u'\0';
  if (request.bufferLength == 0) return std::nullopt;
  std::u16string buffer = request.initialName.substr(0, request.bufferLength - 1);
  buffer.resize(request.bufferLength, u'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = reinterpret_cast<HWND>(request.owner);
  dialog.lpstrFilter = Wide(filter);
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = Wide(buffer);
  dialog.nMaxFile = request.bufferLength;
  dialog.lpstrTitle = Wide(request.title);
  dialog.Flags = request.flags;
  if (GetOpenFileNameW(&dialog)) return FromWide(Wide(buffer));
  // A start name the dialog refuses (quotes, say) would keep it from opening at all: it opens without one.
  if (CommDlgExtendedError() != FNERR_INVALIDFILENAME || buffer[0] == u'\0') return std::nullopt;
  std::fill(buffer.begin(), buffer.end(), u'\0');
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return FromWide(Wide(buffer));
}

WindowId Win32Ui::ActiveWindow() { return reinterpret_cast<WindowId>(GetActiveWindow()); }

}  // namespace tc
