// The chips in use, so that what renews the TODAY data for one chip renews
// it for all, and a load that failed heals itself while no host asks.
#pragma once

#include <windows.h>

// A chip made and freed; a window the host hands a known chip.
void RememberChip(HGLOBAL chip, HWND chipWindow);
void ForgetChip(HGLOBAL chip);
void NoteChipWindow(HGLOBAL chip, HWND chipWindow);
// At unload: no chip, no timer.
void ForgetEveryChip();

// Computes the marks of every chip afresh, and of chip when it is not among
// them, and invalidates their windows: the host repaints them with no Update.
void RefreshEveryChip(HGLOBAL chip, HWND chipWindow);
// TODAY.CNF loaded again (readCnf), or the failed load tried again when due;
// then every chip refreshed.
void ReloadEveryChip(int readCnf, HGLOBAL chip, HWND chipWindow);
// The failed load tried again when due; every chip refreshed once it settles.
void RetryFailedLoad();
// While a load stands failed and there is a chip, a timer on the tip window,
// else on a chip's window, tries it again every 10 to 30 seconds; otherwise
// there is no timer. Called wherever a load ends or the chips change.
void KeepHealingTimer();
