// The chip settings dialog (dialog 102), opened by the host through EditHelper.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

// The host's record for EditHelper. The dialog may replace both handles and
// change saveLength; the record holds the current values when it returns.
struct EditHelperParams {
  uint8_t hostOwned[8];  // not read or written
  HGLOBAL memoHandle;    // zero-terminated memo text; may be null
  uint32_t saveLength;   // bytes of the payload in saveHandle
  HGLOBAL saveHandle;    // saved-data payload; may be null
};
static_assert(offsetof(EditHelperParams, memoHandle) == 8, "EditHelperParams.memoHandle");
static_assert(offsetof(EditHelperParams, saveLength) == 12, "EditHelperParams.saveLength");
static_assert(offsetof(EditHelperParams, saveHandle) == 16, "EditHelperParams.saveHandle");
static_assert(sizeof(EditHelperParams) == 20, "EditHelperParams size");

INT_PTR CALLBACK ChipSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int InitChipSettingsDialog(HWND dialog, EditHelperParams* params);
int SaveChipSettingsDialog(HWND dialog);
// Selects the item holding the colour, or item 0; nonzero when it was found.
int SelectColorItem(HWND combo, COLORREF color);
// The colour lists' items, as high as the system's dialog text at the
// dialog's DPI.
void MeasureColorItem(HWND dialog, MEASUREITEMSTRUCT* item);
void DrawColorItem(const DRAWITEMSTRUCT* item);
