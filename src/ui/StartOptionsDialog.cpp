// The Start Options dialog: what one file always starts with and is given, checked on OK and kept for that file.
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "base/Path.h"
#include "base/Text.h"
#include "catalogue/FileOptions.h"
#include "launch/JavaStarters.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"
#include "ui/Styles.h"

namespace tc {

namespace {

// Labels in a column on the left, each centred on its field's row; the fields begin at one edge on the right.
constexpr int kWidth = 292;
constexpr int kFieldX = 99;
constexpr int kFieldWidth = kWidth - 7 - kFieldX;
constexpr int RowY(int row) { return 7 + 18 * row; }
constexpr Rect LabelAt(int row) { return {7, RowY(row) + 3, kFieldX - 11, 8}; }
constexpr Rect FieldAt(int row, int width = kFieldWidth) { return {kFieldX, RowY(row), width, 14}; }
constexpr Rect ListAt(int row) { return {kFieldX, RowY(row), kFieldWidth, 100}; }  // with its dropped list

DialogTemplate OptionsTemplate(const std::u16string& fileName, StarterKind kind) {
  using namespace style;
  constexpr auto kField = kEsLeft | kEsAutoHScroll | kTabStop | kGroup;
  constexpr auto kNumber = kField | kEsNumber;
  constexpr auto kList = kCbsDropDownList | kVScroll | kTabStop | kGroup;
  constexpr auto kButton = kBsPushButton | kTabStop;
  std::vector<ControlTemplate> controls{
      {IDC_STATIC, control::kStatic, u"Start &with:", LabelAt(0), kSsLeft},
      {IDC_OPTIONS_STARTER, control::kComboBox, u"", ListAt(0), kList},
  };
  if (kind == StarterKind::J2se) {
    controls.insert(controls.end(), {
        {IDC_STATIC, control::kStatic, u"&Runs in:", LabelAt(1), kSsLeft},
        {IDC_OPTIONS_RUNS, control::kComboBox, u"", ListAt(1), kList},
        {IDC_STATIC, control::kStatic, u"Display &scaling:", LabelAt(2), kSsLeft},
        {IDC_OPTIONS_SCALING, control::kComboBox, u"", ListAt(2), kList},
        {IDC_STATIC, control::kStatic, u"Maximum &memory (MB):", LabelAt(3), kSsLeft},
        {IDC_OPTIONS_MEMORY, control::kEdit, u"", FieldAt(3, 40), kNumber, kWsExClientEdge},
        {IDC_STATIC, control::kStatic, u"&Java options:", LabelAt(4), kSsLeft},
        {IDC_OPTIONS_JAVA_OPTIONS, control::kEdit, u"", FieldAt(4), kField, kWsExClientEdge},
    });
  } else {
    controls.insert(controls.end(), {
        {IDC_STATIC, control::kStatic, u"Screen &size:", LabelAt(1), kSsLeft},
        {IDC_OPTIONS_WIDTH, control::kEdit, u"", FieldAt(1, 32), kNumber, kWsExClientEdge},
        {IDC_STATIC, control::kStatic, u"x", {kFieldX + 32, RowY(1) + 3, 12, 8}, kSsCenter},
        {IDC_OPTIONS_HEIGHT, control::kEdit, u"", {kFieldX + 44, RowY(1), 32, 14}, kNumber, kWsExClientEdge},
    });
  }
  const int last = kind == StarterKind::J2se ? 5 : 2;
  const int buttons = RowY(last) + 14 + 10;
  controls.insert(controls.end(), {
      {IDC_STATIC, control::kStatic, u"&Arguments:", LabelAt(last), kSsLeft},
      {IDC_OPTIONS_ARGUMENTS, control::kEdit, u"", FieldAt(last), kField, kWsExClientEdge},
      {kIdOk, control::kButton, u"OK", {kWidth - 167, buttons, 50, 14}, kBsDefPushButton | kTabStop | kGroup},
      {kIdCancel, control::kButton, u"Cancel", {kWidth - 112, buttons, 50, 14}, kButton},
      {IDB_OPTIONS_FORGET, control::kButton, u"&Forget", {kWidth - 57, buttons, 50, 14}, kButton},
  });
  return DialogTemplate{u"Start Options - " + fileName,
                        {0, 0, kWidth, buttons + 14 + 7},
                        kModalDialog | kDsShellFont,
                        0,
                        u"MS Shell Dlg",
                        8,
                        std::move(controls)};
}

// A number field's value: 0 when it is empty, nullopt when it holds anything but a number from `low` to `high`.
std::optional<std::uint32_t> NumberOrNone(std::u16string_view text, std::uint32_t low, std::uint32_t high) {
  if (text.empty()) return 0;
  std::uint32_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > high) return std::nullopt;  // before it could wrap round
  }
  if (value < low) return std::nullopt;
  return value;
}

