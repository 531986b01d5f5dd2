// "Tessaly Corvalo" Java version dialog: the starter about to run has too old a Java for the JAR, or one without
// the JavaFX it uses.
#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/WarningTemplate.h"

namespace tc {

namespace {

// Wider than the size warning: the first button names a starter.
constexpr int kWidth = 232;

DialogTemplate JavaVersionTemplate(const JavaVersionWarning& warning) {
  const std::u16string text =
      warning.needsJavaFx
          ? Format(u"This program needs JavaFX.\nThe starter \"%s\" runs a Java without JavaFX.",
                   {std::u16string_view(warning.starterName)})
          : Format(u"This program needs Java %u or newer.\nThe starter \"%s\" runs Java %u.",
                   {warning.required, std::u16string_view(warning.starterName), warning.starterVersion});
  std::vector<WarningAnswer> answers{
      {kIdOk, warning.compatibleName ? Format(u"Start with \"%s\"", {std::u16string_view(StarterOnButton(
                                                                         *warning.compatibleName))})
                                     : u"Open Setup"}};
  if (warning.offeredJava) answers.push_back({IDB_GET_JAVA, Format(u"Get Java %u", {*warning.offeredJava})});
  answers.push_back({IDB_START_ANYWAY, u"Start anyway"});
  answers.push_back({kIdCancel, u"Cancel"});
  return WarningTemplate({.width = kWidth,
                          .textId = IDC_JAVA_VERSION_TEXT,
                          .text = text,
                          .answers = std::move(answers)});
}

class JavaVersionHandler final : public DialogHandler {
 public:
  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == kIdOk || control == IDB_START_ANYWAY || control == IDB_GET_JAVA || control == kIdCancel) {
      window.End(control);
    }
  }
};

}  // namespace

int RunJavaVersionDialog(Ui& ui, const JavaVersionWarning& warning) {
  JavaVersionHandler handler;
  return ui.RunModal(JavaVersionTemplate(warning), handler, kNoWindow);
}

}  // namespace tc
