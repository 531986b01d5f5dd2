// The layout of the program's warnings around a launch.
#include "ui/WarningTemplate.h"

#include <algorithm>
#include <string_view>

#include "ui/ControlIds.h"
#include "ui/Styles.h"

namespace tc {

namespace {

constexpr int kMargin = 7;
constexpr int kLineHeight = 8;  // dialog units: the height of a line of the dialog's font
constexpr int kLeastTextHeight = 42;
// Dialog units: the height of the work area of a 1366 x 768 screen at 125 % less the dialog's frame, the smallest
// a warning is laid out for. A text taller than the room left scrolls.
constexpr int kMostDialogHeight = 330;

// East Asian letters take about twice the width of a Latin one.
bool IsWide(char16_t c) { return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                                 (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                                 (c >= 0xFF00 && c <= 0xFF60); }

// The height a text needs to show whole in a warning of this width: texts that name files and starters wrap
// over as many lines as they take.
int TextHeight(std::u16string_view text, int width) {
  // An average letter is 4 dialog units wide; lines wrap at word ends and some letters are wider, so a line is
  // counted as holding a quarter less.
  const int perLine = std::max(1, (width - 2 * kMargin - 15) * 3 / 16);
  int lines = 0;
  int units = 0;
  const auto endLine = [&] {
    lines += std::max(1, (units + perLine - 1) / perLine);
    units = 0;
  };
  for (const char16_t c : text) {
    if (c == u'\n') {
      endLine();
    } else {
      units += IsWide(c) ? 2 : 1;
    }
  }
  endLine();
  return std::max(kLeastTextHeight, lines * kLineHeight + 2);
}

}  // namespace

DialogTemplate WarningTemplate(Warning warning) {
  using namespace style;
  const int inner = warning.width - 2 * kMargin;
  const int textWidth = inner - 15;
  const int answers = static_cast<int>(warning.answers.size());
  const int around = 3 + 16 + (warning.below ? warning.below->rect.height + 4 : 0) + 5 + 18 * answers + 3;
  if (warning.textHeight == 0) warning.textHeight = TextHeight(warning.text, warning.width);
  const bool scrolls = warning.textHeight > kMostDialogHeight - around;
  if (scrolls) warning.textHeight = std::max(kLineHeight, kMostDialogHeight - around);
  int groupHeight = warning.textHeight + 16;
  if (warning.below) groupHeight += warning.below->rect.height + 4;
  const int firstAnswer = 3 + groupHeight + 5;
  DialogTemplate dialog{u"Tessaly Corvalo",
                        {0, 0, warning.width, firstAnswer + 18 * answers + 3},
                        kModalDialog | kDsShellFont,
                        0,
                        u"MS Shell Dlg",
                        8,
                        {
                            {IDC_STATIC, control::kButton, u"Warning", {kMargin, 3, inner, groupHeight},
                             kBsGroupBox | kBsCenter},
                        }};
  // A read-only edit without a border reads as the text does, and scrolls; out of the tab order, so that the
  // dialog still opens on its answers.
  if (scrolls) {
    std::u16string text;
    for (const char16_t c : warning.text) text += c == u'\n' ? u"\r\n" : std::u16string(1, c);
    dialog.controls.push_back({warning.textId, control::kEdit, std::move(text), {14, 12, textWidth, warning.textHeight},
                               kEsMultiline | kEsReadOnly | kVScroll});
  } else {
    dialog.controls.push_back({warning.textId, control::kStatic, std::move(warning.text),
                               {14, 12, textWidth, warning.textHeight}, kSsLeft | kSsNoPrefix});
  }
  if (warning.below) {
    warning.below->rect = {14, 12 + warning.textHeight + 4, textWidth, warning.below->rect.height};
    dialog.controls.push_back(std::move(*warning.below));
  }
  const int defaultId = warning.defaultId != 0 ? warning.defaultId : warning.answers.front().id;
  for (int i = 0; i < answers; ++i) {
    WarningAnswer& answer = warning.answers[i];
    std::uint32_t kind = answer.id == defaultId ? kBsDefPushButton : kBsPushButton;
    if (i == 0) kind |= kGroup;
    dialog.controls.push_back(
        {answer.id, control::kButton, std::move(answer.text), {kMargin, firstAnswer + 18 * i, inner, 14},
         kind | kTabStop});
  }
  return dialog;
}

std::u16string StarterOnButton(const std::u16string& name) {
  // A name of any length must not run out of its button; its start tells it apart best.
  constexpr std::size_t kLongest = 32;
  std::u16string shown = name;
  if (shown.size() > kLongest) {
    std::size_t keep = kLongest - 1;
    if (shown[keep] >= 0xDC00 && shown[keep] <= 0xDFFF) --keep;  // not between the halves of a surrogate pair
    shown = shown.substr(0, keep) + u"\u2026";
  }
  // A button takes "&" for the mark of its access key; "&&" shows one.
  std::u16string escaped;
  for (const char16_t c : shown) {
    escaped += c;
    if (c == u'&') escaped += u'&';
  }
  return escaped;
}

}  // namespace tc
