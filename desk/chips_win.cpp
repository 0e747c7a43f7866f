// Chip windows on the desktop: painting, clicks, dragging, the chip menu.
#include <windows.h>
#include <commdlg.h>
#include <string.h>

#include "desk/desk.h"
#include "desk/deskgeometry.h"
#include "host/edit.h"
#include "host/menu.h"

namespace {

const char kChipClass[] = "TarnivelDeskChip";

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

DeskChip* ChipOfWindow(HWND window) {
  for (DeskChip* c : g_chips)
    if (c->host.window == window) return c;
  return nullptr;
}

DeskChip* ChipOf(const HostChip* host) { return ChipOfWindow(host->window); }

// The DPI of the monitor the window is on, where the system can tell.
UINT WindowDpi(HWND window) {
  typedef UINT(WINAPI * GetDpiForWindowFn)(HWND);
  static GetDpiForWindowFn getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  UINT dpi = getDpi && window ? getDpi(window) : 0;
  if (!dpi) {
    HDC dc = GetDC(nullptr);
    dpi = (UINT)GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
  }
  return dpi ? dpi : 96;
}

void FitDefaultSize(DeskChip* c) { ApplyMenuResult(&g_api, &c->host, 2); }

// The kept font at the DPI the chip's window has now.
void ScaleChipFont(DeskChip* c, UINT dpi) { c->host.font.lfHeight = ScaleForDpi(c->fontHeight96, (int)dpi); }

std::string MemoText(const HostChip* chip) {
  std::string text;
  const char* p = chip->memo ? static_cast<const char*>(GlobalLock(chip->memo)) : nullptr;
  if (!p) return text;
  text.assign(p, strnlen(p, GlobalSize(chip->memo)));
  GlobalUnlock(chip->memo);
  return text;
}

void ShowMenuAt(DeskChip* c, POINT at);

// Where the cursor was on the screen when the message was sent: the window
// may have moved since.
POINT MessagePoint() {
  DWORD at = GetMessagePos();
  POINT p = {(short)LOWORD(at), (short)HIWORD(at)};
  return p;
}

LRESULT CALLBACK ChipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DeskChip* c = ChipOfWindow(window);
  if (!c || !c->host.chip) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      g_api.DrawChip(c->host.chip, window, dc);
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
        if (c->dragging) SaveDesk();
        c->pressed = c->dragging = false;
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
      } else if (g_api.MouseClik) {
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        g_api.MouseClik(c->host.chip, window, &p);
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      // The tip on a day may take the capture while the button is still down:
      // the drag goes on and the next move takes it back.
      if (c->pressed && GetKeyState(VK_LBUTTON) < 0) return 0;
      // Otherwise the chip stays where it got to.
      if (c->pressed && c->dragging) SaveDesk();
      c->pressed = c->dragging = false;
      return 0;
    case WM_CONTEXTMENU: {
      POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
      if (lParam == -1) {
        RECT r;
        GetWindowRect(window, &r);
        at.x = r.left;
        at.y = r.top;
      }
      ShowMenuAt(c, at);
      return 0;
    }
    case WM_DPICHANGED: {
      ScaleChipFont(c, HIWORD(wParam));
      HostUpdate(&g_api, &c->host);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      FitDefaultSize(c);
      return 0;
    }
    case WM_CLOSE:
      return 0;  // a chip goes only through its menu's delete item
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The host's menu items.

int NewChipItem(const DxlApi*, HostChip*) {
  if (NewDeskChip()) SaveDesk();
  return 0;
}

int EditChipItem(const DxlApi* api, HostChip* chip) { return EditChipFromMenu(api, chip); }

int ColorsAndFontItem(const DxlApi* api, HostChip* host) {
  DeskChip* c = ChipOf(host);
  if (!c) return 0;
  LOGFONTA font = host->font;
  CHOOSEFONTA cf;
  memset(&cf, 0, sizeof cf);
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = host->window;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_LIMITSIZE;
  cf.nSizeMin = 4;
  cf.nSizeMax = 192;  // points: the 256 pixels at 96 DPI that the file keeps
  cf.rgbColors = host->textColor;
  if (!ChooseFontA(&cf)) return 0;
  font.lfQuality = host->font.lfQuality;
  host->font = font;
  host->textColor = cf.rgbColors;
  c->fontHeight96 = UnscaleForDpi(font.lfHeight, (int)WindowDpi(host->window));

  static COLORREF custom[16];
  CHOOSECOLORA cc;
  memset(&cc, 0, sizeof cc);
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = host->window;
  cc.rgbResult = host->backColor;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (ChooseColorA(&cc)) host->backColor = cc.rgbResult;
  HostUpdate(api, host);
  return 2;
}

int TopmostItem(const DxlApi*, HostChip* host) {
  DeskChip* c = ChipOf(host);
  if (!c) return 0;
  c->topmost = !c->topmost;
  SetWindowPos(host->window, c->topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return 0;
}

UINT TopmostState(const HostChip* host) {
  DeskChip* c = ChipOf(host);
  return c && c->topmost ? MF_CHECKED : 0;
}

int DeleteItem(const DxlApi*, HostChip* host) {
  if (MessageBoxW(host->window, L"このチップを削除しますか？", L"TarnivelDesk", MB_YESNO | MB_ICONQUESTION) == IDYES)
    PostMessageA(g_mainWindow, WM_DESK_DELETECHIP, (WPARAM)host->window, 0);
  return 0;
}

int ConfigureItem(const DxlApi* api, HostChip* host) {
  if (!api->DrawExConfigure) return 0;
  api->DrawExConfigure(host->window);
  UpdateAllChips("configure");  // the options hold for every chip
  return 0;
}

UINT ConfigureState(const HostChip*) { return g_api.DrawExConfigure ? 0 : MF_GRAYED; }

int AboutItem(const DxlApi* api, HostChip* host) {
  if (api->DrawExAbout) api->DrawExAbout(host->window);
  return 0;
}

UINT AboutState(const HostChip*) { return g_api.DrawExAbout ? 0 : MF_GRAYED; }

int StartupItem(const DxlApi*, HostChip*) {
  SetStartWithWindows(!StartsWithWindows());
  return 0;
}

UINT StartupState(const HostChip*) { return StartsWithWindows() ? MF_CHECKED : 0; }

int QuitItem(const DxlApi*, HostChip*) {
  QuitDesk();
  return 0;
}

// Their access keys are none of the library's menu.
const HostMenuItem kChipItems[] = {
    {L"新しいチップ(&N)", NewChipItem, nullptr},
    {L"チップの設定(&S)...", EditChipItem, nullptr},
    {L"色とフォント(&F)...", ColorsAndFontItem, nullptr},
    {L"常に手前に表示(&P)", TopmostItem, TopmostState},
    {L"チップを削除(&D)", DeleteItem, nullptr},
    {L"描画拡張の設定(&O)...", ConfigureItem, ConfigureState},
    {L"バージョン情報(&I)...", AboutItem, AboutState},
    {L"Windows の起動時に開始(&W)", StartupItem, StartupState},
    {L"終了(&X)", QuitItem, nullptr},
};
const UINT kChipItemCount = sizeof kChipItems / sizeof kChipItems[0];

// The items of the icon's menu: those that need no particular chip.
const UINT kTrayItems[] = {0, 5, 6, 7, 8};

void ShowMenuAt(DeskChip* c, POINT at) {
  HWND window = c->host.window;
  if (TrackChipMenuWith(&g_api, &c->host, at, kChipItems, kChipItemCount) && ChipOfWindow(window)) SaveDesk();
}

}  // namespace

void KeepChipOnAMonitor(DeskChip* c) {
  RECT now;
  if (!GetWindowRect(c->host.window, &now) || MonitorFromRect(&now, MONITOR_DEFAULTTONULL)) return;
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromRect(&now, MONITOR_DEFAULTTONEAREST), &info)) return;
  DeskRect chip = {now.left, now.top, now.right, now.bottom}, placed;
  DeskRect work = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  KeepInWorkArea(chip, work, &placed);
  SetWindowPos(c->host.window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool RegisterChipClass() {
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = ChipProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kChipClass;
  return RegisterClassA(&wc) != 0;
}

DeskChip* CreateDeskChip(const DeskChipRecord& r) {
  // No caption or frame; the one-pixel line is the edge the library lays a chip out in.
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | (r.topmost ? WS_EX_TOPMOST : 0), kChipClass, "Tarnivel", WS_POPUP | WS_BORDER,
                                r.left, r.top, r.width, r.height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window) return nullptr;
  DeskChip* c = new DeskChip();
  HostChipInit(&c->host, window);
  c->topmost = r.topmost;
  c->fontHeight96 = r.fontHeight;
  c->host.textColor = r.textColor;
  c->host.backColor = r.backColor;
  DefaultChipFont(&c->host.font, r.fontHeight, r.fontFace);
  c->host.font.lfWeight = r.fontWeight;
  c->host.font.lfItalic = r.fontItalic;
  c->host.font.lfCharSet = (BYTE)r.fontCharSet;
  c->host.font.lfQuality = (BYTE)r.fontQuality;
  ScaleChipFont(c, WindowDpi(window));
  HostChipSetMemo(&c->host, r.memo.c_str());
  HostChipSetSaveData(&c->host, r.saveData.data(), r.saveData.size());
  if (!c->host.memo || !c->host.saveData || !HostCreate(&g_api, &c->host)) {
    HostChipFree(&c->host);
    delete c;
    return nullptr;
  }
  g_chips.push_back(c);
  FitDefaultSize(c);
  KeepChipOnAMonitor(c);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return c;
}

