// TarnivelDesk: one instance a user (and data folder), the hidden main
// window with the notification-area icon, the midnight timer, the start.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "desk/chipwindow.h"
#include "desk/deskchips.h"
#include "desk/deskgeometry.h"
#include "desk/deskmenu.h"
#include "desk/deskstore.h"

namespace {

const char kMainClass[] = "TarnivelDeskMain";
const UINT_PTR kMidnightTimer = 1;
const UINT kTrayId = 1;
UINT g_taskbarCreated;

#ifndef PBT_APMRESUMEAUTOMATIC
#define PBT_APMRESUMEAUTOMATIC 0x0012
#endif

void Complain(const wchar_t* text) { DeskMessageBox(nullptr, text, MB_OK | MB_ICONERROR); }

// The name the instance goes by: the user's session and the data folder.
void InstanceName(const std::string& folder, char* out, size_t size) {
  uint32_t h = 2166136261u;
  for (char ch : folder) h = (h ^ (unsigned char)(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch)) * 16777619u;
  snprintf(out, size, "TarnivelDesk-%08lx", (unsigned long)h);
}

// The icon's record: the fields that name it.
NOTIFYICONDATAW TrayIconData(HWND window) {
  NOTIFYICONDATAW nid;
  memset(&nid, 0, sizeof nid);
  nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
  nid.hWnd = window;
  nid.uID = kTrayId;
  return nid;
}

void AddTrayIcon(HWND window) {
  NOTIFYICONDATAW nid = TrayIconData(window);
  nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  nid.uCallbackMessage = WM_DESK_TRAY;
  nid.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  wcscpy(nid.szTip, L"Tarnivel");
  Shell_NotifyIconW(NIM_ADD, &nid);
}

void RemoveTrayIcon(HWND window) {
  NOTIFYICONDATAW nid = TrayIconData(window);
  Shell_NotifyIconW(NIM_DELETE, &nid);
}

void ArmMidnightTimer(HWND window) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  SetTimer(window, kMidnightTimer, MsUntilAfterMidnight(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds),
           nullptr);
}

void DayMayHaveChanged(HWND window, const char* why) {
  UpdateAllChips(why);
  ArmMidnightTimer(window);
}

// The point a chip asked for from the icon goes near: the cursor's.
POINT CursorPoint() {
  POINT p = {0, 0};
  GetCursorPos(&p);
  return p;
}

// Closes the program's open dialogs and boxes as Cancel (a box without
// Cancel as No), so that a quit waiting for them goes ahead.
BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  char cls[16];
  if (!GetClassNameA(window, cls, sizeof cls) || strcmp(cls, "#32770")) return TRUE;
  WPARAM button = GetDlgItem(window, IDCANCEL) || !GetDlgItem(window, IDNO) ? IDCANCEL : IDNO;
  PostMessageA(window, WM_COMMAND, button, 0);
  return TRUE;
}

void CancelOpenDialogs() {
  EndMenu();
  EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
}

void Quit(HWND window) {
  SaveDesk();
  KillTimer(window, kMidnightTimer);
  RemoveTrayIcon(window);
  DestroyAllChips();
  DestroyWindow(window);
}

