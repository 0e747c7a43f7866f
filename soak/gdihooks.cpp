// The replaced GDI, window, menu and hook calls.
#include <string.h>

#include "soak/hooks.h"

namespace soakhook {

namespace {

REAL(CreateFontIndirectA);
REAL(CreateFontA);
REAL(CreateSolidBrush);
REAL(CreateBrushIndirect);
REAL(CreateHatchBrush);
REAL(CreatePatternBrush);
REAL(CreatePen);
REAL(CreatePenIndirect);
REAL(CreateCompatibleBitmap);
REAL(CreateBitmap);
REAL(CreateDIBSection);
REAL(CreateCompatibleDC);
REAL(CreateDCA);
REAL(DeleteDC);
REAL(DeleteObject);
REAL(SelectObject);
REAL(GetDC);
REAL(GetWindowDC);
REAL(GetDCEx);
REAL(ReleaseDC);
REAL(BeginPaint);
REAL(EndPaint);
REAL(CreateWindowExA);
REAL(DestroyWindow);
REAL(CreateMenu);
REAL(CreatePopupMenu);
REAL(LoadMenuA);
REAL(DestroyMenu);
REAL(SetWindowLongA);
REAL(SetWindowsHookExA);
REAL(UnhookWindowsHookEx);

HFONT WINAPI HookCreateFontIndirectA(const LOGFONTA* font) {
  return MadeTracked(kFCreateFontIndirectA, ERROR_NOT_ENOUGH_MEMORY, kSoakFont, RealCreateFontIndirectA, font);
}

HFONT WINAPI HookCreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                             DWORD underline, DWORD strikeOut, DWORD charSet, DWORD precision, DWORD clip,
                             DWORD quality, DWORD pitch, LPCSTR face) {
  return MadeTracked(kFCreateFontA, ERROR_NOT_ENOUGH_MEMORY, kSoakFont, RealCreateFontA,
                     height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                     precision, clip, quality, pitch, face);
}

HBRUSH WINAPI HookCreateSolidBrush(COLORREF color) {
  return MadeTracked(kFCreateSolidBrush, ERROR_NOT_ENOUGH_MEMORY, kSoakBrush, RealCreateSolidBrush, color);
}

HBRUSH WINAPI HookCreateBrushIndirect(const LOGBRUSH* brush) {
  return MadeTracked(kFCreateBrushIndirect, ERROR_NOT_ENOUGH_MEMORY, kSoakBrush, RealCreateBrushIndirect, brush);
}

HBRUSH WINAPI HookCreateHatchBrush(int style, COLORREF color) {
  return MadeTracked(kFCreateHatchBrush, ERROR_NOT_ENOUGH_MEMORY, kSoakBrush, RealCreateHatchBrush, style, color);
}

HBRUSH WINAPI HookCreatePatternBrush(HBITMAP bitmap) {
  return MadeTracked(kFCreatePatternBrush, ERROR_NOT_ENOUGH_MEMORY, kSoakBrush, RealCreatePatternBrush, bitmap);
}

HPEN WINAPI HookCreatePen(int style, int width, COLORREF color) {
  return MadeTracked(kFCreatePen, ERROR_NOT_ENOUGH_MEMORY, kSoakPen, RealCreatePen, style, width, color);
}

HPEN WINAPI HookCreatePenIndirect(const LOGPEN* pen) {
  return MadeTracked(kFCreatePenIndirect, ERROR_NOT_ENOUGH_MEMORY, kSoakPen, RealCreatePenIndirect, pen);
}

HBITMAP WINAPI HookCreateCompatibleBitmap(HDC dc, int width, int height) {
  return MadeTracked(kFCreateCompatibleBitmap, ERROR_NOT_ENOUGH_MEMORY, kSoakBitmap, RealCreateCompatibleBitmap,
                     dc, width, height);
}

HBITMAP WINAPI HookCreateBitmap(int width, int height, UINT planes, UINT bits, const void* data) {
  return MadeTracked(kFCreateBitmap, ERROR_NOT_ENOUGH_MEMORY, kSoakBitmap, RealCreateBitmap,
                     width, height, planes, bits, data);
}

HBITMAP WINAPI HookCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                    DWORD offset) {
  if (Fail(kFCreateDIBSection, ERROR_NOT_ENOUGH_MEMORY)) {
    if (bits) *bits = nullptr;
    return nullptr;
  }
  HBITMAP h = RealCreateDIBSection(dc, info, usage, bits, section, offset);
  Track(h, kSoakBitmap);
  return h;
}

