#include "dxlhost/paint.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dxlhost/capture.h"
#include "dxlhost/commandhelpers.h"
#include "dxlhost/hover.h"
#include "dxlhost/menu.h"
#include "dxlhost/png.h"

namespace {

void PaintUsage() {
  fputs(
      "usage: dxlhost paint LIBRARY [--out FILE.png [--hover YYYY/MM/DD]] [--live] [--at X,Y] [--memo TEXT]\n"
      "         [--months 1|2] [--stacked] [--english] [--size WxH]\n"
      "         [--font-height N] [--font-face NAME] [--smooth]\n"
      "         [--today RRGGBB] [--sunday RRGGBB] [--saturday RRGGBB] [--holiday RRGGBB]\n"
      "         [--text RRGGBB] [--back RRGGBB] [--style normal|bold|italic|underline]\n"
      "  Creates a chip for the memo text (empty: the current month, today marked)\n"
      "  with these saved-data options, paints it with DrawChip and writes the\n"
      "  picture as PNG. --live shows the chip on the desktop: it repaints, a left\n"
      "  click runs MouseClik, a right click shows its menu, hovering shows tips,\n"
      "  Escape closes it. --hover shows the chip at --at, puts the cursor on that\n"
      "  day and captures the chip with the library's tip from the screen.\n",
      stderr);
}

bool ParseColor(const char* text, COLORREF* color) {
  if (strlen(text) != 6) return false;
  char* end = nullptr;
  unsigned long v = strtoul(text, &end, 16);
  if (*end) return false;
  *color = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  return true;
}

// A chip's client size: WIDTHxHEIGHT, each side 1 to kMaxChipSide.
const int kMaxChipSide = 4096;

bool ParseSize(const char* text, int* width, int* height) {
  char* end = nullptr;
  long w = strtol(text, &end, 10);
  if (end == text || *end != 'x' || !isdigit((unsigned char)end[1])) return false;
  const char* rest = end + 1;
  long h = strtol(rest, &end, 10);
  if (*end || w < 1 || h < 1 || w > kMaxChipSide || h > kMaxChipSide) return false;
  *width = (int)w;
  *height = (int)h;
  return true;
}

// A whole number from lo to hi, nothing after it.
bool ParseBounded(const char* text, long lo, long hi, long* value) {
  char* end = nullptr;
  errno = 0;
  long v = strtol(text, &end, 10);
  if (end == text || *end || errno || v < lo || v > hi) return false;
  *value = v;
  return true;
}

// X,Y on the virtual screen.
bool ParsePoint(const char* text, int* x, int* y) {
  const char* comma = strchr(text, ',');
  if (!comma || comma - text > 15) return false;
  char first[16];
  memcpy(first, text, comma - text);
  first[comma - text] = 0;
  long vx, vy;
  if (!ParseBounded(first, -32768, 32767, &vx) || !ParseBounded(comma + 1, -32768, 32767, &vy)) return false;
  *x = (int)vx;
  *y = (int)vy;
  return true;
}

// Font heights as LOGFONT takes them (negative: character height), within
// what a chip can show.
const long kMaxFontHeight = 256;

void PutLe32(std::vector<unsigned char>* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = (unsigned char)(v >> (8 * i));
}

LRESULT CALLBACK LiveChipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LiveChip* live = reinterpret_cast<LiveChip*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      if (live && live->chip->chip) live->api->DrawChip(live->chip->chip, window, dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // DrawChip fills the background
    case WM_LBUTTONDOWN:
      if (live && live->chip->chip && live->api->MouseClik) {
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        live->api->MouseClik(live->chip->chip, window, &p);
      }
      return 0;
    case WM_RBUTTONUP:
      if (live && live->chip->chip) {
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        ClientToScreen(window, &p);
        TrackChipMenu(live->api, live->chip, p);
      }
      return 0;
    // The window outlives the loop: the chip is freed while its window exists.
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

struct ChipDrawing {
  const DxlApi* api;
  const HostChip* chip;
};

bool DrawChipInto(HDC dc, void* context) {
  const ChipDrawing* d = static_cast<const ChipDrawing*>(context);
  return d->api->DrawChip(d->chip->chip, d->chip->window, dc) != 0;
}

}  // namespace

void DefaultPaintOptions(PaintOptions* o) {
  memset(o, 0, sizeof *o);
  o->memo = "";
  o->months = 1;
  o->todayColor = RGB(0, 255, 255);
  o->sundayColor = RGB(255, 0, 0);
  o->saturdayColor = RGB(0, 0, 255);
  o->holidayColor = RGB(255, 0, 0);
  o->textColor = RGB(0, 0, 0);
  o->backColor = RGB(255, 255, 255);
  o->scheduleStyle = 1;
  o->fontHeight = -16;
  o->fontFace = "IPAGothic";
  o->fontQuality = NONANTIALIASED_QUALITY;
}

std::vector<unsigned char> PaintSaveBlock(const PaintOptions& o) {
  std::vector<unsigned char> block(32, 0);
  PutLe32(&block, 0, 24);
  PutLe32(&block, 4 + 4, o.todayColor);
  PutLe32(&block, 4 + 8, o.sundayColor);
  PutLe32(&block, 4 + 12, o.saturdayColor);
  PutLe32(&block, 4 + 16, o.holidayColor);
  block[4 + 20] = (unsigned char)o.scheduleStyle;
  unsigned char view = 0;
  if (o.months == 2) view |= 0x01;
  if (o.english) view |= 0x02;
  if (o.months == 2 && o.stacked) view |= 0xF0;
  block[4 + 21] = view;
  return block;
}

bool CreatePaintChip(const DxlApi* api, const PaintOptions& o, HostChip* chip) {
  HostChipInit(chip, CreateChipWindow(160, 120, false));
  if (!chip->window) return false;
  // Painted and clicked here; subclassed before the library hooks it.
  SetWindowLongPtrA(chip->window, GWLP_USERDATA, 0);
  SetWindowLongPtrA(chip->window, GWLP_WNDPROC, (LONG_PTR)LiveChipProc);
  chip->textColor = o.textColor;
  chip->backColor = o.backColor;
  DefaultChipFont(&chip->font, o.fontHeight, o.fontFace);
  chip->font.lfQuality = (BYTE)o.fontQuality;
  HostChipSetMemo(chip, o.memo);
  std::vector<unsigned char> block = PaintSaveBlock(o);
  HostChipSetSaveData(chip, block.data(), block.size());
  if (!HostCreate(api, chip)) return false;

  int windowWidth, windowHeight;
  if (o.width > 0 && o.height > 0) {
    RECT r = {0, 0, o.width, o.height};
    AdjustWindowRectEx(&r, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
    windowWidth = r.right - r.left;
    windowHeight = r.bottom - r.top;
  } else {
    SIZE size = {0, 0};
    if (!api->CalcDefaultRect || !api->CalcDefaultRect(chip->chip, chip->window, &size)) return false;
    // A proposal past what a host would show is refused, not allocated.
    if (size.cx < 1 || size.cy < 1 || size.cx > kMaxChipSide || size.cy > kMaxChipSide) return false;
    windowWidth = size.cx;
    windowHeight = size.cy;
  }
  return SetWindowPos(chip->window, nullptr, 0, 0, windowWidth, windowHeight, SWP_NOMOVE | SWP_NOZORDER) != 0;
}

bool PaintChipPixels(const DxlApi* api, const HostChip* chip, int* width, int* height, std::vector<uint8_t>* rgb) {
  RECT client;
  if (!api->DrawChip || !GetClientRect(chip->window, &client) || client.right <= 0 || client.bottom <= 0)
    return false;
  *width = client.right;
  *height = client.bottom;
  ChipDrawing drawing = {api, chip};
  return DrawIntoPixels(client.right, client.bottom, DrawChipInto, &drawing, rgb);
}

int RunPaintCommand(int argc, char** argv) {
  if (argc < 1) {
    PaintUsage();
    return 2;
  }
  const char* library = argv[0];
  const char* out = nullptr;
  bool live = false;
  int atX = 40, atY = 40;
  const char* hover = nullptr;
  HoverDate hoverDate = {0, 0, 0};
  PaintOptions o;
  DefaultPaintOptions(&o);
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    bool used = true;  // whether v was taken
    bool ok = true;
    if (!strcmp(a, "--live")) live = true, used = false;
    else if (!strcmp(a, "--stacked")) o.stacked = true, used = false;
    else if (!strcmp(a, "--english")) o.english = true, used = false;
    else if (!strcmp(a, "--smooth")) o.fontQuality = ANTIALIASED_QUALITY, used = false;
    else if (!v) ok = false;
    else if (!strcmp(a, "--out")) out = v;
    else if (!strcmp(a, "--memo")) o.memo = v;
    else if (!strcmp(a, "--months")) o.months = atoi(v), ok = o.months == 1 || o.months == 2;
    else if (!strcmp(a, "--size")) {
      if (!ParseSize(v, &o.width, &o.height)) {
        fprintf(stderr, "dxlhost paint: --size %s: give WIDTHxHEIGHT, each from 1 to %d\n", v, kMaxChipSide);
        return 2;
      }
    }
    else if (!strcmp(a, "--at")) ok = ParsePoint(v, &atX, &atY);
    else if (!strcmp(a, "--hover")) ok = ParseHoverDate(v, &hoverDate), hover = v;
    else if (!strcmp(a, "--font-height")) {
      long h;
      ok = ParseBounded(v, -kMaxFontHeight, kMaxFontHeight, &h);
      if (ok) o.fontHeight = (int)h;
    }
    else if (!strcmp(a, "--font-face")) ok = strlen(v) < LF_FACESIZE, o.fontFace = v;
    else if (!strcmp(a, "--today")) ok = ParseColor(v, &o.todayColor);
    else if (!strcmp(a, "--sunday")) ok = ParseColor(v, &o.sundayColor);
    else if (!strcmp(a, "--saturday")) ok = ParseColor(v, &o.saturdayColor);
    else if (!strcmp(a, "--holiday")) ok = ParseColor(v, &o.holidayColor);
    else if (!strcmp(a, "--text")) ok = ParseColor(v, &o.textColor);
    else if (!strcmp(a, "--back")) ok = ParseColor(v, &o.backColor);
    else if (!strcmp(a, "--style")) {
      static const char* const kStyles[] = {"normal", "bold", "italic", "underline"};
      ok = false;
      for (int s = 0; s < 4; ++s)
        if (!strcmp(v, kStyles[s])) o.scheduleStyle = s, ok = true;
    } else ok = false;
    if (!ok) {
      fprintf(stderr, "dxlhost paint: bad argument %s%s%s\n", a, used && v ? " " : "", used && v ? v : "");
      PaintUsage();
      return 2;
    }
    if (used) ++i;
  }
  if ((!out && !live) || (hover && (!out || live))) {
    PaintUsage();
    return 2;
  }

  DxlApi api;
  if (!LoadDxlOrComplain(library, &api)) return 1;
  int result = 0;
  HostChip chip;
  if (!CreatePaintChip(&api, o, &chip)) {
    fprintf(stderr, "dxlhost paint: the chip could not be created\n");
    result = 1;
  } else {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    if (hover) {
      LiveChip liveChip = {&api, &chip};
      SetWindowLongPtrA(chip.window, GWLP_USERDATA, (LONG_PTR)&liveChip);
      const char* why = "";
      if (!HoverAndCapture(&chip, hoverDate, atX, atY, &w, &h, &rgb, &why) || !WritePng(out, w, h, rgb.data())) {
        fprintf(stderr, "dxlhost paint: hovering %s: %s\n", hover, *why ? why : "cannot write the picture");
        result = 1;
      } else {
        printf("%s: %d x %d, tip over %s\n", out, w, h, hover);
      }
      SetWindowLongPtrA(chip.window, GWLP_USERDATA, 0);
    } else if (out) {
      if (!PaintChipPixels(&api, &chip, &w, &h, &rgb) || !WritePng(out, w, h, rgb.data())) {
        fprintf(stderr, "dxlhost paint: cannot paint into %s\n", out);
        result = 1;
      } else {
        printf("%s: %d x %d\n", out, w, h);
      }
    }
    if (live && result == 0) {
      LiveChip liveChip = {&api, &chip};
      SetWindowLongPtrA(chip.window, GWLP_USERDATA, (LONG_PTR)&liveChip);
      SetWindowPos(chip.window, HWND_TOPMOST, atX, atY, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      ShowWindow(chip.window, SW_HIDE);
    }
  }
  if (chip.chip) HostDestroy(&api, &chip);
  HostChipFree(&chip);
  UnloadDxl(&api);
  return result;
}
