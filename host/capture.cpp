#include "host/capture.h"

#include <string.h>

#include "host/png.h"

bool CaptureScreenRect(const RECT& rect, int* width, int* height, std::vector<uint8_t>* rgb) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO info;
  memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  HDC dc = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ok = BitBlt(dc, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != 0;
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
  ReleaseDC(nullptr, screen);
  *width = w;
  *height = h;
  return ok;
}

bool CaptureWindowPng(HWND window, const char* path) {
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return false;
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  return CaptureScreenRect(rect, &w, &h, &rgb) && WritePng(path, w, h, rgb.data());
}
