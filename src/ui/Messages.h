// The message boxes of the program, with the captions, icons and buttons each kind of message has.
#pragma once

#include <string>

#include "platform/Ui.h"

namespace tc {

// Errors of the launch path: caption "Tessaly Corvalo", no owner.
void ShowLaunchError(Ui& ui, const std::u16string& text);
// Warnings of the launch path, which end it without an error: caption "Tessaly Corvalo", no owner.
void ShowLaunchWarning(Ui& ui, const std::u16string& text);
// Errors inside dialogs: caption "Error".
void ShowDialogError(Ui& ui, WindowId owner, const std::u16string& text);
// "Warning" with OK and Cancel; true for OK.
bool AskWarning(Ui& ui, WindowId owner, const std::u16string& text);
// "Confirmation" with Yes and No; true for Yes.
bool AskConfirmation(Ui& ui, WindowId owner, const std::u16string& text);
void ShowInformation(Ui& ui, WindowId owner, const std::u16string& text);
// A kind holds at most 256 starters: more could be saved but never loaded again.
void ShowTooManyStarters(Ui& ui, WindowId owner);

}  // namespace tc
