// Chips of the desktop program: made from records, placed, updated, freed.
#include "desk/deskchips.h"

#include <string.h>

#include "desk/deskgeometry.h"
#include "host/menu.h"

namespace {

DeskRect Rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) reinterpret_cast<std::vector<DeskRect>*>(param)->push_back(Rect(info.rcWork));
  return TRUE;
}

std::vector<DeskRect> WorkAreas() {
  std::vector<DeskRect> works;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&works));
  return works;
}

DeskRect WorkAreaAt(POINT at) {
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info)) return Rect(info.rcWork);
  RECT work;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) SetRect(&work, 0, 0, 640, 480);
  return Rect(work);
}

// The face of the system's user-interface font, which every machine has: the
// face the system draws it in, since the name it goes by may be an alias
// that the font dialog does not list.
void SystemFace(char* face, size_t size) {
  NONCLIENTMETRICSA metrics;
  memset(&metrics, 0, sizeof metrics);
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) || !metrics.lfMessageFont.lfFaceName[0])
    lstrcpynA(metrics.lfMessageFont.lfFaceName, "MS UI Gothic", LF_FACESIZE);
  lstrcpynA(face, metrics.lfMessageFont.lfFaceName, (int)size);
  HDC dc = GetDC(nullptr);
  HFONT font = dc ? CreateFontIndirectA(&metrics.lfMessageFont) : nullptr;
  if (font) {
    HGDIOBJ old = SelectObject(dc, font);
    char drawn[LF_FACESIZE];
    if (GetTextFaceA(dc, sizeof drawn, drawn) > 0 && drawn[0] != '@') lstrcpynA(face, drawn, (int)size);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  if (dc) ReleaseDC(nullptr, dc);
}

}  // namespace

UINT WindowDpi(HWND window) {
  typedef UINT(WINAPI * GetDpiForWindowFn)(HWND);
  static GetDpiForWindowFn getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  UINT dpi = getDpi && window ? getDpi(window) : 0;
  return dpi ? dpi : SystemDpi();
}

UINT SystemDpi() {
  HDC dc = GetDC(nullptr);
  UINT dpi = dc ? (UINT)GetDeviceCaps(dc, LOGPIXELSY) : 0;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi ? dpi : 96;
}

void ScaleChipFont(DeskChip* c, UINT dpi) { c->host.font.lfHeight = ScaleForDpi(c->fontHeight96, (int)dpi); }

void FitDefaultSize(DeskChip* c) { ApplyMenuResult(&g_desk.api, &c->host, 2); }

DeskChip* CreateDeskChip(const DeskChipRecord& r) {
  // No caption or frame; the one-pixel line is the edge the library lays a chip out in.
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | (r.topmost ? WS_EX_TOPMOST : 0), kChipClass, "Tarnivel",
                                WS_POPUP | WS_BORDER, r.left, r.top, 160, 160, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window) return nullptr;
  std::unique_ptr<DeskChip> c(new DeskChip());
  HostChipInit(&c->host, window);
  c->topmost = r.topmost;
  c->fontHeight96 = r.fontHeight;
  c->host.textColor = r.textColor;
  c->host.backColor = r.backColor;
  char face[LF_FACESIZE];
  lstrcpynA(face, r.fontFace, sizeof face);
  if (!face[0]) SystemFace(face, sizeof face);
  DefaultChipFont(&c->host.font, r.fontHeight, face);
  c->host.font.lfWeight = r.fontWeight;
  c->host.font.lfItalic = r.fontItalic;
  c->host.font.lfUnderline = r.fontUnderline;
  c->host.font.lfStrikeOut = r.fontStrikeOut;
  c->host.font.lfCharSet = (BYTE)r.fontCharSet;
  c->host.font.lfQuality = (BYTE)r.fontQuality;
  ScaleChipFont(c.get(), WindowDpi(window));
  HostChipSetMemo(&c->host, r.memo.c_str());
  HostChipSetSaveData(&c->host, r.saveData.data(), r.saveData.size());
  if (!c->host.memo || !c->host.saveData || !HostCreate(&g_desk.api, &c->host)) {
    HostChipFree(&c->host);
    return nullptr;
  }
  g_desk.chips.push_back(std::move(c));
  DeskChip* chip = g_desk.chips.back().get();
  FitDefaultSize(chip);
  BringChipIntoSight(chip);
  return chip;
}

