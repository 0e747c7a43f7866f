#include "dxlhost/capture.h"

#include <string.h>

#include "dxlhost/png.h"

namespace {

struct ScreenArea {
  HDC screen;
  RECT area;
};

bool CopyScreen(HDC dc, void* context) {
  const ScreenArea* s = static_cast<const ScreenArea*>(context);
  return BitBlt(dc, 0, 0, s->area.right - s->area.left, s->area.bottom - s->area.top, s->screen, s->area.left,
                s->area.top, SRCCOPY | CAPTUREBLT) != 0;
}

BOOL CALLBACK AddMenuWindow(HWND window, LPARAM param) {
  char name[16];
  if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) && !strcmp(name, "#32768")) {
    RECT r;
    GetWindowRect(window, &r);
    RECT* area = reinterpret_cast<RECT*>(param);
    UnionRect(area, area, &r);
  }
  return TRUE;
}

}  // namespace

bool DrawIntoPixels(int width, int height, bool (*draw)(HDC dc, void* context), void* context,
                    std::vector<uint8_t>* rgb) {
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info;
  memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ok = draw(dc, context);
    GdiFlush();
    const uint32_t* px = static_cast<const uint32_t*>(bits);
    const size_t n = (size_t)width * height;
    rgb->resize(n * 3);
    for (size_t i = 0; i < n; ++i) {
      (*rgb)[i * 3] = (uint8_t)(px[i] >> 16);
      (*rgb)[i * 3 + 1] = (uint8_t)(px[i] >> 8);
      (*rgb)[i * 3 + 2] = (uint8_t)px[i];
    }
    SelectObject(dc, previous);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(dc);
  return ok;
}

bool CaptureScreen(RECT area, int* width, int* height, std::vector<uint8_t>* rgb) {
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!IntersectRect(&area, &area, &screen)) return false;
  *width = area.right - area.left;
  *height = area.bottom - area.top;
  ScreenArea s = {GetDC(nullptr), area};
  if (!s.screen) return false;
  bool ok = DrawIntoPixels(*width, *height, CopyScreen, &s, rgb);
  ReleaseDC(nullptr, s.screen);
  return ok;
}

bool WriteScreenPng(const char* path, const RECT& area) {
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  return CaptureScreen(area, &w, &h, &rgb) && WritePng(path, w, h, rgb.data());
}

RECT WindowAndMenusArea(HWND window) {
  RECT area = {0, 0, 0, 0};
  if (window) GetWindowRect(window, &area);
  EnumThreadWindows(GetCurrentThreadId(), AddMenuWindow, reinterpret_cast<LPARAM>(&area));
  return area;
}

namespace {

BOOL CALLBACK FindShownDialog(HWND window, LPARAM param) {
  char name[16];
  if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) && !strcmp(name, "#32770")) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND ShownThreadDialog() {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&dialog));
  return dialog;
}
