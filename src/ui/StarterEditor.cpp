// The starter editors: one starter's name, executable file and argument template, checked on OK.
#include <vector>

#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"
#include "ui/Styles.h"

namespace tc {

namespace {

constexpr std::uint32_t kNameLimit = 256;
constexpr std::uint32_t kPathLimit = 1024;
constexpr std::uint32_t kArgumentsLimit = 1024;
constexpr std::uint32_t kFileNameBuffer = 1024;  // characters, the terminator included
constexpr size_t kPresetLimit = 256;
// OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST
constexpr std::uint32_t kOpenFileFlags = 0x0004 | 0x0008 | 0x0800 | 0x1000;

// What tells the two editors apart. The labels also name the URL form; the J2ME label takes two lines, and the
// controls below it move down by the second.
struct EditorKind {
  const char16_t* caption;
  const char16_t* argumentsLabel;
  int labelWidth;
  int labelHeight;
  const char16_t* presets[2];
};

constexpr EditorKind kJ2seEditor{u"J2SE Starter",
                                 u"Arguments (%1 - JAR file name, %U1 - its URL, %* - external arguments)",
                                 242,
                                 8,
                                 {u" -jad %1", u" %*"}};
constexpr EditorKind kJ2meEditor{u"J2ME Starter",
                                 u"Arguments (%1 - JAD file name, %2 - JAR file name, %U2 - its URL, "
                                 u"%W %H - the game's screen size, %* - external arguments)",
                                 279,
                                 16,
                                 {u" -Xdescriptor:%1", u" -Xdevice:?"}};

const EditorKind& EditorOf(StarterKind kind) { return kind == StarterKind::J2se ? kJ2seEditor : kJ2meEditor; }

DialogTemplate EditorTemplate(const EditorKind& editor) {
  using namespace style;
  constexpr auto kField = kEsLeft | kEsAutoHScroll | kTabStop | kGroup;
  constexpr auto kButton = kBsPushButton | kTabStop;
  const int below = editor.labelHeight - 8;
  return DialogTemplate{
      editor.caption,
      {0, 0, 293, 107 + below},
      kModalDialog | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_STATIC, control::kStatic, u"Name", {7, 7, 19, 8}, kSsLeft},
          {IDC_STARTER_NAME, control::kEdit, u"", {7, 16, 279, 14}, kField, kWsExClientEdge},
          {IDC_STATIC, control::kStatic, u"Executable File", {7, 32, 49, 8}, kSsLeft},
          {IDC_STARTER_EXECUTABLE, control::kEdit, u"", {7, 41, 263, 14}, kField, kWsExClientEdge},
          {IDB_STARTER_BROWSE, control::kButton, u"...", {270, 41, 16, 14}, kButton},
          {IDC_STATIC, control::kStatic, editor.argumentsLabel, {7, 57, editor.labelWidth, editor.labelHeight},
           kSsLeft | kSsNoPrefix},
          {IDC_STARTER_ARGUMENTS, control::kEdit, u"", {7, 66 + below, 263, 14}, kField, kWsExClientEdge},
          {IDB_STARTER_PRESETS, control::kButton, u">", {270, 66 + below, 16, 14}, kButton},
          {kIdOk, control::kButton, u"OK", {93, 86 + below, 50, 14}, kBsDefPushButton | kTabStop | kGroup},
          {kIdCancel, control::kButton, u"Cancel", {149, 86 + below, 50, 14}, kButton},
      }};
}

class EditorHandler final : public DialogHandler {
 public:
  EditorHandler(Ui& ui, const EditorKind& editor, Starter& starter) : ui_(ui), editor_(editor), starter_(starter) {}

  void OnOpen(DialogWindow& window) override {
    window.LimitText(IDC_STARTER_NAME, kNameLimit);
    window.LimitText(IDC_STARTER_EXECUTABLE, kPathLimit);
    window.LimitText(IDC_STARTER_ARGUMENTS, kArgumentsLimit);
    window.SetText(IDC_STARTER_NAME, starter_.name);
    window.SetText(IDC_STARTER_EXECUTABLE, starter_.executableFile);
    window.SetText(IDC_STARTER_ARGUMENTS, starter_.arguments);
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    switch (control) {
      case IDB_STARTER_BROWSE:
        if (code == notify::kButtonClicked) Browse(window);
        break;
      case IDB_STARTER_PRESETS:
        if (code == notify::kButtonClicked) AppendPreset(window);
        break;
      case kIdOk:
        Accept(window);
        break;
      case kIdCancel:
        window.End(kIdCancel);
        break;
      default:
        break;
    }
  }

 private:
  void Browse(DialogWindow& window) {
    const std::u16string current = Trim(window.Text(IDC_STARTER_EXECUTABLE));
    OpenFileRequest request;
    request.owner = window.Id();
    request.title = u"Select an Executable File";
    request.filters = {{u"Executable Files (*.exe;*.com;*.bat)", u"*.exe;*.com;*.bat"}, {u"All Files", u"*.*"}};
    // A path cut to fit the buffer would name another file: one that doesn't fit is not offered at all.
    request.initialName = current.size() < kFileNameBuffer ? current : u"";
    request.bufferLength = kFileNameBuffer;
    request.flags = kOpenFileFlags;
    if (const auto chosen = ui_.OpenFile(request)) window.SetText(IDC_STARTER_EXECUTABLE, *chosen);
  }

  void AppendPreset(DialogWindow& window) {
    const std::vector<std::u16string> presets(std::begin(editor_.presets), std::end(editor_.presets));
    const Rect button = window.ControlRect(IDB_STARTER_PRESETS);
    const int chosen = window.PopupMenu(presets, Point{button.x + button.width / 2, button.y + button.height / 2});
    if (chosen < 1 || chosen > static_cast<int>(presets.size())) return;
    // At the end of the field, wherever the caret was.
    window.MoveCaretToEnd(IDC_STARTER_ARGUMENTS);
    window.ReplaceSelection(IDC_STARTER_ARGUMENTS, presets[chosen - 1].substr(0, kPresetLimit));
  }

  void Accept(DialogWindow& window) {
    const std::u16string name = Trim(window.Text(IDC_STARTER_NAME));
    if (name.empty()) {
      ShowDialogError(ui_, window.Id(), u"The \"Name\" field is empty.");
      window.Focus(IDC_STARTER_NAME);
      return;
    }
    const std::u16string executable = Trim(window.Text(IDC_STARTER_EXECUTABLE));
    if (executable.empty()) {
      ShowDialogError(ui_, window.Id(), u"The \"Executable File\" field is empty.");
      window.Focus(IDC_STARTER_EXECUTABLE);
      return;
    }
    starter_ = Starter{name, executable, Trim(window.Text(IDC_STARTER_ARGUMENTS))};
    window.End(kIdOk);
  }

  Ui& ui_;
  const EditorKind& editor_;
  Starter& starter_;
};

}  // namespace

int RunStarterEditor(Context& context, StarterKind kind, WindowId owner, Starter& starter) {
  const EditorKind& editor = EditorOf(kind);
  EditorHandler handler(context.platform.ui, editor, starter);
  return context.platform.ui.RunModal(EditorTemplate(editor), handler, owner);
}

}  // namespace tc
