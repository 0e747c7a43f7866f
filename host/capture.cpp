#include "host/capture.h"

#include <string.h>

namespace {

struct ScreenArea {
  HDC screen;
  RECT rect;
};

bool CopyScreen(HDC dc, void* context) {
  const ScreenArea* area = static_cast<const ScreenArea*>(context);
  return BitBlt(dc, 0, 0, area->rect.right - area->rect.left, area->rect.bottom - area->rect.top, area->screen,
                area->rect.left, area->rect.top, SRCCOPY) != 0;
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

bool CaptureScreenRect(const RECT& rect, std::vector<uint8_t>* rgb) {
  ScreenArea area = {GetDC(nullptr), rect};
  if (!area.screen) return false;
  bool ok = DrawIntoPixels(rect.right - rect.left, rect.bottom - rect.top, CopyScreen, &area, rgb);
  ReleaseDC(nullptr, area.screen);
  return ok;
}