std::u16string NumberText(std::uint32_t value) { return value == 0 ? u"" : ToDecimal(value); }

bool HasUnpairedQuote(std::u16string_view text) { return std::count(text.begin(), text.end(), u'"') % 2 != 0; }

bool NameBefore(const std::u16string& a, const std::u16string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return FoldCase(x) < FoldCase(y); });
}

class OptionsHandler final : public DialogHandler {
 public:
  OptionsHandler(Context& context, const std::u16string& fullPath, StarterKind kind)
      : context_(context), fullPath_(fullPath), kind_(kind) {}

  void OnOpen(DialogWindow& window) override {
    // A key that can't be read for this file is none: there is nothing to show or to forget.
    const std::optional<FileOptions> stored = ReadFileOptions(context_.platform.registry, fullPath_);
    const FileOptions options = stored.value_or(FileOptions{});
    FillStarters(window, options.starter);
    if (kind_ == StarterKind::J2se) {
      FillChoices(window, IDC_OPTIONS_RUNS, {u"As judged from the program", u"A console", u"A window"},
                  static_cast<std::uint32_t>(options.runs));
      FillChoices(window, IDC_OPTIONS_SCALING, {u"Automatic", u"The program's own", u"Scaled by Windows"},
                  static_cast<std::uint32_t>(options.scaling));
      SetField(window, IDC_OPTIONS_MEMORY, NumberText(options.memory));
      SetField(window, IDC_OPTIONS_JAVA_OPTIONS, options.javaOptions);
      EnableJavaFields(window);
    } else {
      SetField(window, IDC_OPTIONS_WIDTH, NumberText(options.width));
      SetField(window, IDC_OPTIONS_HEIGHT, NumberText(options.height));
    }
    SetField(window, IDC_OPTIONS_ARGUMENTS, options.arguments);
    window.Enable(IDB_OPTIONS_FORGET, stored.has_value());
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    switch (control) {
      case IDC_OPTIONS_STARTER:
        if (code == notify::kListSelectionChange && kind_ == StarterKind::J2se) EnableJavaFields(window);
        break;
      case IDB_OPTIONS_FORGET:
        if (code != notify::kButtonClicked) break;
        ForgetFileOptions(context_.platform.registry, fullPath_);
        window.End(kIdOk);
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
  static void SetField(DialogWindow& window, int field, const std::u16string& text) {
    window.LimitText(field, kMaxOptionText);
    window.SetText(field, text);
  }

  // The kind's own action first, then the kind's starters by name; a slot that holds no starter shows the first.
  void FillStarters(DialogWindow& window, std::uint32_t chosen) {
    const StarterCatalogue& catalogue = context_.Catalogue();
    std::vector<std::pair<std::u16string, std::uint32_t>> starters;
    for (auto slot = catalogue.NextStarter(kind_, 0); slot != 0; slot = catalogue.NextStarter(kind_, slot)) {
      starters.emplace_back(catalogue.GetStarter(kind_, slot).name, slot);
    }
    std::stable_sort(starters.begin(), starters.end(), [](const auto& a, const auto& b) {
      return NameBefore(a.first, b.first);
    });
    window.ClearItems(IDC_OPTIONS_STARTER);
    window.AddItem(IDC_OPTIONS_STARTER,
                   kind_ == StarterKind::J2se ? u"As every JAR file starts" : u"As every JAD file starts", 0);
    window.Select(IDC_OPTIONS_STARTER, 0);
    for (const auto& [name, slot] : starters) {
      const int index = window.AddItem(IDC_OPTIONS_STARTER, name, slot);
      if (slot == chosen) window.Select(IDC_OPTIONS_STARTER, index);
    }
  }

  // The items' data are their values, in order from 0.
  static void FillChoices(DialogWindow& window, int list, std::initializer_list<const char16_t*> texts,
                          std::uint32_t chosen) {
    window.ClearItems(list);
    for (const char16_t* text : texts) window.AddItem(list, text, static_cast<std::uintptr_t>(window.ItemCount(list)));
    window.Select(list, static_cast<int>(chosen));
  }

  static std::uint32_t Chosen(DialogWindow& window, int list) {
    const int selected = window.Selection(list);
    return selected < 0 ? 0 : static_cast<std::uint32_t>(window.ItemData(list, selected));
  }

  // The memory and the Java options are Java's own: a starter that is no Java runtime never sees them. The kind's
  // action counts as the starter it resolves to; one that names none leaves the choice to each start.
  void EnableJavaFields(DialogWindow& window) {
    const StarterCatalogue& catalogue = context_.Catalogue();
    std::uint32_t slot = Chosen(window, IDC_OPTIONS_STARTER);
    if (slot == 0) slot = catalogue.ResolveAction(kind_);
    const bool java = !catalogue.HoldsStarter(kind_, slot) ||
                      IsJavaRuntime(catalogue.GetStarter(kind_, slot).executableFile);
    window.Enable(IDC_OPTIONS_MEMORY, java);
    window.Enable(IDC_OPTIONS_JAVA_OPTIONS, java);
  }

  // Shows the error and leaves the dialog open on the field to mend.
  bool Refuse(DialogWindow& window, int field, const std::u16string& text) {
    ShowDialogError(context_.platform.ui, window.Id(), text);
    window.Focus(field);
    return false;
  }

  // Reads the fields of the file's kind; the others keep their defaults, so that a dialog left at its defaults
  // forgets the file.
  bool ReadFields(DialogWindow& window, FileOptions& options) {
    options.starter = Chosen(window, IDC_OPTIONS_STARTER);
    options.arguments = Trim(window.Text(IDC_OPTIONS_ARGUMENTS));
    if (kind_ == StarterKind::J2se) {
      options.runs = static_cast<RunsIn>(Chosen(window, IDC_OPTIONS_RUNS));
      options.scaling = static_cast<Scaling>(Chosen(window, IDC_OPTIONS_SCALING));
      const auto memory = NumberOrNone(Trim(window.Text(IDC_OPTIONS_MEMORY)), kMinMemory, kMaxMemory);
      if (!memory) {
        return Refuse(window, IDC_OPTIONS_MEMORY, u"The maximum memory is a number of megabytes from 16 to 1048576.");
      }
      options.memory = *memory;
      options.javaOptions = Trim(window.Text(IDC_OPTIONS_JAVA_OPTIONS));
    } else {
      const auto width = NumberOrNone(Trim(window.Text(IDC_OPTIONS_WIDTH)), kMinScreenSide, kMaxScreenSide);
      const auto height = NumberOrNone(Trim(window.Text(IDC_OPTIONS_HEIGHT)), kMinScreenSide, kMaxScreenSide);
      if (!width || !height || (*width == 0) != (*height == 0)) {
        return Refuse(window, width && *width != 0 ? IDC_OPTIONS_HEIGHT : IDC_OPTIONS_WIDTH,
                      u"The screen size is two numbers from 64 to 2048, or none.");
      }
      options.width = *width;
      options.height = *height;
    }
    // A lone quotation mark would take the rest of the command line into one argument.
    for (const auto& [field, text] : {std::pair{IDC_OPTIONS_JAVA_OPTIONS, &options.javaOptions},
                                      std::pair{IDC_OPTIONS_ARGUMENTS, &options.arguments}}) {
      if (HasUnpairedQuote(*text)) {
        return Refuse(window, field, u"The options hold a quotation mark without its pair.");
      }
    }
    return true;
  }

  void Accept(DialogWindow& window) {
    FileOptions options;
    if (!ReadFields(window, options)) return;
    if (WriteFileOptions(context_.platform.registry, fullPath_, options) == OptionsWrite::TooManyFiles) {
      ShowDialogError(context_.platform.ui, window.Id(), u"Start options are kept for at most 4096 files.");
      return;
    }
    window.End(kIdOk);
  }

  Context& context_;
  const std::u16string& fullPath_;
  StarterKind kind_;
};

}  // namespace

int RunStartOptionsDialog(Context& context, WindowId owner, const std::u16string& fullPath, StarterKind kind) {
  OptionsHandler handler(context, fullPath, kind);
  return context.platform.ui.RunModal(OptionsTemplate(FileName(fullPath), kind), handler, owner);
}

}  // namespace tc
