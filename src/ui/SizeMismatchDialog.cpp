// "Tessaly Corvalo" size-mismatch dialog: the descriptor declares another archive size than the archive has.
#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/WarningTemplate.h"

namespace tc {

namespace {

DialogTemplate SizeMismatchTemplate() {
  return WarningTemplate({.width = 172,
                          .textId = IDC_SIZE_MISMATCH_TEXT,
                          .text = u"The size of the JAR file differs from that in the JAD file.\n"
                                  u"The JAR file size is %u bytes.\n"
                                  u"The \"MIDlet-Jar-Size\" attribute is %u bytes in the JAD file.",
                          .textHeight = 42,  // a format, sized for the numbers it is filled with
                          .answers = {{kIdOk, u"Correct this JAD file"},
                                      {IDB_TEMPORARY_JAD, u"Create a temporary JAD file"},
                                      {kIdCancel, u"Cancel"}}});
}

class SizeMismatchHandler final : public DialogHandler {
 public:
  SizeMismatchHandler(std::uint32_t realSize, std::uint32_t declaredSize)
      : realSize_(realSize), declaredSize_(declaredSize) {}

  void OnOpen(DialogWindow& window) override {
    // The template's text is the format, so that its wording lives in one place.
    window.SetText(IDC_SIZE_MISMATCH_TEXT, Format(window.Text(IDC_SIZE_MISMATCH_TEXT), {realSize_, declaredSize_}));
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == kIdOk || control == IDB_TEMPORARY_JAD || control == kIdCancel) window.End(control);
  }

 private:
  std::uint32_t realSize_;
  std::uint32_t declaredSize_;
};

}  // namespace

int RunSizeMismatchDialog(Ui& ui, std::uint32_t realSize, std::uint32_t declaredSize) {
  SizeMismatchHandler handler(realSize, declaredSize);
  return ui.RunModal(SizeMismatchTemplate(), handler, kNoWindow);
}

}  // namespace tc
