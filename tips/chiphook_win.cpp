// The hook on chip windows: mouse moves over a day show its tip.
#include "month/chipview.h"
#include "plugin/chipstate.h"
#include "plugin/globals.h"
#include "plugin/markcache.h"
#include "tips/tips.h"

namespace {

// The procedure the first hooking in the process replaced.
WNDPROC savedChipProc = nullptr;
bool chipMoved = false;
bool tipBusy = false;

// Each hooked window keeps the procedure it had before, so that windows of
// different procedures are chained and restored each to its own.
const char kOwnProcProperty[] = "TarDxlChipProc";

WNDPROC OwnProc(HWND window) { return reinterpret_cast<WNDPROC>(GetPropA(window, kOwnProcProperty)); }

WNDPROC CurrentProc(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }

bool TipVisible() { return tipWindow && IsWindowVisible(tipWindow); }

// A window whose hook could not be taken out still calls ChipWindowProc: it
// is marked, the hook is taken out at one of its later messages, and until
// then the library holds a reference on itself so that an unload cannot
// leave the window calling into nothing.
const char kUnhookProperty[] = "TarDxlUnhook";
int pendingUnhooks = 0;
bool holdingLibrary = false;

void KeepLibraryFor(HWND window) {
  if (GetPropA(window, kUnhookProperty)) return;
  const DWORD fromAddress = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
  const LPCSTR self = reinterpret_cast<LPCSTR>(&ChipWindowProc);
  HMODULE module;
  if (!SetPropA(window, kUnhookProperty, reinterpret_cast<HANDLE>(1))) {
    // Not even marked: the library stays for the rest of the process.
    GetModuleHandleExA(fromAddress | GET_MODULE_HANDLE_EX_FLAG_PIN, self, &module);
    return;
  }
  ++pendingUnhooks;
  if (holdingLibrary) return;
  holdingLibrary = GetModuleHandleExA(fromAddress, self, &module) != 0;
  if (!holdingLibrary) GetModuleHandleExA(fromAddress | GET_MODULE_HANDLE_EX_FLAG_PIN, self, &module);
}

void LetGo(HWND window) {
  if (RemovePropA(window, kUnhookProperty)) --pendingUnhooks;
}

// Called from an export, while the host holds the library: never its last reference.
void ReleaseLibraryWhenFree() {
  if (!holdingLibrary || pendingUnhooks > 0) return;
  holdingLibrary = false;
  FreeLibrary(g_hInstance);
}

// Puts the window's own procedure back; 0 when the hook stays in its chain.
int TakeOutHook(HWND chipWindow) {
  WNDPROC own = OwnProc(chipWindow);
  if (!own) {
    // Not hooked here, unless its own procedure could not be kept.
    if (!savedChipProc || CurrentProc(chipWindow) != ChipWindowProc) return 1;
    return SetWindowLongPtrA(chipWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedChipProc)) != 0;
  }
  // Subclassed again after the hook: taking the hook out would cut off that
  // procedure, so the hook stays in its chain.
  if (CurrentProc(chipWindow) != ChipWindowProc) return 0;
  if (!SetWindowLongPtrA(chipWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own))) return 0;
  RemovePropA(chipWindow, kOwnProcProperty);
  return 1;
}

LRESULT PassOn(WNDPROC next, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!next) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(next, window, message, wParam, lParam);
}

}  // namespace

int HookChipWindow(HWND chipWindow) {
  // A window whose hook is still in place serves a chip again.
  LetGo(chipWindow);
  // Hooked already: hooking again would chain the window to itself.
  if (OwnProc(chipWindow)) return 1;
  if (!IsWindow(chipWindow) || CurrentProc(chipWindow) == ChipWindowProc) return 0;
  WNDPROC previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(chipWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChipWindowProc)));
  if (!previous) return 0;
  if (!savedChipProc) savedChipProc = previous;
  SetPropA(chipWindow, kOwnProcProperty, reinterpret_cast<HANDLE>(previous));
  return 1;
}

