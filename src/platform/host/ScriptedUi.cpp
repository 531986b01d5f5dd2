// A user interface in memory in which a test acts as the user.
#include "platform/host/ScriptedUi.h"

#include <algorithm>
#include <stdexcept>

#include "base/Text.h"

namespace tc {

namespace {

constexpr int kEditChange = 0x300;  // EN_CHANGE

}  // namespace

ScriptedDialog::ScriptedDialog(const DialogTemplate& dialog, DialogHandler& handler, WindowId id,
                               std::u16string& clipboard)
    : template_(dialog), handler_(handler), id_(id), caption_(dialog.caption), clipboard_(clipboard) {
  for (const ControlTemplate& source : dialog.controls) {
    Control control;
    control.source = source;
    control.text = source.text;
    control.enabled = (source.style & 0x08000000) == 0;
    controls_.push_back(std::move(control));
  }
}

ScriptedDialog::Control& ScriptedDialog::ControlOf(int id) {
  for (Control& control : controls_) {
    if (control.source.id == id) return control;
  }
  throw std::out_of_range("no control " + std::to_string(id) + " in " + ToUtf8(template_.caption));
}

const ScriptedDialog::Control& ScriptedDialog::ControlOf(int id) const {
  return const_cast<ScriptedDialog*>(this)->ControlOf(id);
}

bool ScriptedDialog::IsList(const Control& control) const {
  const auto& name = control.source.className;
  return name == control::kListBox || name == control::kComboBox || name == control::kListView;
}

std::vector<std::u16string> ScriptedDialog::ButtonTexts() const {
  std::vector<std::u16string> texts;
  for (const Control& control : controls_) {
    if (control.source.className == control::kButton && (control.source.style & 0xF) < 2) texts.push_back(control.text);
  }
  return texts;
}

void ScriptedDialog::Click(int id) {
  if (HasEnded()) throw std::logic_error("click in a dialog that has ended");
  Control& control = ControlOf(id);
  if (!control.enabled) return;  // a disabled button can't be clicked
  const bool isStatic = control.source.className == control::kStatic || control.source.className == control::kLink;
  // An automatic check box changes its tick itself, before it tells the dialog.
  if (control.source.className == control::kButton && (control.source.style & 0xF) == 0x3) {  // BS_AUTOCHECKBOX
    control.checked = !control.checked;
  }
  handler_.OnCommand(*this, id, isStatic ? notify::kStaticClicked : notify::kButtonClicked);
}

void ScriptedDialog::Type(int id, const std::u16string& text) {
  Control& control = ControlOf(id);
  control.text = control.limit != 0 && text.size() > control.limit ? text.substr(0, control.limit) : text;
  control.caret = control.text.size();
  handler_.OnCommand(*this, id, kEditChange);
}

void ScriptedDialog::ChooseItem(int id, int index) {
  Select(id, index);
  if (ControlOf(id).source.className == control::kListView) {
    handler_.OnItemChanged(*this, id, index);
  } else {
    handler_.OnCommand(*this, id, notify::kListSelectionChange);
  }
}

void ScriptedDialog::DoubleClickItem(int id, int index) {
  ChooseItem(id, index);
  handler_.OnCommand(*this, id, notify::kListDoubleClick);
}

void ScriptedDialog::Tick(int id, int index, bool checked) {
  SetChecked(id, index, checked);
  handler_.OnItemChanged(*this, id, index);
}

void ScriptedDialog::FireTimer(int timer) {
  if (!IsTimerRunning(timer)) throw std::logic_error("timer " + std::to_string(timer) + " is not running");
  timers_.erase(timer);
  handler_.OnTimer(*this, timer);
}

void ScriptedDialog::PressEnter() {
  if (HasEnded()) throw std::logic_error("Enter in a dialog that has ended");
  for (const Control& control : controls_) {
    const bool isButton = control.source.className == control::kButton;
    if (isButton && (control.source.style & 0xF) == 0x1) {  // BS_DEFPUSHBUTTON
      if (control.enabled) handler_.OnCommand(*this, control.source.id, notify::kButtonClicked);
      return;
    }
  }
  throw std::logic_error("no default button in " + ToUtf8(template_.caption));
}

bool ScriptedDialog::DeliverPosted() {
  const auto post = poster_->Take();
  if (!post) return false;
  handler_.OnPosted(*this, post->first, post->second);
  return true;
}

void ScriptedDialog::Close() { handler_.OnCommand(*this, kIdCancel, notify::kButtonClicked); }

std::vector<std::u16string> ScriptedDialog::Items(int id) const {
  std::vector<std::u16string> texts;
  for (const Item& item : ControlOf(id).items) texts.push_back(item.text);
  return texts;
}

std::pair<int, int> ScriptedDialog::ProgressRange(int id) const {
  const Control& control = ControlOf(id);
  return {control.low, control.high};
}

void ScriptedDialog::End(int code) {
  if (!endCode_) endCode_ = code;
  timers_.clear();
  poster_->Close();
}

std::u16string ScriptedDialog::Text(int id) const { return ControlOf(id).text; }

void ScriptedDialog::SetText(int id, const std::u16string& text) {
  Control& control = ControlOf(id);
  control.text = text;
  control.caret = 0;
}

void ScriptedDialog::Enable(int id, bool enabled) { ControlOf(id).enabled = enabled; }

bool ScriptedDialog::IsEnabled(int id) const { return ControlOf(id).enabled; }

void ScriptedDialog::LimitText(int id, std::uint32_t characters) { ControlOf(id).limit = characters; }

void ScriptedDialog::ReplaceSelection(int id, const std::u16string& text) {
  Control& control = ControlOf(id);
  control.caret = std::min(control.caret, control.text.size());
  // As an edit field does: what goes beyond its limit is cut off.
  std::u16string inserted = text;
  if (control.limit != 0) {
    const size_t room = control.limit > control.text.size() ? control.limit - control.text.size() : 0;
    if (inserted.size() > room) inserted.resize(room);
  }
  control.text.insert(control.caret, inserted);
  control.caret += inserted.size();
}

void ScriptedDialog::MoveCaretToEnd(int id) {
  Control& control = ControlOf(id);
  control.caret = control.text.size();
}

void ScriptedDialog::ClearItems(int id) {
  Control& control = ControlOf(id);
  control.items.clear();
  control.selection = -1;
}

int ScriptedDialog::AddItem(int id, const std::u16string& text, std::uintptr_t data) {
  Control& control = ControlOf(id);
  const bool sorted = (control.source.className == control::kListBox && (control.source.style & 0x2)) ||
                      (control.source.className == control::kComboBox && (control.source.style & 0x100)) ||
                      (control.source.className == control::kListView && (control.source.style & 0x10));
  size_t at = control.items.size();
  if (sorted) {
    // The list controls sort case-insensitively; equal names keep the order they were added in.
    auto folded = [](const std::u16string& s) {
      std::u16string f;
      for (char16_t c : s) f.push_back(FoldCase(c));
      return f;
    };
    const std::u16string key = folded(text);
    at = 0;
    while (at < control.items.size() && folded(control.items[at].text) <= key) ++at;
  }
  control.items.insert(control.items.begin() + static_cast<std::ptrdiff_t>(at), Item{text, data, false});
  if (control.selection >= static_cast<int>(at)) ++control.selection;
  return static_cast<int>(at);
}

void ScriptedDialog::RemoveItem(int id, int index) {
  Control& control = ControlOf(id);
  if (index < 0 || index >= static_cast<int>(control.items.size())) return;
  control.items.erase(control.items.begin() + index);
  if (control.selection == index) {
    control.selection = -1;
  } else if (control.selection > index) {
    --control.selection;
  }
}

int ScriptedDialog::ItemCount(int id) const { return static_cast<int>(ControlOf(id).items.size()); }

std::u16string ScriptedDialog::ItemText(int id, int index) const { return ControlOf(id).items.at(index).text; }

std::uintptr_t ScriptedDialog::ItemData(int id, int index) const { return ControlOf(id).items.at(index).data; }

int ScriptedDialog::Selection(int id) const { return ControlOf(id).selection; }

void ScriptedDialog::Select(int id, int index) {
  Control& control = ControlOf(id);
  control.selection = index >= 0 && index < static_cast<int>(control.items.size()) ? index : -1;
}

bool ScriptedDialog::IsChecked(int id, int index) const { return ControlOf(id).items.at(index).checked; }

void ScriptedDialog::SetChecked(int id, int index, bool checked) {
  Control& control = ControlOf(id);
  if (index == -1) {
    for (Item& item : control.items) item.checked = checked;
  } else {
    control.items.at(index).checked = checked;
  }
}

void ScriptedDialog::SetProgressRange(int id, int low, int high) {
  Control& control = ControlOf(id);
  control.low = low;
  control.high = high;
}

void ScriptedDialog::SetProgress(int id, int position) { ControlOf(id).progress = position; }

void ScriptedDialog::StartTimer(int timer, std::uint32_t milliseconds) { timers_[timer] = milliseconds; }

void ScriptedDialog::StopTimer(int timer) { timers_.erase(timer); }

Rect ScriptedDialog::ControlRect(int id) const { return ControlOf(id).source.rect; }

int ScriptedDialog::PopupMenu(const std::vector<std::u16string>& items, Point screen) {
  menusShown.push_back(items);
  menuPositions.push_back(screen);
  if (menuAnswers.empty()) return 0;
  const int answer = menuAnswers.front();
  menuAnswers.pop_front();
  return answer;
}

void ScriptedUi::OnDialog(const std::u16string& caption, Script script) {
  scripts_.emplace_back(caption, std::move(script));
}

int ScriptedUi::RunModal(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) {
  ScriptedDialog window(dialog, handler, nextWindow_++, clipboard);
  dialogsShown.push_back(dialog.caption);
  dialogOwners.push_back(owner);
  const WindowId previous = activeWindow_;
  activeWindow_ = window.Id();
  handler.OnOpen(window);
  if (!window.HasEnded()) {
    if (scripts_.empty() || scripts_.front().first != window.Caption()) {
      problems.push_back("unexpected dialog \"" + ToUtf8(window.Caption()) + "\"");
      window.End(kIdCancel);
    } else {
      Script script = std::move(scripts_.front().second);
      scripts_.pop_front();
      script(window);
      if (!window.HasEnded()) {
        problems.push_back("dialog \"" + ToUtf8(window.Caption()) + "\" left open by its script");
        window.End(kIdCancel);
      }
    }
  }
  activeWindow_ = previous;
  return window.EndCode();
}

namespace {

// The popup's window lives as long as the popup, so that its handler may go on using it.
class ScriptedPopup final : public Popup {
 public:
  ScriptedPopup(std::unique_ptr<ScriptedDialog> window, std::vector<ScriptedDialog*>& live)
      : window_(std::move(window)), live_(live) {
    live_.push_back(window_.get());
  }
  ~ScriptedPopup() override { std::erase(live_, window_.get()); }
  WindowId Id() const override { return window_->Id(); }

