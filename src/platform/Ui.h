// The user-interface port: dialogs from templates, message boxes, the open-file dialog.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tc {

using WindowId = std::uintptr_t;  // 0: no window
constexpr WindowId kNoWindow = 0;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct Point {
  int x = 0;
  int y = 0;
};

// Window classes of the controls the dialogs use.
namespace control {
inline constexpr char16_t kButton[] = u"Button";
inline constexpr char16_t kEdit[] = u"Edit";
inline constexpr char16_t kStatic[] = u"Static";
inline constexpr char16_t kListBox[] = u"ListBox";
inline constexpr char16_t kComboBox[] = u"ComboBox";
inline constexpr char16_t kListView[] = u"SysListView32";
inline constexpr char16_t kProgress[] = u"msctls_progress32";
// A static text that acts as a hyperlink: the Win32 host creates a Static and attaches the link behaviour.
inline constexpr char16_t kLink[] = u"Link";
// The text of an icon static (SS_ICON) that shows the program icon, resource 128.
inline constexpr char16_t kProgramIconText[] = u"#128";
// The text of an icon static that shows the system's warning icon (IDI_WARNING); it needs an id of its own.
inline constexpr char16_t kWarningIconText[] = u"#32515";
}  // namespace control

struct ControlTemplate {
  int id = 0;
  std::u16string className;
  std::u16string text;
  Rect rect;  // dialog units
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
};

struct DialogTemplate {
  std::u16string caption;
  Rect rect;  // dialog units
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::u16string font = u"MS Shell Dlg";
  int pointSize = 8;
  std::vector<ControlTemplate> controls;
};

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

struct FileFilter {
  std::u16string name;
  std::u16string pattern;
};

struct OpenFileRequest {
  WindowId owner = kNoWindow;
  std::u16string title;
  std::vector<FileFilter> filters;
  std::u16string initialName;
  std::uint32_t bufferLength = 0;  // characters, terminator included
  std::uint32_t flags = 0;
};

// Notification codes the handlers react to, in the platform's numbering.
namespace notify {
constexpr int kButtonClicked = 0;      // BN_CLICKED
constexpr int kListSelectionChange = 1;  // LBN_SELCHANGE, CBN_SELCHANGE
constexpr int kListDoubleClick = 2;    // LBN_DBLCLK
constexpr int kStaticClicked = 0;      // STN_CLICKED
}  // namespace notify

// Carries messages from any thread to a dialog's handler, which receives them on the dialog's own thread.
// It may outlive its dialog: once the dialog has ended, posts are dropped.
class DialogPoster {
 public:
  virtual ~DialogPoster() = default;
  virtual void Post(int message, std::intptr_t value) = 0;
};

// The live dialog as its handler sees it: controls addressed by id.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  virtual WindowId Id() const = 0;
  virtual void End(int code) = 0;
  // For workers on other threads; their posts arrive through DialogHandler::OnPosted.
  virtual std::shared_ptr<DialogPoster> Poster() = 0;

  virtual std::u16string Text(int control) const = 0;
  virtual void SetText(int control, const std::u16string& text) = 0;
  virtual void SetCaption(const std::u16string& caption) = 0;
  virtual void Enable(int control, bool enabled) = 0;
  virtual bool IsEnabled(int control) const = 0;
  virtual void Focus(int control) = 0;
  virtual void LimitText(int control, std::uint32_t characters) = 0;
  virtual void ReplaceSelection(int control, const std::u16string& text) = 0;
  virtual void MoveCaretToEnd(int control) = 0;
  // The control shows its text in a fixed-pitch font of the dialog font's size.
  virtual void UseFixedPitchFont(int control) = 0;
  // Puts the text on the clipboard, as Unicode text; false when the clipboard can't be had.
  virtual bool CopyToClipboard(const std::u16string& text) = 0;

  // List boxes and drop-down list combo boxes.
  virtual void ClearItems(int control) = 0;
  virtual int AddItem(int control, const std::u16string& text, std::uintptr_t data) = 0;
  // Items after it move up by one; a selection of this item is gone, a later one follows its item.
  virtual void RemoveItem(int control, int index) = 0;
  virtual int ItemCount(int control) const = 0;
  virtual std::u16string ItemText(int control, int index) const = 0;
  virtual std::uintptr_t ItemData(int control, int index) const = 0;
  virtual int Selection(int control) const = 0;  // -1: none
  virtual void Select(int control, int index) = 0;

  // Check boxes.
  virtual bool IsButtonChecked(int control) const = 0;
  virtual void CheckButton(int control, bool checked) = 0;

  // Report-mode list views with check boxes.
  virtual bool IsChecked(int control, int index) const = 0;
  virtual void SetChecked(int control, int index, bool checked) = 0;

  virtual void SetProgressRange(int control, int low, int high) = 0;
  virtual void SetProgress(int control, int position) = 0;

  // The timer fires once, then stops.
  virtual void StartTimer(int timer, std::uint32_t milliseconds) = 0;
  virtual void StopTimer(int timer) = 0;

  // The control's rectangle in screen coordinates.
  virtual Rect ControlRect(int control) const = 0;
  // Items numbered from 1 in the order given; 0 when the menu was dismissed.
  virtual int PopupMenu(const std::vector<std::u16string>& items, Point screen) = 0;
};

// What a dialog does: the Win32 host and the scripted test host both drive it.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  virtual void OnOpen(DialogWindow& window) {}
  // Ids 1 and 2 arrive for OK and for Cancel, Escape or the close box; the default ends with that id.
  virtual void OnCommand(DialogWindow& window, int control, int code) {
    if (control == kIdOk || control == kIdCancel) window.End(control);
  }
  // A list view's item changed (its check box among others).
  virtual void OnItemChanged(DialogWindow& window, int control, int item) {}
  virtual void OnTimer(DialogWindow& window, int timer) {}
  // A message from the dialog's poster.
  virtual void OnPosted(DialogWindow& window, int message, std::intptr_t value) {}
};

// A modeless window shown and painted at once; it disappears when the object is destroyed.
class Popup {
 public:
  virtual ~Popup() = default;
  virtual WindowId Id() const = 0;
};

class Ui {
 public:
  virtual ~Ui() = default;

  virtual int RunModal(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) = 0;
  virtual std::unique_ptr<Popup> ShowPopup(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) = 0;
  virtual int ShowMessage(WindowId owner, const std::u16string& text, const std::u16string& caption,
                          MessageIcon icon, MessageButtons buttons) = 0;
  virtual std::optional<std::u16string> OpenFile(const OpenFileRequest& request) = 0;
  // The window that is active on this thread, or none.
  virtual WindowId ActiveWindow() = 0;
};

}  // namespace tc
