// "Tessaly Corvalo" start failure dialog: a started program stopped at once; what it wrote, what that means, and
// the way forward. Also for one that ended at once without failing, which may be a program for the command line.
#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"
#include "ui/WarningTemplate.h"

namespace tc {

namespace {

// Wide enough for the lines Java writes; the output box holds at least eight of them.
constexpr int kWidth = 320;
constexpr int kOutputHeight = 76;

DialogTemplate StartFailureTemplate(const StartFailureReport& report) {
  using namespace style;
  const std::u16string text =
      report.endedWell
          ? Format(u"\"%s\" ended at once. It may be a program for the command line; this is what it wrote:",
                   {std::u16string_view(report.fileName)})
          : Format(u"\"%s\" stopped at once.\n\n%s",
                   {std::u16string_view(report.fileName), std::u16string_view(report.diagnosis)});
  std::vector<WarningAnswer> answers;
  if (report.openInConsole) {
    answers.push_back({kIdOk, u"Run Again in a Console"});
  } else if (report.startWith) {
    answers.push_back({kIdOk, Format(u"Start with \"%s\"", {std::u16string_view(StarterOnButton(*report.startWith))})});
  } else if (report.getJava) {
    answers.push_back({kIdOk, Format(u"Get Java %u", {*report.getJava})});
  }
  answers.push_back({IDB_COPY_DETAILS, u"Copy Details"});
  answers.push_back({kIdCancel, u"Close"});
  // Running the program again repeats what it did (a file it moved, converted or sent goes again): Enter never does.
  const bool actsOnEnter = answers.size() == 3 && !report.openInConsole;
  return WarningTemplate(
      {.width = kWidth,
       .textId = IDC_START_FAILURE_TEXT,
       .text = text,
       .below = ControlTemplate{IDC_START_FAILURE_OUTPUT, control::kEdit, u"", {0, 0, 0, kOutputHeight},
                                kEsMultiline | kEsAutoVScroll | kEsReadOnly | kVScroll | kGroup | kTabStop, kWsExClientEdge},
       .answers = std::move(answers),
       .defaultId = actsOnEnter ? kIdOk : kIdCancel});
}

class StartFailureHandler final : public DialogHandler {
 public:
  explicit StartFailureHandler(const StartFailureReport& report) : report_(report) {}

  void OnOpen(DialogWindow& window) override {
    window.UseFixedPitchFont(IDC_START_FAILURE_OUTPUT);
    window.SetText(IDC_START_FAILURE_OUTPUT, report_.output);
    window.MoveCaretToEnd(IDC_START_FAILURE_OUTPUT);
    window.Focus(report_.startWith || report_.getJava ? kIdOk : kIdCancel);
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == IDB_COPY_DETAILS) {
      window.CopyToClipboard(report_.details);
    } else if (control == kIdOk || control == kIdCancel) {
      window.End(control);
    }
  }

 private:
  const StartFailureReport& report_;
};

}  // namespace

int RunStartFailureDialog(Ui& ui, const StartFailureReport& report) {
  StartFailureHandler handler(report);
  return ui.RunModal(StartFailureTemplate(report), handler, kNoWindow);
}

}  // namespace tc
