// The chip's text colour and font, and its background colour, chosen in the
// system's dialogs.
#pragma once

#include <windows.h>

// Each returns true when the chip took a new choice (it is then updated and
// resized); the chip is found again by its window after the dialog.
bool ChooseChipFont(HWND chipWindow);
bool ChooseChipBackground(HWND chipWindow);