// What waited for the program's own loop, now that nothing else runs.
void RunPending(HWND window) {
  if (DeskBusy()) return;
  if (g_desk.quitPending) {
    Quit(window);
    return;
  }
  if (g_desk.displayPending) {
    g_desk.displayPending = false;
    for (const auto& c : g_desk.chips) BringChipIntoSight(c.get());
    g_desk.savePending = true;
  }
  for (HWND chip : g_desk.deletePending) {
    DeleteDeskChip(chip);
    g_desk.savePending = true;
  }
  g_desk.deletePending.clear();
  if (g_desk.showPending) {
    g_desk.showPending = false;
    if (g_desk.chips.empty() && NewDeskChip(CursorPoint())) g_desk.savePending = true;
    ShowAllChips();
  }
  if (g_desk.savePending) SaveDesk();
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == g_taskbarCreated && g_taskbarCreated) {
    AddTrayIcon(window);
    return 0;
  }
  switch (message) {
    case WM_TIMER:
      if (wParam == kMidnightTimer) DayMayHaveChanged(window, "midnight");
      return 0;
    case WM_TIMECHANGE:
      DayMayHaveChanged(window, "time change");
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) DayMayHaveChanged(window, "resume");
      return TRUE;
    case WM_DISPLAYCHANGE:
      g_desk.displayPending = true;
      RunPending(window);
      return 0;
    case WM_DESK_SHOWCHIPS:
      g_desk.showPending = true;
      RunPending(window);
      return 0;
    case WM_DESK_DELETECHIP:
      g_desk.deletePending.push_back((HWND)wParam);
      RunPending(window);
      return 0;
    case WM_DESK_PENDING:
      RunPending(window);
      return 0;
    case WM_DESK_TRAY:
      if (lParam == WM_RBUTTONUP || lParam == WM_CONTEXTMENU) {
        ShowTrayMenu(window, CursorPoint());
      } else if (lParam == WM_LBUTTONUP || lParam == WM_LBUTTONDBLCLK) {
        g_desk.showPending = true;
        RunPending(window);
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends whatever is open: what the chips hold now is kept.
      if (wParam) SaveDeskAtSessionEnd();
      return 0;
    case WM_CLOSE:
      // Inside a menu, dialog or box the quit waits; they are closed as Cancel.
      g_desk.quitPending = true;
      if (DeskBusy()) CancelOpenDialogs();
      else RunPending(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The exports a chip cannot do without, named in the message when missing.
bool CheckExports(const DxlApi& api, std::string* missing) {
  const struct {
    const char* name;
    bool present;
  } needed[] = {{"InitializeChip", api.InitializeChip != nullptr}, {"UnInitializeChip", api.UnInitializeChip != nullptr},
                {"Update", api.Update != nullptr},                 {"GetSaveData", api.GetSaveData != nullptr},
                {"CalcDefaultRect", api.CalcDefaultRect != nullptr}, {"DrawChip", api.DrawChip != nullptr}};
  missing->clear();
  for (const auto& n : needed)
    if (!n.present) *missing += std::string(missing->empty() ? "" : ", ") + n.name;
  return missing->empty();
}

bool LoadLibraryOrComplain(const std::string& path) {
  bool loaded = LoadDxl(path.c_str(), &g_desk.api);
  DWORD error = GetLastError();
  wchar_t text[2048];
  if (!g_desk.api.module) {
    wchar_t reason[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason / sizeof reason[0], nullptr);
    swprintf(text, sizeof text / sizeof text[0], L"描画拡張 Tarnivel.dxl を読み込めません。\n\n%ls\n\nエラー %lu: %ls",
             WideFromAnsi(path).c_str(), error, reason);
    Complain(text);
    return false;
  }
  std::string missing;
  if (!CheckExports(g_desk.api, &missing) || !loaded) {
    swprintf(text, sizeof text / sizeof text[0],
             L"描画拡張 Tarnivel.dxl に、チップに要る関数がありません。\n\n%ls\n\nありません: %ls",
             WideFromAnsi(g_desk.api.file).c_str(), WideFromAnsi(missing).c_str());
    Complain(text);
    UnloadDxl(&g_desk.api);
    return false;
  }
  return true;
}

// The chips kept, or one new chip; false when the kept file was refused.
bool StartChips() {
  std::vector<DeskChipRecord> records;
  if (!LoadDesk(&records)) return false;
  for (const DeskChipRecord& r : records) {
    DeskChip* c = CreateDeskChip(r);
    if (c) ShowWindow(c->host.window, SW_SHOWNOACTIVATE);
    else g_desk.keptAside.push_back(r);
  }
  g_desk.started = true;
  // On the primary monitor, whose corner is the screen's origin.
  if (g_desk.chips.empty()) NewDeskChip(POINT{64, 64});
  SaveDesk();
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Relative names in the library's settings and the scheduler's files mean
  // the same however the program was started: from its own folder.
  const std::string folder = ProgramDirectory();
  SetCurrentDirectoryA(folder.c_str());

  char name[64], mutexName[80];
  InstanceName(DeskFolder(), name, sizeof name);
  snprintf(mutexName, sizeof mutexName, "Local\\%s", name);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName);
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    // The running one may still be starting: its window comes soon.
    for (int i = 0; i < 100; ++i) {
      HWND running = FindWindowA(kMainClass, name);
      if (running) {
        DWORD pid = 0;
        GetWindowThreadProcessId(running, &pid);
        AllowSetForegroundWindow(pid);
        PostMessageA(running, WM_DESK_SHOWCHIPS, 0, 0);
        break;
      }
      Sleep(100);
    }
    CloseHandle(mutex);
    return 0;
  }

  if (!LoadLibraryOrComplain(folder + "Tarnivel.dxl")) return 1;
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.lpszClassName = kMainClass;
  g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  if (!RegisterClassA(&wc) || !RegisterChipClass() ||
      !(g_desk.mainWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kMainClass, name, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                            instance, nullptr))) {
    Complain(L"TarnivelDesk のウィンドウを作れません。");
    UnloadDxl(&g_desk.api);
    return 1;
  }

  if (!StartChips()) {
    DestroyWindow(g_desk.mainWindow);
    UnloadDxl(&g_desk.api);
    return 1;
  }
  AddTrayIcon(g_desk.mainWindow);
  ArmMidnightTimer(g_desk.mainWindow);
  RunPending(g_desk.mainWindow);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  UnloadDxl(&g_desk.api);
  CloseHandle(mutex);
  return 0;
}
