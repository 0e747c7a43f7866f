// The tip window: its class, text buffer, font, painting and placing, and
// building its text for a date.
#include <string.h>

#include "month/gdiguard.h"
#include "plugin/globals.h"
#include "plugin/screendpi_win.h"
#include "resources/resource.h"
#include "tips/tipplace.h"
#include "tips/tips.h"
#include "tips/tiptext.h"
#include "today/holiday.h"
#include "today/markreading.h"
#include "today/schedule.h"

HWND tipWindow = nullptr;
TipDate lastTipDate = {0, 0, 0};
HWND lastTipChip = nullptr;

namespace {

const char kTipClass[] = "TarDxlTipWindow";
// Measured as painted: an '&' is a character, not a prefix mark.
const UINT kMeasureFlags = DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE | DT_NOPREFIX;
const UINT kPaintFlags = DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE;

HGLOBAL tipText = nullptr;
// Where the measured pieces end in tipText; 0 while none are measured.
int tipTextEnd = 0;

// The tip's text, locked while the guard lives.
class TipTextLock {
 public:
  TipTextLock() : text_(tipText ? static_cast<char*>(GlobalLock(tipText)) : nullptr) {
    size_ = text_ ? (int)GlobalSize(tipText) : 0;
  }
  ~TipTextLock() {
    if (text_) GlobalUnlock(tipText);
  }
  TipTextLock(const TipTextLock&) = delete;
  TipTextLock& operator=(const TipTextLock&) = delete;
  char* get() const { return text_; }
  int size() const { return size_; }

 private:
  char* text_;
  int size_;
};

// Kept here as well as in the window's user-data slot, which a failed
// SetWindowLongA would leave empty: the font is deleted whatever it answered.
HFONT tipFont = nullptr;
// What the font and the frame are made for.
ScreenDpi tipDpi = {0, 0};

void DeleteTipFont() {
  if (tipFont) DeleteObject(tipFont);
  tipFont = nullptr;
  tipDpi = ScreenDpi{0, 0};
}

// Height of one piece as measured; its width goes to *width.
int MeasureTipLine(HDC dc, const char* piece, int length, int* width) {
  RECT rect = {0, 0, 0, 0};
  DrawTextA(dc, piece, length, &rect, kMeasureFlags);
  *width = rect.right;
  return rect.bottom;
}

int CreateTipFont(HWND window, const ScreenDpi& dpi) {
  DeleteTipFont();
  tipFont = CreateTipFontFor(dpi);
  if (tipFont) tipDpi = dpi;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tipFont));
  return tipFont != nullptr;
}

ScreenDpi TipDpiAt(HWND chipWindow, POINT point) {
  ClientToScreen(chipWindow, &point);
  return ScreenDpiAt(tipWindow, point);
}

void PaintTip(HWND window) {
  TipTextLock text;
  if (!text.get()) {
    ValidateRect(window, nullptr);
    return;
  }
  RECT rect;
  GetClientRect(window, &rect);
  rect.left += SystemMetricForDpi(SM_CXFRAME, tipDpi);
  rect.top += SystemMetricForDpi(SM_CYFRAME, tipDpi);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  {
    GdiSelection font(dc, tipFont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    TipLineWalk walk;
    TipLineWalkInit(&walk, text.get(), tipTextEnd < text.size() ? tipTextEnd : text.size());
    int length;
    while (const char* piece = NextTipLine(&walk, &length)) {
      // An empty piece draws nothing but keeps the height it was measured with.
      int width;
      rect.top += length ? DrawTextA(dc, piece, length, &rect, kPaintFlags)
                         : MeasureTipLine(dc, piece, 0, &width);
    }
  }
  EndPaint(window, &ps);
}

void HideTip(HWND window) { ShowWindow(window, SW_HIDE); }

// Offset of the empty string that ends the list in text.
int ListEnd(const char* text, int size) {
  int pos = 0;
  while (pos < size && text[pos]) {
    const void* zero = memchr(text + pos, 0, (size_t)(size - pos));
    if (!zero) return size;
    pos = (int)(static_cast<const char*>(zero) - text) + 1;
  }
  return pos < size ? pos : size;
}

}  // namespace

// The work area of the monitor that holds the point, or of the nearest one;
// the primary monitor's when the system cannot tell monitors apart.
int WorkAreaAt(POINT point, RECT* work) {
  MONITORINFO info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  if (monitor && GetMonitorInfoA(monitor, &info)) {
    *work = info.rcWork;
    return 1;
  }
  return SystemParametersInfoA(SPI_GETWORKAREA, 0, work, 0) != 0;
}

HFONT CreateTipFontFor(const ScreenDpi& dpi) {
  LOGFONTA font;
  memset(&font, 0, sizeof font);
  font.lfHeight = TipFontHeight(dpi);
  font.lfCharSet = SHIFTJIS_CHARSET;
  if (LoadStringA(g_hInstance, IDS_TIP_FONT, font.lfFaceName, sizeof font.lfFaceName) <= 0)
    font.lfFaceName[0] = '\0';
  return CreateFontIndirectA(&font);
}

