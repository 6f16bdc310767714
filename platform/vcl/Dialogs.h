#pragma once
// Message dialogs: real modal forms with a message label and named buttons, so
// that the screen shows them like any window and tests answer them by clicking a
// button (see the scripted answerer of the test support library).
//
// The dialog form is named "MessageDlg"; its label "Message" holds the text; its
// buttons are named after their kind ("Yes", "No", "OK", "Cancel", "Abort",
// "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help") and carry the modal
// results 6, 7, 1, 2, 3, 4, 5, 8, 9, 10 (Help none). The first of OK and Yes is the
// default button; Cancel, else No, else OK answers Escape.
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = std::vector<TMsgDlgBtn>;

// The caption of a dialog type: "Warning", "Error", "Information", "Confirm";
// a custom dialog carries the application title.
std::string MsgDlgCaption(TMsgDlgType type);
// The name of a button kind ("Yes", "NoToAll", ...) and its modal result.
const char* MsgDlgButtonName(TMsgDlgBtn button);
int MsgDlgButtonResult(TMsgDlgBtn button);

// Creates the dialog form (owned by the application; free it after use). Callers
// may change its caption and font before ShowModal.
TForm* CreateMessageDialog(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons);
// Shows a message dialog modally and returns the chosen button's modal result.
int MessageDlg(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int helpContext = 0);
// An information box with an OK button, captioned with the application title.
void ShowMessage(const std::string& text);
