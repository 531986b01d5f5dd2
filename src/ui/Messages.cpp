// The message boxes of the program.
#include "ui/Messages.h"

namespace tc {

void ShowLaunchError(Ui& ui, const std::u16string& text) {
  ui.ShowMessage(kNoWindow, text, u"Tessaly Corvalo", MessageIcon::Error, MessageButtons::Ok);
}

void ShowLaunchWarning(Ui& ui, const std::u16string& text) {
  ui.ShowMessage(kNoWindow, text, u"Tessaly Corvalo", MessageIcon::Warning, MessageButtons::Ok);
}

void ShowDialogError(Ui& ui, WindowId owner, const std::u16string& text) {
  ui.ShowMessage(owner, text, u"Error", MessageIcon::Error, MessageButtons::Ok);
}

bool AskWarning(Ui& ui, WindowId owner, const std::u16string& text) {
  return ui.ShowMessage(owner, text, u"Warning", MessageIcon::Warning, MessageButtons::OkCancel) == kIdOk;
}

bool AskConfirmation(Ui& ui, WindowId owner, const std::u16string& text) {
  return ui.ShowMessage(owner, text, u"Confirmation", MessageIcon::Question, MessageButtons::YesNo) == kIdYes;
}

void ShowInformation(Ui& ui, WindowId owner, const std::u16string& text) {
  ui.ShowMessage(owner, text, u"Information", MessageIcon::Information, MessageButtons::Ok);
}

void ShowTooManyStarters(Ui& ui, WindowId owner) {
  ShowDialogError(ui, owner, u"No more than 256 starters of a kind can be stored.");
}

}  // namespace tc