DeskChip* NewDeskChip() {
  // The file holds no more.
  if (g_chips.size() + g_chipsKeptAside.size() >= (size_t)kDeskMaxChips) return nullptr;
  DeskChipRecord r;
  DefaultDeskChip(&r);
  RECT work;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) SetRect(&work, 0, 0, 640, 480);
  int step = 32 * (int)(g_chips.size() % 8);
  r.left = work.left + 64 + step;
  r.top = work.top + 64 + step;
  r.width = r.height = 160;
  DeskChip* c = CreateDeskChip(r);
  // The library fills the saved data with its defaults.
  if (c) HostGetSaveData(&g_api, &c->host);
  return c;
}

void DeleteDeskChip(DeskChip* c) {
  for (size_t i = 0; i < g_chips.size(); ++i)
    if (g_chips[i] == c) g_chips.erase(g_chips.begin() + i);
  if (c->host.chip) HostDestroy(&g_api, &c->host);
  HostChipFree(&c->host);
  delete c;
}

void DestroyAllChips() {
  while (!g_chips.empty()) DeleteDeskChip(g_chips.back());
}

void UpdateAllChips(const char* why) {
  for (size_t i = 0; i < g_chips.size(); ++i) {
    DeskChip* c = g_chips[i];
    HostUpdate(&g_api, &c->host);
    DeskLog("update chip %u (%s)", (unsigned)(i + 1), why);
    FitDefaultSize(c);  // a month of six weeks is taller
  }
}

