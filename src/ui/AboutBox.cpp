// The About box: the product with its version, its maker, and a link to the web site.
#include "base/Text.h"
#include "ui/ControlIds.h"
#include "ui/Dialogs.h"
#include "ui/Styles.h"

namespace tc {

namespace {

DialogTemplate AboutTemplate() {
  using namespace style;
  return DialogTemplate{
      u"About",
      {0, 0, 173, 79},
      kModalDialog | kDsSetFont,
      0,
      u"MS Sans Serif",
      8,
      {
          {IDC_STATIC, control::kStatic, control::kProgramIconText, {14, 14, 20, 20}, kSsIcon},
          {IDC_STATIC, control::kButton, u"", {7, 3, 159, 51}, kBsGroupBox},
          {IDC_ABOUT_VERSION, control::kStatic, u"Tessaly Corvalo v%s", {47, 14, 110, 8}, kSsLeft | kSsNoPrefix},
          {IDC_STATIC, control::kStatic, u"Copyright (C) Tessaly", {47, 26, 110, 8}, kSsLeft | kSsNoPrefix},
          {IDL_WEB_SITE, control::kLink, TC_WEB_SITE, {47, 38, 110, 8}, kLinkStatic | kGroup},
          {kIdOk, control::kButton, u"OK", {62, 59, 50, 14}, kBsDefPushButton | kTabStop | kGroup},
      }};
}

class AboutHandler final : public DialogHandler {
 public:
  explicit AboutHandler(Shell& shell) : shell_(shell) {}

  void OnOpen(DialogWindow& window) override {
    window.SetText(IDC_ABOUT_VERSION, Format(window.Text(IDC_ABOUT_VERSION), {std::u16string_view(TC_VERSION_TEXT)}));
    // Enter closes the box, rather than opening the web site that comes first in the tab order.
    window.Focus(kIdOk);
  }

  void OnCommand(DialogWindow& window, int control, int code) override {
    if (control == IDL_WEB_SITE) {
      shell_.Open(TC_WEB_SITE);
    } else {
      DialogHandler::OnCommand(window, control, code);
    }
  }

 private:
  Shell& shell_;
};

}  // namespace

void RunAboutBox(Context& context, WindowId owner) {
  AboutHandler handler(context.platform.shell);
  context.platform.ui.RunModal(AboutTemplate(), handler, owner);
}

}  // namespace tc
