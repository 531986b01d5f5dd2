// A user interface in memory in which a test acts as the user: dialogs are models of their templates.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Ui.h"
#include "platform/host/ScriptedPoster.h"

namespace tc {

class ScriptedDialog final : public DialogWindow {
 public:
  ScriptedDialog(const DialogTemplate& dialog, DialogHandler& handler, WindowId id, std::u16string& clipboard);
  ~ScriptedDialog() override { poster_->Close(); }

  // What the user does.
  void Click(int control);
  void Type(int control, const std::u16string& text);
  void ChooseItem(int control, int index);
  void DoubleClickItem(int control, int index);
  void Tick(int control, int index, bool checked);
  void FireTimer(int timer);
  // Hands the oldest message posted from another thread to the handler; false when none waits or the dialog ended.
  bool DeliverPosted();
  std::size_t PostsWaiting() const { return poster_->Waiting(); }
  void PressEnter();  // Enter in a field or list: the default button, when it is enabled
  void Close();       // Escape or the close box

  // What the user sees.
  const std::u16string& Caption() const { return caption_; }
  const DialogTemplate& Template() const { return template_; }
  bool HasEnded() const { return endCode_.has_value(); }
  int EndCode() const { return endCode_.value_or(-1); }
  bool IsTimerRunning(int timer) const { return timers_.count(timer) != 0; }
  std::uint32_t TimerInterval(int timer) const { return timers_.at(timer); }
  std::uint32_t TextLimit(int control) const { return ControlOf(control).limit; }
  int FocusedControl() const { return focus_; }
  std::vector<std::u16string> Items(int control) const;
  // The texts of the push buttons, in the order of the template.
  std::vector<std::u16string> ButtonTexts() const;
  std::pair<int, int> ProgressRange(int control) const;
  int Progress(int control) const { return ControlOf(control).progress; }
  bool HasFixedPitchFont(int control) const { return ControlOf(control).fixedPitch; }
  std::size_t Caret(int control) const { return ControlOf(control).caret; }

  // DialogWindow
  WindowId Id() const override { return id_; }
  void End(int code) override;
  std::shared_ptr<DialogPoster> Poster() override { return poster_; }
  std::u16string Text(int control) const override;
  void SetText(int control, const std::u16string& text) override;
  void SetCaption(const std::u16string& caption) override { caption_ = caption; }
  void Enable(int control, bool enabled) override;
  bool IsEnabled(int control) const override;
  void Focus(int control) override { focus_ = control; }
  void LimitText(int control, std::uint32_t characters) override;
  void ReplaceSelection(int control, const std::u16string& text) override;
  void MoveCaretToEnd(int control) override;
  void UseFixedPitchFont(int control) override { ControlOf(control).fixedPitch = true; }
  bool CopyToClipboard(const std::u16string& text) override {
    clipboard_ = text;
    return true;
  }
  void ClearItems(int control) override;
  int AddItem(int control, const std::u16string& text, std::uintptr_t data) override;
  void RemoveItem(int control, int index) override;
  int ItemCount(int control) const override;
  std::u16string ItemText(int control, int index) const override;
  std::uintptr_t ItemData(int control, int index) const override;
  int Selection(int control) const override;
  void Select(int control, int index) override;
  bool IsButtonChecked(int control) const override { return ControlOf(control).checked; }
  void CheckButton(int control, bool checked) override { ControlOf(control).checked = checked; }
  bool IsChecked(int control, int index) const override;
  void SetChecked(int control, int index, bool checked) override;
  void SetProgressRange(int control, int low, int high) override;
  void SetProgress(int control, int position) override;
  void StartTimer(int timer, std::uint32_t milliseconds) override;
  void StopTimer(int timer) override;
  Rect ControlRect(int control) const override;
  int PopupMenu(const std::vector<std::u16string>& items, Point screen) override;

  // Answers for the pop-up menus this dialog shows, and what they offered.
  std::deque<int> menuAnswers;
  std::vector<std::vector<std::u16string>> menusShown;
  std::vector<Point> menuPositions;

 private:
  struct Item {
    std::u16string text;
    std::uintptr_t data = 0;
    bool checked = false;
  };
  struct Control {
    ControlTemplate source;
    std::u16string text;
    bool enabled = true;
    std::uint32_t limit = 0;
    size_t caret = 0;
    std::vector<Item> items;
    int selection = -1;
    int low = 0;
    int high = 100;
    int progress = 0;
    bool fixedPitch = false;
    bool checked = false;  // a check box's
  };

  Control& ControlOf(int control);
  const Control& ControlOf(int control) const;
  bool IsList(const Control& control) const;

  DialogTemplate template_;
  DialogHandler& handler_;
  WindowId id_;
  std::u16string caption_;
  std::vector<Control> controls_;
  std::map<int, std::uint32_t> timers_;
  std::optional<int> endCode_;
  std::shared_ptr<ScriptedPoster> poster_ = std::make_shared<ScriptedPoster>();
  int focus_ = 0;
  std::u16string& clipboard_;
};

class ScriptedUi final : public Ui {
 public:
  using Script = std::function<void(ScriptedDialog&)>;

  struct Message {
    WindowId owner;
    std::u16string text;
    std::u16string caption;
    MessageIcon icon;
    MessageButtons buttons;
  };

  // The next modal dialog must carry this caption; the script acts in it and should end it.
  void OnDialog(const std::u16string& caption, Script script);
  // The answer to the next message box that asks a question (OK-only boxes answer themselves).
  void AnswerMessage(int result) { messageAnswers_.push_back(result); }
  // The file chosen in the next open-file dialog, or nullopt for Cancel.
  void AnswerOpenFile(std::optional<std::u16string> path) { fileAnswers_.push_back(std::move(path)); }
  void SetActiveWindow(WindowId window) { activeWindow_ = window; }

  int RunModal(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) override;
  std::unique_ptr<Popup> ShowPopup(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) override;
  int ShowMessage(WindowId owner, const std::u16string& text, const std::u16string& caption, MessageIcon icon,
                  MessageButtons buttons) override;
  std::optional<std::u16string> OpenFile(const OpenFileRequest& request) override;
  WindowId ActiveWindow() override { return activeWindow_; }

  std::vector<Message> messages;
  std::vector<std::u16string> dialogsShown;  // captions, in the order they opened
  std::vector<WindowId> dialogOwners;
  std::vector<std::u16string> popupsShown;
  // The popups that are still shown, as their handlers see them.
  std::vector<ScriptedDialog*> livePopups;
  std::vector<OpenFileRequest> fileRequests;
  std::u16string clipboard;  // what a dialog copied last
  // What went against the script: an unexpected dialog, a question nobody answered, a dialog left open.
  std::vector<std::string> problems;

  bool ScriptDone() const { return scripts_.empty() && messageAnswers_.empty() && fileAnswers_.empty(); }

 private:
  std::deque<std::pair<std::u16string, Script>> scripts_;
  std::deque<int> messageAnswers_;
  std::deque<std::optional<std::u16string>> fileAnswers_;
  WindowId activeWindow_ = kNoWindow;
  WindowId nextWindow_ = 0x100;
};

}  // namespace tc
