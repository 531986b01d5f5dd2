// "Security Warning": a desktop JAR that came from the internet is about to run; the user runs it or not, and says
// whether to be asked again.
#include <algorithm>
#include <string_view>

#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"

namespace tc {

namespace {

constexpr int kValueWidth = 183;  // dialog units
constexpr int kLineHeight = 8;
constexpr int kMostValueLines = 12;

// The lines a name or a host takes in its column, counted for the widest letters of the dialog's font ("W" and East
// Asian ones take about 7.5 dialog units): the end of a host, where a look-alike differs from the site it imitates,
// and the end of a name must never be cut off.
int LinesOf(std::u16string_view text) {
  constexpr int kWidestLetter = 8;
  const std::size_t lines = (text.size() * kWidestLetter + kValueWidth - 1) / kValueWidth;
  return static_cast<int>(std::clamp<std::size_t>(lines, 1, kMostValueLines));
}

DialogTemplate SecurityWarningTemplate(const SecurityWarning& warning) {
  using namespace style;
  const std::u16string from = warning.from.empty() ? u"Unknown" : warning.from;
  const int nameHeight = LinesOf(warning.fileName) * kLineHeight, fromHeight = LinesOf(from) * kLineHeight;
  const int fromY = 48 + nameHeight + 4, boxY = fromY + fromHeight + 8, buttonY = boxY + 18;
  return DialogTemplate{
      u"Security Warning",
      {0, 0, 260, buttonY + 14 + 7},
      kModalDialog | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_SECURITY_ICON, control::kStatic, control::kWarningIconText, {10, 10, 21, 20}, kSsIcon},
          {IDC_SECURITY_TEXT, control::kStatic,
           u"This program came from the internet. Run it only if you trust where it came from: a Java program can "
           u"do anything you can do on this computer.",
           {40, 10, 213, 32}, kSsLeft | kSsNoPrefix},
          {IDC_STATIC, control::kStatic, u"Name:", {40, 48, 28, 8}, kSsLeft},
          {IDC_SECURITY_NAME, control::kStatic, warning.fileName, {70, 48, kValueWidth, nameHeight},
           kSsLeft | kSsNoPrefix | kSsEditControl},
          {IDC_STATIC, control::kStatic, u"From:", {40, fromY, 28, 8}, kSsLeft},
          {IDC_SECURITY_FROM, control::kStatic, from, {70, fromY, kValueWidth, fromHeight},
           kSsLeft | kSsNoPrefix | kSsEditControl},
          {IDC_ALWAYS_ASK, control::kButton, u"&Always ask before opening this file", {40, boxY, 213, 10},
           kBsAutoCheckBox | kTabStop | kGroup},
          {IDB_RUN, control::kButton, u"&Run", {149, buttonY, 50, 14}, kBsPushButton | kTabStop | kGroup},
          {kIdCancel, control::kButton, u"&Don't Run", {203, buttonY, 50, 14}, kBsDefPushButton | kTabStop},
      }};
}

class SecurityWarningHandler final : public DialogHandler {
 public:
  explicit SecurityWarningHandler(SecurityWarningAnswer& answer) : answer_(answer) {}

  void OnOpen(DialogWindow& window) override {
    window.CheckButton(IDC_ALWAYS_ASK, true);
    // Enter, or the space bar on the focused button, must not run the program by itself.
    window.Focus(kIdCancel);
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == IDB_RUN) {
      answer_ = {true, window.IsButtonChecked(IDC_ALWAYS_ASK)};
      window.End(IDB_RUN);
    } else if (control == kIdCancel) {
      window.End(kIdCancel);
    }
  }

 private:
  SecurityWarningAnswer& answer_;
};

}  // namespace

SecurityWarningAnswer RunSecurityWarningDialog(Ui& ui, const SecurityWarning& warning) {
  SecurityWarningAnswer answer;
  SecurityWarningHandler handler(answer);
  ui.RunModal(SecurityWarningTemplate(warning), handler, kNoWindow);
  return answer;
}

}  // namespace tc
