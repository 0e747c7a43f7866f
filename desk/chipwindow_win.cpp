// Chip windows on the desktop: painting, clicks, dragging, the chip menu.
#include "desk/chipwindow.h"

#include <windows.h>

#include "desk/deskchips.h"
#include "desk/deskgeometry.h"
#include "desk/deskmenu.h"
#include "desk/deskstore.h"

namespace {

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// Where the cursor was on the screen when the message was sent: the window
// may have moved since.
POINT MessagePoint() {
  DWORD at = GetMessagePos();
  POINT p = {(short)LOWORD(at), (short)HIWORD(at)};
  return p;
}

// A new DPI: the font for it, and the size the library proposes, centred on
// the rectangle the system suggests so that the chip stays on that monitor.
void TakeDpi(DeskChip* c, UINT dpi, const RECT* suggested) {
  HWND window = c->host.window;
  ScaleChipFont(c, dpi);
  HostUpdate(&g_desk.api, &c->host);
  DeskRect s = {suggested->left, suggested->top, suggested->right, suggested->bottom}, placed = s;
  SIZE size = {0, 0};
  if (g_desk.api.CalcDefaultRect(c->host.chip, window, &size) && size.cx > 0 && size.cy > 0)
    placed = CentredOn(s, size.cx, size.cy);
  SetWindowPos(window, nullptr, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK ChipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DeskChip* c = ChipOfWindow(window);
  if (!c || !c->host.chip) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      g_desk.api.DrawChip(c->host.chip, window, dc);
      EndPaint(window, &ps);
      DeskLog("painted");
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // DrawChip fills the background
    case WM_LBUTTONDOWN:
      c->pressed = true;
      c->dragging = false;
      c->pressAt = MessagePoint();
      GetWindowRect(window, &c->pressRect);
      SetCapture(window);
      return 0;
    case WM_MOUSEMOVE: {
      if (!c->pressed) break;
      if (!(wParam & MK_LBUTTON)) {
        // Let go where the chip could not see it.
        bool dragged = c->dragging;
        c->pressed = c->dragging = false;
        if (dragged) SaveDesk();
        return 0;
      }
      POINT p = MessagePoint();
      if (GetCapture() != window) SetCapture(window);
      int dx = p.x - c->pressAt.x, dy = p.y - c->pressAt.y;
      if (!c->dragging && PastDragDistance(dx, dy, GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG)))
        c->dragging = true;
      if (c->dragging)
        SetWindowPos(window, nullptr, c->pressRect.left + dx, c->pressRect.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_LBUTTONUP: {
      if (!c->pressed) return 0;
      bool dragged = c->dragging;
      c->pressed = c->dragging = false;
      ReleaseCapture();
      if (dragged) {
        SaveDesk();
      } else if (g_desk.api.MouseClik) {
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        ModalScope modal;  // the date command may show a box
        g_desk.api.MouseClik(c->host.chip, window, &p);
      }
      return 0;
    }
    case WM_CAPTURECHANGED: {
      // The tip on a day may take the capture while the button is still down:
      // the drag goes on and the next move takes it back.
      if (c->pressed && GetKeyState(VK_LBUTTON) < 0) return 0;
      // Otherwise the chip stays where it got to.
      bool dragged = c->pressed && c->dragging;
      c->pressed = c->dragging = false;
      if (dragged) SaveDesk();
      return 0;
    }
    case WM_CONTEXTMENU: {
      POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
      if (lParam == -1) {
        RECT r;
        GetWindowRect(window, &r);
        at.x = r.left;
        at.y = r.top;
      }
      ShowChipMenu(window, at);
      return 0;
    }
    case WM_DPICHANGED:
      TakeDpi(c, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      SaveDesk();
      return 0;
    case WM_CLOSE:
      return 0;  // a chip goes only through its menu's delete item
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterChipClass() {
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = ChipProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kChipClass;
  return RegisterClassA(&wc) != 0;
}