HDC WINAPI HookCreateCompatibleDC(HDC dc) {
  return MadeTracked(kFCreateCompatibleDC, ERROR_NOT_ENOUGH_MEMORY, kSoakDc, RealCreateCompatibleDC, dc);
}

HDC WINAPI HookCreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
  return MadeTracked(kFCreateDCA, ERROR_NOT_ENOUGH_MEMORY, kSoakDc, RealCreateDCA, driver, device, port, mode);
}

BOOL WINAPI HookDeleteDC(HDC dc) {
  UntrackOrForeign(dc, kSoakDc, kSoakDc, kSoakDc);
  return RealDeleteDC(dc);
}

BOOL WINAPI HookDeleteObject(HGDIOBJ object) {
  UntrackOrForeign(object, kSoakFont, kSoakBitmap, kSoakFont);
  return RealDeleteObject(object);
}

// Selections nest per DC and object type; putting back the object the DC
// gave back cannot fail on the system, so only selecting in is failed.
HGDIOBJ WINAPI HookSelectObject(HDC dc, HGDIOBJ object) {
  DWORD type = GetObjectType(object);
  auto key = std::make_pair(dc, type);
  auto it = g_selections.find(key);
  bool restore = it != g_selections.end() && !it->second.empty() && it->second.back() == object;
  if (!restore && Fail(kFSelectObject, ERROR_INVALID_HANDLE)) return nullptr;
  HGDIOBJ previous = RealSelectObject(dc, object);
  if (!previous || previous == HGDI_ERROR || type == OBJ_REGION) return previous;
  if (restore) {
    it->second.pop_back();
    if (it->second.empty()) g_selections.erase(it);
    Released(kSoakSelection);
  } else if (object != previous) {
    g_selections[key].push_back(previous);
    Created(kSoakSelection);
  }
  return previous;
}

HDC WINAPI HookGetDC(HWND window) {
  return MadeTracked(kFGetDC, ERROR_INVALID_WINDOW_HANDLE, kSoakDc, RealGetDC, window);
}

HDC WINAPI HookGetWindowDC(HWND window) {
  return MadeTracked(kFGetWindowDC, ERROR_INVALID_WINDOW_HANDLE, kSoakDc, RealGetWindowDC, window);
}

HDC WINAPI HookGetDCEx(HWND window, HRGN clip, DWORD flags) {
  return MadeTracked(kFGetDCEx, ERROR_INVALID_WINDOW_HANDLE, kSoakDc, RealGetDCEx, window, clip, flags);
}

int WINAPI HookReleaseDC(HWND window, HDC dc) {
  UntrackOrForeign(dc, kSoakDc, kSoakDc, kSoakDc);
  return RealReleaseDC(window, dc);
}

HDC WINAPI HookBeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (Fail(kFBeginPaint, ERROR_INVALID_WINDOW_HANDLE)) {
    if (paint) memset(paint, 0, sizeof *paint);
    return nullptr;
  }
  HDC h = RealBeginPaint(window, paint);
  Track(h, kSoakDc);
  return h;
}

BOOL WINAPI HookEndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (paint) UntrackOrForeign(paint->hdc, kSoakDc, kSoakDc, kSoakDc);
  return RealEndPaint(window, paint);
}