DeskChip* NewDeskChip(POINT askedFrom) {
  // The file holds no more.
  if (g_desk.chips.size() + g_desk.keptAside.size() >= (size_t)kDeskMaxChips) return nullptr;
  DeskRect work = WorkAreaAt(askedFrom);
  DeskChipRecord r;
  DefaultDeskChip(&r);
  r.left = work.left;
  r.top = work.top;
  r.topmost = false;
  // Made at the corner, for the size the library proposes; then placed.
  DeskChip* c = CreateDeskChip(r);
  if (!c) return nullptr;
  std::vector<DeskRect> taken;
  for (const auto& other : g_desk.chips) {
    RECT w;
    if (other.get() != c && GetWindowRect(other->host.window, &w)) taken.push_back(Rect(w));
  }
  RECT size;
  GetWindowRect(c->host.window, &size);
  DeskRect place = FreePlace(work, size.right - size.left, size.bottom - size.top, taken, askedFrom.x, askedFrom.y, 8);
  SetWindowPos(c->host.window, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(c->host.window, SW_SHOWNOACTIVATE);
  // The library fills the saved data with its defaults.
  HostGetSaveData(&g_desk.api, &c->host);
  return c;
}

void DeleteDeskChip(HWND window) {
  for (size_t i = 0; i < g_desk.chips.size(); ++i) {
    DeskChip* c = g_desk.chips[i].get();
    if (c->host.window != window) continue;
    if (c->host.chip) HostDestroy(&g_desk.api, &c->host);
    HostChipFree(&c->host);
    g_desk.chips.erase(g_desk.chips.begin() + (long)i);
    return;
  }
}

void DestroyAllChips() {
  while (!g_desk.chips.empty()) DeleteDeskChip(g_desk.chips.back()->host.window);
}

void UpdateAllChips(const char* why) {
  for (size_t i = 0; i < g_desk.chips.size(); ++i) {
    DeskChip* c = g_desk.chips[i].get();
    HostUpdate(&g_desk.api, &c->host);
    DeskLog("update chip %u (%s)", (unsigned)(i + 1), why);
    FitDefaultSize(c);  // a month of six weeks is taller
  }
}

void BringChipIntoSight(DeskChip* c) {
  RECT now;
  if (!GetWindowRect(c->host.window, &now)) return;
  // The month row: a line of the chip's font and its margins.
  int row = (c->host.font.lfHeight < 0 ? -c->host.font.lfHeight : c->host.font.lfHeight) + 8;
  if (!ChipOutOfSight(Rect(now), row, WorkAreas())) return;
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromRect(&now, MONITOR_DEFAULTTONEAREST), &info)) return;
  DeskRect placed;
  KeepInWorkArea(Rect(now), Rect(info.rcWork), &placed);
  SetWindowPos(c->host.window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowAllChips() {
  for (const auto& c : g_desk.chips) {
    BringChipIntoSight(c.get());
    SetWindowPos(c->host.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  }
  // A topmost chip stays above the others.
  for (const auto& c : g_desk.chips)
    if (c->topmost) SetWindowPos(c->host.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

DeskChipRecord RecordOfChip(DeskChip* c) {
  DeskChipRecord r;
  DefaultDeskChip(&r);
  RECT w;
  GetWindowRect(c->host.window, &w);
  r.left = w.left;
  r.top = w.top;
  r.textColor = c->host.textColor;
  r.backColor = c->host.backColor;
  r.fontHeight = c->fontHeight96;
  r.fontWeight = c->host.font.lfWeight;
  r.fontItalic = c->host.font.lfItalic != 0;
  r.fontUnderline = c->host.font.lfUnderline != 0;
  r.fontStrikeOut = c->host.font.lfStrikeOut != 0;
  r.fontCharSet = c->host.font.lfCharSet;
  r.fontQuality = c->host.font.lfQuality;
  lstrcpynA(r.fontFace, c->host.font.lfFaceName, sizeof r.fontFace);
  r.topmost = c->topmost;
  r.memo = HostChipMemo(&c->host);
  HostGetSaveData(&g_desk.api, &c->host);
  std::vector<unsigned char> block = HostChipSaveBytes(&c->host);
  // The global block may be larger than the length word says.
  if (block.size() >= 4 && SaveDataLength(block) <= block.size() - 4) block.resize(4 + SaveDataLength(block));
  r.saveData = block;
  return r;
}
