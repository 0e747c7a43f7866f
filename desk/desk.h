// TarnivelDesk: the library's chips on the desktop, kept between runs. The
// program's state has one owner, the Desk; a chip is found again by its
// window after any menu, dialog or box, since it may be gone by then.
#pragma once

#include <windows.h>

#include <memory>
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

struct Desk {
  DxlApi api;
  HWND mainWindow;
  std::vector<std::unique_ptr<DeskChip>> chips;
  // Kept chips the library would not make at start: written back as they
  // were, so that a chip is never lost to a failure of one start.
  std::vector<DeskChipRecord> keptAside;
  // The kept file is written only once the start has taken it in, and never
  // when it was refused and could not be kept aside.
  bool started;
  bool refused;
  std::string lastKept;  // the file as read at start or last written
  // Menus, dialogs and boxes open: each runs a loop of its own, inside which
  // nothing frees a chip or writes the file; that waits for the main loop.
  int modalDepth;
  bool quitPending, savePending, showPending, displayPending;
  std::vector<HWND> deletePending;
};

extern Desk g_desk;

const char kChipClass[] = "TarnivelDeskChip";
const UINT WM_DESK_DELETECHIP = WM_APP + 1;  // wParam: the chip window, after the user agreed
const UINT WM_DESK_SHOWCHIPS = WM_APP + 2;   // a second start asks for the chips
const UINT WM_DESK_TRAY = WM_APP + 3;
const UINT WM_DESK_PENDING = WM_APP + 4;     // the last nested loop has ended

DeskChip* ChipOfWindow(HWND window);
// Whether what waits for the main loop must wait now.
bool DeskBusy();

// Counts a menu, dialog or box of the program while it is open.
class ModalScope {
 public:
  ModalScope();
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
};

// A message box of the program, counted as one of its nested loops.
int DeskMessageBox(HWND owner, const wchar_t* text, UINT type);
std::wstring WideFromAnsi(const std::string& s);

// A line in the file named by TARNIVELDESK_LOG, when it is set (tests read it).
void DeskLog(const char* format, ...);