HWND WINAPI HookCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                                int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return MadeTracked(kFCreateWindowExA, ERROR_NOT_ENOUGH_MEMORY, kSoakWindow, RealCreateWindowExA,
                     exStyle, className, title, style, x, y, width, height, parent, menu, instance, param);
}

BOOL WINAPI HookDestroyWindow(HWND window) {
  BOOL ok = RealDestroyWindow(window);
  if (ok) UntrackOrForeign(window, kSoakWindow, kSoakWindow, kSoakWindow);
  return ok;
}

HMENU WINAPI HookCreateMenu() {
  return MadeTracked(kFCreateMenu, ERROR_NOT_ENOUGH_MEMORY, kSoakMenu, RealCreateMenu);
}

HMENU WINAPI HookCreatePopupMenu() {
  return MadeTracked(kFCreatePopupMenu, ERROR_NOT_ENOUGH_MEMORY, kSoakMenu, RealCreatePopupMenu);
}

HMENU WINAPI HookLoadMenuA(HINSTANCE instance, LPCSTR name) {
  return MadeTracked(kFLoadMenuA, ERROR_NOT_ENOUGH_MEMORY, kSoakMenu, RealLoadMenuA, instance, name);
}

BOOL WINAPI HookDestroyMenu(HMENU menu) {
  BOOL ok = RealDestroyMenu(menu);
  if (ok) UntrackOrForeign(menu, kSoakMenu, kSoakMenu, kSoakMenu);
  return ok;
}

LONG WINAPI HookSetWindowLongA(HWND window, int index, LONG value) {
  if (Fail(kFSetWindowLongA, ERROR_ACCESS_DENIED)) return 0;
  LONG previous = RealSetWindowLongA(window, index, value);
  if (index != GWL_WNDPROC || !previous) return previous;
  auto it = g_windowProcs.find(window);
  if (it == g_windowProcs.end()) {
    if (value != previous) {
      g_windowProcs[window] = previous;
      Created(kSoakWindowProc);
    }
  } else if (value == it->second) {
    g_windowProcs.erase(it);
    Released(kSoakWindowProc);
  }
  return previous;
}

HHOOK WINAPI HookSetWindowsHookExA(int id, HOOKPROC proc, HINSTANCE instance, DWORD thread) {
  return MadeTracked(kFSetWindowsHookExA, ERROR_NOT_ENOUGH_MEMORY, kSoakHook, RealSetWindowsHookExA,
                     id, proc, instance, thread);
}

BOOL WINAPI HookUnhookWindowsHookEx(HHOOK hook) {
  UntrackOrForeign(hook, kSoakHook, kSoakHook, kSoakHook);
  return RealUnhookWindowsHookEx(hook);
}

}  // namespace

const Replacement kGdiReplacements[] = {
    HOOK(CreateFontIndirectA), HOOK(CreateFontA), HOOK(CreateSolidBrush), HOOK(CreateBrushIndirect),
    HOOK(CreateHatchBrush), HOOK(CreatePatternBrush), HOOK(CreatePen), HOOK(CreatePenIndirect),
    HOOK(CreateCompatibleBitmap), HOOK(CreateBitmap), HOOK(CreateDIBSection), HOOK(CreateCompatibleDC),
    HOOK(CreateDCA), HOOK(DeleteDC), HOOK(DeleteObject), HOOK(SelectObject), HOOK(GetDC), HOOK(GetWindowDC),
    HOOK(GetDCEx), HOOK(ReleaseDC), HOOK(BeginPaint), HOOK(EndPaint), HOOK(CreateWindowExA), HOOK(DestroyWindow),
    HOOK(CreateMenu), HOOK(CreatePopupMenu), HOOK(LoadMenuA), HOOK(DestroyMenu), HOOK(SetWindowLongA),
    HOOK(SetWindowsHookExA), HOOK(UnhookWindowsHookEx),
};
const int kGdiReplacementCount = sizeof kGdiReplacements / sizeof kGdiReplacements[0];

}  // namespace soakhook