int UnhookChipWindow(HWND chipWindow) {
  int done = TakeOutHook(chipWindow);
  if (done)
    LetGo(chipWindow);
  else
    KeepLibraryFor(chipWindow);
  ReleaseLibraryWhenFree();
  return done;
}

LRESULT CALLBACK ChipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (pendingUnhooks > 0 && GetPropA(window, kUnhookProperty)) {
    // Its chip is gone: no tips, only another try to take the hook out.
    WNDPROC next = OwnProc(window);
    if (!next) next = savedChipProc;
    if (message == WM_NCDESTROY) {
      RemovePropA(window, kOwnProcProperty);
      LetGo(window);
    } else if (TakeOutHook(window)) {
      LetGo(window);
    }
    return PassOn(next, window, message, wParam, lParam);
  }
  switch (message) {
    case WM_MOVE:
      chipMoved = true;
      break;
    case WM_ACTIVATE:
      if (TipVisible()) ShowWindow(tipWindow, SW_HIDE);
      break;
    case WM_MOUSEMOVE:
      // Buttons, Shift or Ctrl held: the tip stays as it is.
      if (wParam != 0) break;
      if (UpdateTip(window)) {
        if (IsWindowVisible(tipWindow))
          InvalidateRect(tipWindow, nullptr, TRUE);
        else
          ShowWindow(tipWindow, SW_SHOWNA);
      } else if (TipVisible()) {
        ShowWindow(tipWindow, SW_HIDE);
      }
      break;
  }
  WNDPROC next = OwnProc(window);
  if (!next) next = savedChipProc;
  if (message == WM_NCDESTROY) RemovePropA(window, kOwnProcProperty);
  return PassOn(next, window, message, wParam, lParam);
}

int UpdateTip(HWND chipWindow) {
  if (tipBusy) return 0;
  POINT cursor;
  if (!GetCursorPos(&cursor)) return 0;
  if (!tipWindow) return 0;
  if (!IsWindowVisible(tipWindow) && !IsChipUncovered(chipWindow)) return 0;
  HWND tag = GetDlgItem(chipWindow, kTagWindowId);
  if (!tag) return 0;
  tipBusy = true;
  int result = 0;
  HGLOBAL chip = nullptr;
  if (ReadTagWindow(tag, &chip)) {
    ChipLock state(chip);
    if (state) {
      CatchUpMarks(chipWindow, state.get());
      ScreenToClient(chipWindow, &cursor);
      uint16_t year, month, day;
      if (HitTestDate(chipWindow, state.get(), cursor, &year, &month, &day)) {
        // The text is kept only for the chip it was placed at: the same date
        // on another chip is built and placed there.
        bool same = chipWindow == lastTipChip && year == lastTipDate.year && month == lastTipDate.month &&
                    day == lastTipDate.day;
        if (same && chipMoved && !TipFitsAt(chipWindow, cursor)) {
          // Moved to a monitor of another DPI: measured and placed afresh.
          same = false;
          chipMoved = false;
        }
        if (same) {
          if (chipMoved) {
            PlaceTipWindow(chipWindow, 0, 0, cursor);
            chipMoved = false;
          }
          result = 1;
        } else {
          int k = month == state->month ? 0 : 1;
          result = BuildTipText(chipWindow, year, month, day, state->holidayMask[k], state->scheduleMask[k],
                                cursor);
        }
      }
    }
  }
  tipBusy = false;
  return result;
}

int IsChipUncovered(HWND chipWindow) {
  RECT chip;
  if (!GetWindowRect(chipWindow, &chip)) return 0;
  for (HWND above = GetWindow(chipWindow, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    RECT rect, overlap;
    if (IsWindowVisible(above) && GetWindowRect(above, &rect) && IntersectRect(&overlap, &rect, &chip)) return 0;
  }
  return 1;
}
