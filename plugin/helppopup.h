// A dialog control's help, shown by the library itself in a popup beside
// the control.
#pragma once

#include <windows.h>

// Shows the help string of the control (the string whose identifier is the
// control's) in a popup owned by the dialog; nothing for a control without
// one. A click, a key or the loss of activation closes it.
void ShowControlHelpPopup(HWND dialog, int controlId);
void CloseControlHelpPopup();
// The open popup, or null.
HWND ControlHelpPopup();
