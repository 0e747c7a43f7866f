#include "plugin/helppopup.h"

#include <string.h>

#include "month/gdiguard.h"
#include "plugin/globals.h"
#include "plugin/help.h"
#include "plugin/screendpi_win.h"
#include "resources/resource.h"
#include "tips/tips.h"

namespace {

const char kPopupClass[] = "TarDxlHelpPopup";
const UINT kTextFlags = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
const int kMargin = 6;
const int kMaxTextWidth = 300;  // at 96 dots per inch

HWND popup = nullptr;
char popupText[512];
// Held here, as the tip's is, not in the window, where a store that fails
// would lose it.
HFONT popupFont = nullptr;
// What the popup's font and margins are made for.
ScreenDpi popupDpi = {0, 0};

// Closes the open popup; a window already being destroyed is left alone.
// It is forgotten first: destroying the active popup deactivates it, which
// comes back here, and destroying it again there left it without its
// WM_NCDESTROY and its font.
void Dismiss(HWND window) {
  if (!window || window != popup) return;
  popup = nullptr;
  DestroyWindow(window);
}

void TextRect(HWND window, RECT* rect) {
  GetClientRect(window, rect);
  const int margin = ScaleToDpi(kMargin, popupDpi);
  InflateRect(rect, -margin, -margin);
}

void PaintPopup(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT rect;
  TextRect(window, &rect);
  {
    GdiSelection font(dc, popupFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextA(dc, popupText, -1, &rect, kTextFlags);
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK HelpPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintPopup(window);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(popupFont);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        Dismiss(window);
        return 0;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      Dismiss(window);
      return 0;
    case WM_DESTROY:
      // Closed by the user, by HELP_QUIT, or destroyed with its dialog.
      if (window == popup) popup = nullptr;
      break;
    case WM_NCDESTROY:
      if (popupFont) DeleteObject(popupFont);
      popupFont = nullptr;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}


// The popup of the dialog, made when there is none or when it was made for
// another DPI (the dialog moved to another monitor).
HWND PopupFor(HWND dialog, const ScreenDpi& dpi) {
  if (popup && GetWindow(popup, GW_OWNER) == dialog && SameDpi(popupDpi, dpi)) return popup;
  CloseControlHelpPopup();
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.style = CS_SAVEBITS | CS_DROPSHADOW;
  wc.lpfnWndProc = HelpPopupProc;
  wc.hInstance = g_hInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
  wc.lpszClassName = kPopupClass;
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kPopupClass, "", WS_POPUP | WS_BORDER, 0, 0, 0, 0, dialog, nullptr,
                                g_hInstance, nullptr);
  if (!window) {
    UnregisterClassA(kPopupClass, g_hInstance);
    return nullptr;
  }
  popupFont = CreateTipFontFor(dpi);
  popup = window;
  popupDpi = dpi;
  return window;
}

}  // namespace

HWND ControlHelpPopup() { return popup; }

void CloseControlHelpPopup() {
  Dismiss(popup);
  // The class holds this module's procedure; it goes with the last popup.
  UnregisterClassA(kPopupClass, g_hInstance);
}

// An open popup of the same dialog takes the new text: closing an active
// window and opening another costs more than moving it.
void ShowControlHelpPopup(HWND dialog, int controlId) {
  char wanted[sizeof popupText];
  // Only the chip settings dialog has a year field.
  const int stringId = ControlHelpStringId(controlId, GetDlgItem(dialog, IDC_CHIP_YEAR) != nullptr);
  if (controlId <= 0 || controlId > 0xFFFF || LoadStringA(g_hInstance, (UINT)stringId, wanted, sizeof wanted) <= 0) {
    CloseControlHelpPopup();
    return;
  }
  RECT control;
  HWND item = GetDlgItem(dialog, controlId);
  if (!item || !GetWindowRect(item, &control)) {
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    SetRect(&control, cursor.x, cursor.y, cursor.x, cursor.y);
  }
  const POINT middle = {(control.left + control.right) / 2, (control.top + control.bottom) / 2};
  const ScreenDpi dpi = ScreenDpiAt(dialog, middle);

  HWND window = PopupFor(dialog, dpi);
  if (!window) return;
  memcpy(popupText, wanted, sizeof popupText);
  SetWindowTextA(window, popupText);
  RECT text = {0, 0, 0, 0};
  {
    WindowDC dc(window);
    if (dc.get()) {
      text.right = RescaleForDpi(kMaxTextWidth, kDefaultDpi, dpi.fontDpi);
      GdiSelection font(dc.get(), popupFont);
      DrawTextA(dc.get(), popupText, -1, &text, kTextFlags | DT_CALCRECT);
    }
  }
  const int margin = ScaleToDpi(kMargin, dpi);
  RECT frame = {0, 0, text.right + 2 * margin, text.bottom + 2 * margin};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;

  RECT area;
  if (!WorkAreaAt(middle, &area)) SetRect(&area, 0, 0, 640, 480);
  const HelpRect c = {control.left, control.top, control.right, control.bottom};
  const HelpRect a = {area.left, area.top, area.right, area.bottom};
  int x, y;
  PlaceHelpPopup(&c, &a, width, height, dpi, &x, &y);
  // Shown active, so that a key reaches it and a click elsewhere deactivates it.
  SetWindowPos(window, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW);
  InvalidateRect(window, nullptr, TRUE);
  SetActiveWindow(window);
  SetFocus(window);
}
