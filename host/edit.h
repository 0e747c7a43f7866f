// The chip settings dialog run as a host runs it.
#pragma once

#include <windows.h>

#include <vector>

#include "host/loader.h"

// EditHelper on the chip's memo text and saved data: the host hands over the
// payload apart from its length word and takes back whatever the record holds
// afterwards. After OK (1) the chip gets the new text and payload through
// Update and is repainted. *recordBlock (when given) gets the saved-data block
// as the record holds it afterwards, length word and payload, whatever the
// result. Returns EditHelper's result, -1 without the export.
int HostEditChip(const DxlApi* api, HostChip* chip, HWND owner, std::vector<unsigned char>* recordBlock = nullptr);

// The chip menu's host item for the dialog: 2 after OK (the view, and so the
// chip's size, may have changed), 0 otherwise.
int EditChipFromMenu(const DxlApi* api, HostChip* chip);
