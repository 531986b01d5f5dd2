// The user-interface port over user32, comctl32 and comdlg32: dialogs built in memory from their templates.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Ui.h"

namespace tc {

// The bytes of a DLGTEMPLATEEX for the template, ready for DialogBoxIndirectParamW.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& dialog);

class Win32Ui final : public Ui {
 public:
  // The instance holds the program icon (resource 128) that every dialog shows.
  explicit Win32Ui(void* instance) : instance_(instance) {}

  int RunModal(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) override;
  std::unique_ptr<Popup> ShowPopup(const DialogTemplate& dialog, DialogHandler& handler, WindowId owner) override;
  int ShowMessage(WindowId owner, const std::u16string& text, const std::u16string& caption, MessageIcon icon,
                  MessageButtons buttons) override;
  std::optional<std::u16string> OpenFile(const OpenFileRequest& request) override;
  WindowId ActiveWindow() override;

 private:
  void* instance_;
};

}  // namespace tc