void ShowAllChips() {
  for (DeskChip* c : g_chips)
    SetWindowPos(c->host.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  // A topmost chip stays above the others.
  for (DeskChip* c : g_chips)
    if (c->topmost) SetWindowPos(c->host.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

DeskChipRecord RecordOfChip(DeskChip* c) {
  DeskChipRecord r;
  DefaultDeskChip(&r);
  RECT w;
  GetWindowRect(c->host.window, &w);
  r.left = w.left;
  r.top = w.top;
  r.width = w.right - w.left;
  r.height = w.bottom - w.top;
  r.textColor = c->host.textColor;
  r.backColor = c->host.backColor;
  r.fontHeight = c->fontHeight96;
  r.fontWeight = c->host.font.lfWeight;
  r.fontItalic = c->host.font.lfItalic != 0;
  r.fontCharSet = c->host.font.lfCharSet;
  r.fontQuality = c->host.font.lfQuality;
  lstrcpynA(r.fontFace, c->host.font.lfFaceName, sizeof r.fontFace);
  r.topmost = c->topmost;
  r.memo = MemoText(&c->host);
  HostGetSaveData(&g_api, &c->host);
  std::vector<unsigned char> block = HostChipSaveBytes(&c->host);
  // The global block may be larger than the length word says.
  if (block.size() >= 4) {
    uint32_t length;
    memcpy(&length, block.data(), 4);
    if (length <= block.size() - 4) block.resize(4 + length);
  }
  r.saveData = block;
  return r;
}

void TrackTrayMenu(HWND owner, POINT at) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  HostChip none;
  memset(&none, 0, sizeof none);
  for (UINT i : kTrayItems)
    AppendMenuW(menu, MF_STRING | (kChipItems[i].state ? kChipItems[i].state(&none) : 0), 1 + i, kChipItems[i].text);
  SetForegroundWindow(owner);
  UINT command = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (!command) return;
  // The items that need a window take the first chip's, or the icon's owner.
  HostChip* host = g_chips.empty() ? &none : &g_chips.front()->host;
  if (!host->window) host->window = owner;
  kChipItems[command - 1].run(&g_api, host);
}
