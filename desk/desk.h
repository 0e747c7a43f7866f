// TarnivelDesk: the library's chips on the desktop, kept between runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "desk/deskfile.h"
#include "host/loader.h"

struct DeskChip {
  HostChip host;     // window, chip handle, memo, saved data, colours, font at the chip's DPI
  int fontHeight96;  // the font height as kept
  bool topmost;
  bool pressed, dragging;
  POINT pressAt;     // screen point of the press
  RECT pressRect;    // window rectangle at the press
};

extern DxlApi g_api;
extern std::vector<DeskChip*> g_chips;
// Kept chips the library would not make at start: written back as they were,
// so that a chip is never lost to a failure of one start.
extern std::vector<DeskChipRecord> g_chipsKeptAside;
extern HWND g_mainWindow;

const UINT WM_DESK_DELETECHIP = WM_APP + 1;  // wParam: the chip window, after the user agreed
const UINT WM_DESK_SHOWCHIPS = WM_APP + 2;   // a second start asks for the chips
const UINT WM_DESK_TRAY = WM_APP + 3;

// chips_win.cpp
bool RegisterChipClass();
// A chip window shown at the record's place; null when the library refused it.
DeskChip* CreateDeskChip(const DeskChipRecord& record);
// A chip of this month at a free place in the primary work area; null also
// when the file holds no more chips.
DeskChip* NewDeskChip();
void DeleteDeskChip(DeskChip* chip);
// A chip on no monitor (its monitor is gone) comes into the nearest work area.
void KeepChipOnAMonitor(DeskChip* chip);
void DestroyAllChips();
// Update for every chip (the day may have changed), then repaint.
void UpdateAllChips(const char* why);
void ShowAllChips();
// The chip as the file keeps it (its saved data asked from the library first).
DeskChipRecord RecordOfChip(DeskChip* chip);
// The items of the notification-area icon's menu, run for the first chip.
void TrackTrayMenu(HWND owner, POINT at);

// store_win.cpp
std::string DeskFolder();  // %APPDATA%\Tarnivel\ (made when missing)
std::string DeskFilePath();
// Writes every chip, whole, to a temporary file moved over the kept one.
bool SaveDesk();
// Reads the kept chips. A missing file gives none; a damaged one is moved
// aside to .bad, the user told, and gives none. False only when a damaged
// file could not be kept aside: it must then not be written over.
bool LoadDesk(std::vector<DeskChipRecord>* records);

// desk_win.cpp
void QuitDesk();
bool StartsWithWindows();
bool SetStartWithWindows(bool on);
// A line in the file named by TARNIVELDESK_LOG, when it is set (tests read it).
void DeskLog(const char* format, ...);