LRESULT CALLBACK TipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      if (!tipText) {
        tipText = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kTipTextSize);
        if (!tipText) return -1;
        tipTextEnd = 0;
      }
      POINT cursor = {0, 0};
      GetCursorPos(&cursor);
      CreateTipFont(window, ScreenDpiAt(window, cursor));
      return 0;
    }
    case WM_DESTROY:
      DeleteTipFont();
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      if (tipText) GlobalFree(tipText);
      tipText = nullptr;
      tipTextEnd = 0;
      // The text that date named is gone.
      ForgetTipText();
      return 0;
    case WM_PAINT:
      PaintTip(window);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(tipFont);
    case WM_SETCURSOR:
      SetCapture(window);
      break;
    case WM_MOUSEMOVE: {
      POINT cursor;
      RECT rect;
      if (GetCursorPos(&cursor) && GetWindowRect(window, &rect) && !PtInRect(&rect, cursor)) {
        ReleaseCapture();
        HideTip(window);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (GetCapture() == window) ReleaseCapture();
      HideTip(window);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int CreateTipWindow() {
  if (tipWindow) return 1;
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = TipWindowProc;
  wc.hInstance = g_hInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
  wc.lpszClassName = kTipClass;
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return 0;
  tipWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTipClass, nullptr,
                              WS_POPUP | WS_DISABLED | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr, g_hInstance,
                              nullptr);
  return tipWindow != nullptr;
}

void DestroyTipWindow() {
  if (tipWindow) DestroyWindow(tipWindow);
  tipWindow = nullptr;
  // A class left registered would keep this module's procedure after unload.
  UnregisterClassA(kTipClass, g_hInstance);
}

void PumpPaintMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int BuildTipText(HWND chipWindow, uint16_t year, uint16_t month, uint16_t day, DayMask holidayMask,
                 DayMask scheduleMask, POINT point) {
  int width = 0, height = 0;
  {
    TipTextLock lock;
    char* text = lock.get();
    if (!text) return 0;
    // A paint while the text is rewritten draws nothing.
    tipTextEnd = 0;
    const int size = lock.size();
    int count = 0;
    char* next = text;
    const DayMask bit = day >= 1 && day <= 31 ? (DayMask)1 << day : 0;
    if ((holidayMask | scheduleMask) & bit) {
      MarkReading reading;
      if (holidayMask & bit) {
        count = CollectHolidayNames(year, month, day, text, size - 1, &reading);
        next = text + ListEnd(text, size);
        PumpPaintMessages();
      }
      if (scheduleMask & bit) {
        count += CollectScheduleTexts(year, month, day, next, size - (int)(next - text) - 1, &reading);
        PumpPaintMessages();
      }
    }
    if (count == 0) {
      ForgetTipText();
      return 0;
    }
    if (!tipWindow) return 0;
    // The tip may show on another monitor than last time; without a font
    // it is measured and painted in the system's, as when none was made.
    const ScreenDpi dpi = TipDpiAt(chipWindow, point);
    if (!SameDpi(dpi, tipDpi)) CreateTipFont(tipWindow, dpi);
    WindowDC dc(tipWindow);
    GdiSelection font(dc.get(), tipFont);
    const int end = SplitTipLines(text, size);
    TipLineWalk walk;
    TipLineWalkInit(&walk, text, end);
    int length;
    while (const char* piece = NextTipLine(&walk, &length)) {
      int pieceWidth;
      height += MeasureTipLine(dc.get(), piece, length, &pieceWidth);
      if (pieceWidth > width) width = pieceWidth;
    }
    tipTextEnd = end;
  }
  PlaceTipWindow(chipWindow, width, height, point);
  lastTipDate = TipDate{year, month, day};
  lastTipChip = chipWindow;
  return 1;
}

void ForgetTipText() {
  lastTipDate = TipDate{0, 0, 0};
  lastTipChip = nullptr;
}

int TipFitsAt(HWND chipWindow, POINT point) { return tipWindow && SameDpi(TipDpiAt(chipWindow, point), tipDpi); }

void PlaceTipWindow(HWND chipWindow, int width, int height, POINT point) {
  if (!tipWindow) return;
  int w, h;
  if (width && height) {
    w = width + 2 * (SystemMetricForDpi(SM_CXFRAME, tipDpi) + SystemMetricForDpi(SM_CXBORDER, tipDpi));
    h = height + 2 * (SystemMetricForDpi(SM_CYFRAME, tipDpi) + SystemMetricForDpi(SM_CYBORDER, tipDpi));
  } else {
    RECT r;
    GetWindowRect(tipWindow, &r);
    w = r.right - r.left;
    h = r.bottom - r.top;
  }
  POINT cursor = point;
  ClientToScreen(chipWindow, &cursor);
  RECT work;
  TipArea area;
  const TipArea* clamp = nullptr;
  if (WorkAreaAt(cursor, &work)) {
    area = TipArea{work.left, work.top, work.right, work.bottom};
    clamp = &area;
  }
  TipPoint at = PlaceTipAtCursor(TipPoint{cursor.x, cursor.y}, w, h, clamp, tipDpi);
  SetWindowPos(tipWindow, nullptr, at.x, at.y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}
