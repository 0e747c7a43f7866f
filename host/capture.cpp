#include "host/capture.h"

#include <string.h>

#include "host/png.h"

bool CaptureScreen(RECT area, int* width, int* height, std::vector<uint8_t>* rgb) {
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!IntersectRect(&area, &area, &screen)) return false;
  const int w = area.right - area.left, h = area.bottom - area.top;
  BITMAPINFO info;
  memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screenDc = GetDC(nullptr);
  if (!screenDc) return false;
  HDC dc = CreateCompatibleDC(screenDc);
  void* bits = nullptr;
  HBITMAP bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ok = BitBlt(dc, 0, 0, w, h, screenDc, area.left, area.top, SRCCOPY | CAPTUREBLT) != 0;
    GdiFlush();
    const uint32_t* px = static_cast<const uint32_t*>(bits);
    rgb->resize((size_t)w * h * 3);
    for (size_t i = 0; i < (size_t)w * h; ++i) {
      (*rgb)[i * 3] = (uint8_t)(px[i] >> 16);
      (*rgb)[i * 3 + 1] = (uint8_t)(px[i] >> 8);
      (*rgb)[i * 3 + 2] = (uint8_t)px[i];
    }
    SelectObject(dc, previous);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  ReleaseDC(nullptr, screenDc);
  *width = w;
  *height = h;
  return ok;
}

bool WriteScreenPng(const char* path, const RECT& area) {
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  return CaptureScreen(area, &w, &h, &rgb) && WritePng(path, w, h, rgb.data());
}

namespace {

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

RECT WindowAndMenusArea(HWND window) {
  RECT area = {0, 0, 0, 0};
  if (window) GetWindowRect(window, &area);
  EnumThreadWindows(GetCurrentThreadId(), AddMenuWindow, reinterpret_cast<LPARAM>(&area));
  return area;
}
