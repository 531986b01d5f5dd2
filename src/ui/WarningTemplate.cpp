// The layout of the program's warnings before a launch.
#include "ui/WarningTemplate.h"

#include "ui/ControlIds.h"
#include "ui/Styles.h"

namespace tc {

DialogTemplate WarningTemplate(int width, int textId, std::u16string text, std::array<WarningAnswer, 3> answers) {
  using namespace style;
  const int inner = width - 14;
  DialogTemplate dialog{
      u"Tessaly Corvalo",
      {0, 0, width, 123},
      kPopup | kCaption | kSysMenu | kDsModalFrame | kDsShellFont,
      0,
      u"MS Shell Dlg",
      8,
      {
          {IDC_STATIC, control::kButton, u"Warning", {7, 3, inner, 58}, kBsGroupBox | kBsCenter},
          {textId, control::kStatic, std::move(text), {14, 12, inner - 15, 42}, kSsLeft | kSsNoPrefix},
      }};
  for (int i = 0; i < 3; ++i) {
    const std::uint32_t kind = i == 0 ? kBsDefPushButton | kGroup : kBsPushButton;
    dialog.controls.push_back(
        {answers[i].id, control::kButton, std::move(answers[i].text), {7, 66 + 18 * i, inner, 14}, kind | kTabStop});
  }
  return dialog;
}

}  // namespace tc
