// "Tessaly Corvalo" Java version dialog: the starter about to run has too old a Java for the JAR.
#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/WarningTemplate.h"

namespace tc {

namespace {

// Wider than the size warning: the first button names a starter.
DialogTemplate JavaVersionTemplate() {
  return WarningTemplate(
      232, IDC_JAVA_VERSION_TEXT, u"This program needs Java %u or newer.\nThe starter \"%s\" runs Java %u.",
      {{{kIdOk, u"Start with \"%s\""}, {IDB_START_ANYWAY, u"Start anyway"}, {kIdCancel, u"Cancel"}}});
}

// A name of any length must not run out of its button; the start of a starter's name tells it apart best.
std::u16string Shortened(const std::u16string& name) {
  constexpr std::size_t kLongest = 32;
  if (name.size() <= kLongest) return name;
  std::size_t keep = kLongest - 1;
  if (name[keep] >= 0xDC00 && name[keep] <= 0xDFFF) --keep;  // not between the halves of a surrogate pair
  return name.substr(0, keep) + u"\u2026";
}

class JavaVersionHandler final : public DialogHandler {
 public:
  explicit JavaVersionHandler(const JavaVersionWarning& warning) : warning_(warning) {}

  void OnOpen(DialogWindow& window) override {
    window.SetText(
        IDC_JAVA_VERSION_TEXT,
        Format(window.Text(IDC_JAVA_VERSION_TEXT),
               {warning_.required, std::u16string_view(Shortened(warning_.starterName)), warning_.starterVersion}));
    window.SetText(kIdOk, warning_.compatibleName
                              ? Format(window.Text(kIdOk), {std::u16string_view(Shortened(*warning_.compatibleName))})
                              : u"Open Setup");
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == kIdOk || control == IDB_START_ANYWAY || control == kIdCancel) window.End(control);
  }

 private:
  const JavaVersionWarning& warning_;
};

}  // namespace

int RunJavaVersionDialog(Ui& ui, const JavaVersionWarning& warning) {
  JavaVersionHandler handler(warning);
  return ui.RunModal(JavaVersionTemplate(), handler, kNoWindow);
}

}  // namespace tc