 private:
  std::unique_ptr<ScriptedDialog> window_;
  std::vector<ScriptedDialog*>& live_;
};

}  // namespace

std::unique_ptr<Popup> ScriptedUi::ShowPopup(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) {
  popupsShown.push_back(dialog.caption);
  auto window = std::make_unique<ScriptedDialog>(dialog, handler, nextWindow_++, clipboard);
  handler.OnOpen(*window);
  return std::make_unique<ScriptedPopup>(std::move(window), livePopups);
}

int ScriptedUi::ShowMessage(WindowId owner, const std::u16string& text, const std::u16string& caption,
                            MessageIcon icon, MessageButtons buttons) {
  messages.push_back(Message{owner, text, caption, icon, buttons});
  if (buttons == MessageButtons::Ok) return kIdOk;
  if (messageAnswers_.empty()) {
    problems.push_back("unanswered question \"" + ToUtf8(text) + "\"");
    return buttons == MessageButtons::YesNo ? kIdNo : kIdCancel;
  }
  const int answer = messageAnswers_.front();
  messageAnswers_.pop_front();
  return answer;
}

std::optional<std::u16string> ScriptedUi::OpenFile(const OpenFileRequest& request) {
  fileRequests.push_back(request);
  if (fileAnswers_.empty()) return std::nullopt;
  auto answer = std::move(fileAnswers_.front());
  fileAnswers_.pop_front();
  return answer;
}

}  // namespace tc
