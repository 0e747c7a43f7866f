#include "host/soak.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/edit.h"
#include "host/hover.h"
#include "host/loader.h"
#include "host/pump.h"
#include "host/menu.h"
#include "host/paint.h"
#include "host/soakcount.h"

namespace {

void SoakUsage() {
  fputs(
      "usage: dxlhost soak LIBRARY [--data DIR] [--scenario NAME[,NAME...]] [--count N]\n"
      "         [--fail CALL:N[,CALL:N...] | --sweep CALL[:FROM] [--max-n N]] [--list]\n"
      "  Copies the library and the scheduler files of DIR (*.CNF, *.TBL) into a\n"
      "  temporary folder, loads it, counts what it creates and releases through\n"
      "  its import address table, and runs host scenarios N times each (default:\n"
      "  one pass), printing per kind: created, released, live at the end, peak.\n"
      "  --fail makes the Nth call of CALL fail (several faults run in turn);\n"
      "  --sweep runs every scenario with the call failing at N = FROM, FROM+1, ...\n"
      "  until the Nth call is not made, one line per case. --list names the\n"
      "  scenarios and the calls that can fail.\n",
      stderr);
}

// --- the host's side -------------------------------------------------------

// A memory DC with a 32-bit picture that every chip fits in.
struct Canvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
};

bool CanvasOpen(Canvas* c) {
  BITMAPINFO info;
  memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 800;
  info.bmiHeader.biHeight = -800;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  c->dc = CreateCompatibleDC(nullptr);
  c->bitmap = c->dc ? CreateDIBSection(c->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  c->previous = c->bitmap ? SelectObject(c->dc, c->bitmap) : nullptr;
  return c->previous != nullptr;
}

void CanvasClose(Canvas* c) {
  if (c->previous) SelectObject(c->dc, c->previous);
  if (c->bitmap) DeleteObject(c->bitmap);
  if (c->dc) DeleteDC(c->dc);
  memset(c, 0, sizeof *c);
}

struct Soak {
  DxlApi api;
  std::string folder;      // the temporary folder, with a trailing backslash
  std::string recordFile;  // what the date command writes
  Canvas canvas;
  HostChipPeek reference;  // a chip of the check options after its Update
  std::string problem;     // a wrong result a scenario saw
  std::string wrong;       // a result that is wrong even while a call fails
};

void Problem(Soak* s, const std::string& what) {
  if (s->problem.empty()) s->problem = what;
}

// Success reported for work that was not done.
void Wrong(Soak* s, const std::string& what) {
  if (s->wrong.empty()) s->wrong = what;
}

void DestroyChip(Soak* s, HostChip* chip) {
  if (chip->chip) HostDestroy(&s->api, chip);
  HostChipFree(chip);
  // The tag window went with the chip window.
  SoakSettle();
}

// A chip as the paint command makes it; on failure nothing is left behind.
bool MakeChip(Soak* s, const PaintOptions& o, HostChip* chip) {
  bool made = CreatePaintChip(&s->api, o, chip);
  HostChipPeek peek;
  if (chip->chip && HostPeekChip(chip->chip, &peek) && (peek.year == 0 || peek.month == 0))
    Wrong(s, "InitializeChip gave a chip that shows no month");
  RECT client;
  // No month fits in less; the default size is several times larger.
  if (made && GetClientRect(chip->window, &client) && (client.right < 60 || client.bottom < 60))
    Wrong(s, "CalcDefaultRect proposed a size too small for a month");
  if (made) return true;
  DestroyChip(s, chip);
  return false;
}

PaintOptions ChipOptions(const char* memo, int view, bool english, int style) {
  PaintOptions o;
  DefaultPaintOptions(&o);
  o.memo = memo;
  o.months = view == 0 ? 1 : 2;
  o.stacked = view == 2;
  o.english = english;
  o.scheduleStyle = style;
  return o;
}

// The options of the check after every case: February and March 1998.
PaintOptions CheckOptions() { return ChipOptions("1998/2", 1, false, 1); }

// Once the failing call works again, an Update to the check's month must
// give the chip exactly the state of a fresh chip.
void CheckChipRecovers(Soak* s, HostChip* chip) {
  SoakEndFault();
  std::vector<unsigned char> block = PaintSaveBlock(CheckOptions());
  HostChipSetSaveData(chip, block.data(), block.size());
  HostChipSetMemo(chip, CheckOptions().memo);
  HostUpdate(&s->api, chip);
  HostChipPeek peek;
  if (!HostPeekChip(chip->chip, &peek)) Wrong(s, "the chip cannot be looked at after the failure");
  else if (memcmp(&peek, &s->reference, sizeof peek)) Wrong(s, "the chip's state stays wrong after the failure");
}

// --- scenarios ---------------------------------------------------------------

// Every view (one month, side by side, stacked), language and schedule style,
// for a month with sample holidays and schedules and for the current month.
bool ScenarioPaint(Soak* s, long count) {
  const int kCombos = 24;
  int n = count < kCombos ? (int)count : kCombos;
  std::vector<HostChip> chips(n);
  std::vector<bool> made(n);
  for (int c = 0; c < n; ++c)
    made[c] = MakeChip(s, ChipOptions(c / 12 ? "" : "1998/2", c % 3, c % 2 != 0, c % 4), &chips[c]);
  for (long i = 0; i < count; ++i) {
    int c = (int)(i % n);
    if (made[c] && !s->api.DrawChip(chips[c].chip, chips[c].window, s->canvas.dc)) Problem(s, "DrawChip failed");
  }
  for (int c = 0; c < n; ++c)
    if (made[c]) DestroyChip(s, &chips[c]);
  return true;
}

// Each update names another month; every fourth switches between one and two months.
bool ScenarioUpdate(Soak* s, long count) {
  static const char* const kMemos[] = {"1998/1", "1998/2", "1998/3",  "2026/11", "2026/12",
                                       "2027/1", "2027/2", "9999/12", "1/1",     "2025/11"};
  HostChip chip;
  if (!MakeChip(s, ChipOptions("1997/12", 1, false, 1), &chip)) return true;
  for (long i = 0; i < count; ++i) {
    HostChipSetMemo(&chip, kMemos[i % 10]);
    if (i % 4 == 3) {
      std::vector<unsigned char> block = PaintSaveBlock(ChipOptions("", (i / 4) % 2 ? 1 : 0, false, 1));
      HostChipSetSaveData(&chip, block.data(), block.size());
    }
    HostUpdate(&s->api, &chip);
  }
  CheckChipRecovers(s, &chip);
  DestroyChip(s, &chip);
  return true;
}

// Created, updated, measured, painted, saved and freed, window and all.
bool ScenarioLifecycle(Soak* s, long count) {
  for (long i = 0; i < count; ++i) {
    HostChip chip;
    if (MakeChip(s, ChipOptions("1998/2", (int)(i % 3), i % 2 != 0, (int)(i % 4)), &chip)) {
      HostUpdate(&s->api, &chip);
      s->api.DrawChip(chip.chip, chip.window, s->canvas.dc);
      HostGetSaveData(&s->api, &chip);
      SoakHandOver(chip.saveData);
      DestroyChip(s, &chip);
    }
  }
  return true;
}

void SetBlock(HostChip* chip, const std::vector<unsigned char>& block) {
  HostChipSetSaveData(chip, block.empty() ? nullptr : block.data(), block.size());
}

// Saved data in the current and the older layout, an empty block and none at
// all: what GetSaveData writes, fed back, comes out the same.
bool ScenarioSaveData(Soak* s, long count) {
  HostChip chip;
  if (!MakeChip(s, ChipOptions("1998/2", 0, false, 1), &chip)) return true;
  PaintOptions colourful = ChipOptions("", 2, true, 3);
  colourful.todayColor = RGB(1, 2, 3);
  colourful.holidayColor = RGB(200, 100, 50);
  const std::vector<unsigned char> current = PaintSaveBlock(colourful);
  const std::vector<unsigned char> older = {13, 0, 0, 0, 0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 0,
                                            0x77, 0x88, 0x99, 0, 0x01, 0, 0, 0};
  const std::vector<unsigned char> empty = {0, 0, 0, 0};
  for (long i = 0; i < count; ++i) {
    int variant = (int)(i % 4);
    if (variant == 0) SetBlock(&chip, current);
    if (variant == 1) SetBlock(&chip, older);
    if (variant == 2) SetBlock(&chip, empty);
    if (variant == 3) {
      if (chip.saveData) GlobalFree(chip.saveData);
      chip.saveData = nullptr;
    }
    HostUpdate(&s->api, &chip);
    int saved = HostGetSaveData(&s->api, &chip);
    SoakHandOver(chip.saveData);
    if (!saved) continue;
    std::vector<unsigned char> first = HostChipSaveBytes(&chip);
    if (first.size() < 4 + 24 || first[0] != 24) Wrong(s, "GetSaveData reported a block it did not write");
    if (variant == 0 && first != current) Problem(s, "saved data differs from the block given");
    HostUpdate(&s->api, &chip);
    saved = HostGetSaveData(&s->api, &chip);
    SoakHandOver(chip.saveData);
    if (!saved) continue;
    if (HostChipSaveBytes(&chip).size() < 4 + 24 || HostChipSaveBytes(&chip)[0] != 24)
      Wrong(s, "GetSaveData reported a block it did not write");
    else if (HostChipSaveBytes(&chip) != first) Problem(s, "saved data changed on a round trip");
  }
  DestroyChip(s, &chip);
  return true;
}

// Clicks on a day of February 1998; the date command records its command line.
bool ScenarioClick(Soak* s, long count) {
  HostChip chip;
  if (!MakeChip(s, ChipOptions("1998/2", 0, false, 1), &chip)) return true;
  RECT client;
  GetClientRect(chip.window, &client);
  POINT day = {client.right / 2, client.bottom * 2 / 3};
  DeleteFileA(s->recordFile.c_str());
  long beeps = SoakBeeps();
  for (long i = 0; i < count && s->api.MouseClik; ++i) s->api.MouseClik(chip.chip, chip.window, &day);
  if (count > 0 && !SoakFaultFired()) {
    bool recorded = false;
    for (int wait = 0; wait < 100 && !recorded; ++wait) {
      recorded = GetFileAttributesA(s->recordFile.c_str()) != INVALID_FILE_ATTRIBUTES;
      if (!recorded) Sleep(50);
    }
    if (!recorded) Problem(s, "the date command did not run");
    if (SoakBeeps() != beeps) Problem(s, "a click beeped");
  }
  DestroyChip(s, &chip);
  return true;
}

// Menu commands a user picks: two months, stacked, reload the tables, reload
// TODAY.CNF, edit TODAY.CNF, edit schedule file 1 (the editor is the helper).
const UINT kMenuCommands[] = {10000, 10001, 10003, 10004, 10007, 10008, 10001, 10000};

// The menu asked for and given back as the host does, then a command carried
// out, the chip resized or repainted as its result says, and painted.
bool ScenarioMenu(Soak* s, long count) {
  HostChip chip;
  if (!MakeChip(s, ChipOptions("1998/2", 0, false, 1), &chip)) return true;
  for (long i = 0; i < count && s->api.GetDrawExMenu && s->api.DoDrawExMenu; ++i) {
    HMENU menu = s->api.GetDrawExMenu(chip.chip);
    if (menu) DestroyMenu(menu);  // the host owns what it is given
    UINT command = kMenuCommands[i % (sizeof kMenuCommands / sizeof kMenuCommands[0])];
    ApplyMenuResult(&s->api, &chip, s->api.DoDrawExMenu(chip.chip, chip.window, command));
    s->api.DrawChip(chip.chip, chip.window, s->canvas.dc);
  }
  // A reload that failed leaves the tables unread until the user reloads again.
  SoakEndFault();
  if (s->api.DoDrawExMenu) s->api.DoDrawExMenu(chip.chip, chip.window, 10004);
  DestroyChip(s, &chip);
  return true;
}

// The cursor on a day of the chip shown on the desktop, and the move the
// chip window gets for it.
void HoverDay(HostChip* chip, int day) {
  POINT at;
  HoverDate date = {1998, 2, day};
  if (!FindDayOnScreen(chip, date, &at)) return;
  SetCursorPos(at.x, at.y);
  ScreenToClient(chip->window, &at);
  SendMessageA(chip->window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  PumpMessages();
}

// Hovers over the holiday of February 1998 (the tip shows its name) and off
// it onto a day without marks (the tip hides), in turn.
bool ScenarioHover(Soak* s, long count) {
  HostChip chip;
  if (!MakeChip(s, ChipOptions("1998/2", 0, false, 1), &chip)) return true;
  SetWindowPos(chip.window, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  PumpMessages();
  // The sample tables mark 11 February (a holiday); a day without marks hides the tip.
  int plain = 1;
  const HostChipPeek& marks = s->reference;
  while (plain < 28 && ((marks.holidayMask[0] | marks.scheduleMask[0]) & (1u << plain))) ++plain;
  for (long i = 0; i < count; ++i) {
    HoverDay(&chip, i % 2 ? plain : 11);
    if (!SoakFaultFired() && (FindShownTip() != nullptr) != (i % 2 == 0))
      Problem(s, i % 2 ? "the tip stayed over a plain day" : "no tip over the holiday");
  }
  HoverDay(&chip, plain);
  ShowWindow(chip.window, SW_HIDE);
  DestroyChip(s, &chip);
  return true;
}

// Presses a button of the chip settings dialog (the one with the year field)
// or of the configuration dialog (the one with the TODAY switch) once it is
// shown; cancels any dialog of this thread after two seconds.
struct DialogPress {
  int button;
  int ticks;
};
DialogPress g_press;

BOOL CALLBACK PressInDialog(HWND window, LPARAM) {
  char cls[16];
  if (!IsWindowVisible(window) || !GetClassNameA(window, cls, sizeof cls) || strcmp(cls, "#32770")) return TRUE;
  HWND button = GetDlgItem(window, g_press.button);
  if (g_press.ticks > 100) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  else if ((GetDlgItem(window, 1201) || GetDlgItem(window, 1101)) && button) SendMessageA(button, BM_CLICK, 0, 0);
  return TRUE;
}

void CALLBACK DialogPressTick(HWND, UINT, UINT_PTR, DWORD) {
  ++g_press.ticks;
  EnumThreadWindows(GetCurrentThreadId(), PressInDialog, 0);
}

// Runs open, which shows a dialog modally, while a timer presses the button in
// it; false (and a wrong result) when the dialog had to be cancelled instead.
template <class Open>
bool PressWhileOpen(Soak* s, int button, Open open) {
  g_press.button = button;
  g_press.ticks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, DialogPressTick);
  open();
  KillTimer(nullptr, timer);
  if (g_press.ticks <= 100) return true;
  Wrong(s, "the dialog stayed open");
  return false;
}

// The chip settings dialog opened on the chip's memo text and saved data and
// closed with OK and Cancel in turn; after OK the chip follows at its Update.
bool ScenarioEdit(Soak* s, long count) {
  HostChip chip;
  if (!MakeChip(s, ChipOptions("1998/2", 0, false, 1), &chip)) return true;
  for (long i = 0; i < count && s->api.EditHelper; ++i) {
    int result = 0;
    if (!PressWhileOpen(s, i % 2 ? IDCANCEL : IDOK, [&] { result = HostEditChip(&s->api, &chip, chip.window); }))
      continue;
    if (!SoakFaultFired() && result != g_press.button) Problem(s, "the dialog did not close as pressed");
  }
  DestroyChip(s, &chip);
  return true;
}

// The configuration dialog opened from the chip and closed with OK and Cancel
// in turn; the chip is updated afterwards as the host does.
bool ScenarioConfigure(Soak* s, long count) {
  HostChip chip;
  if (!MakeChip(s, ChipOptions("1998/2", 0, false, 1), &chip)) return true;
  for (long i = 0; i < count && s->api.DrawExConfigure; ++i) {
    PressWhileOpen(s, i % 2 ? IDCANCEL : IDOK, [&] {
      s->api.DrawExConfigure(chip.window);
      HostUpdate(&s->api, &chip);
    });
  }
  DestroyChip(s, &chip);
  return true;
}

struct Scenario {
  const char* name;
  long count;  // one pass
  const char* what;
  bool (*run)(Soak* s, long count);
};

const Scenario kScenarios[] = {
    {"paint", 24, "paints of 24 chips: every view, style and language, with sample data and with today",
     ScenarioPaint},
    {"update", 12, "updates of a chip, each to another month", ScenarioUpdate},
    {"lifecycle", 6, "chips created, updated, painted, saved and freed", ScenarioLifecycle},
    {"savedata", 4, "saved-data round trips: current and older layout, empty block, none", ScenarioSaveData},
    {"click", 2, "clicks on a day that start the date command", ScenarioClick},
    {"menu", 8, "menu requests and commands: views, reloads, editing the TODAY files", ScenarioMenu},
    {"hover", 4, "hovers over a holiday and off it: the tip shown and hidden", ScenarioHover},
    {"edit", 4, "chip settings dialogs opened and closed with OK and Cancel", ScenarioEdit},
    {"configure", 4, "configuration dialogs opened and closed with OK and Cancel", ScenarioConfigure},
};

// --- checks --------------------------------------------------------------------

// What a fresh chip looks like: the check after every case.
struct Picture {
  std::vector<uint8_t> rgb;
  HostChipPeek peek;
};

bool TakePicture(Soak* s, Picture* picture) {
  HostChip chip;
  bool ok = MakeChip(s, CheckOptions(), &chip);
  if (ok) {
    int w = 0, h = 0;
    ok = PaintChipPixels(&s->api, &chip, &w, &h, &picture->rgb) && HostPeekChip(chip.chip, &picture->peek);
    DestroyChip(s, &chip);
  }
  return ok;
}

bool SamePicture(const Picture& a, const Picture& b) {
  return a.rgb == b.rgb && !memcmp(&a.peek, &b.peek, sizeof a.peek);
}

// Kinds with something live after the scenario, as "kind=n,...".
std::string LiveKinds() {
  std::string out;
  const SoakCount* counts = SoakCounts();
  for (int k = 0; k < kSoakKindCount; ++k) {
    if (counts[k].live == 0) continue;
    char item[64];
    snprintf(item, sizeof item, "%s%s=%ld", out.empty() ? "" : ",", SoakKindName(k), counts[k].live);
    out += item;
  }
  return out;
}

void PrintCounts(const SoakCount* counts) {
  printf("  %-16s %10s %10s %6s %6s %8s\n", "kind", "created", "released", "live", "peak", "foreign");
  for (int k = 0; k < kSoakKindCount; ++k) {
    const SoakCount& c = counts[k];
    if (!c.created && !c.released && !c.foreign) continue;
    printf("  %-16s %10ld %10ld %6ld %6ld %8ld\n", SoakKindName(k), c.created, c.released, c.live, c.peak,
           c.foreign);
  }
}

// --- one run ---------------------------------------------------------------

volatile LONG g_caseSerial = 0;
char g_caseName[160];
const DWORD kCaseSeconds = 60;

// A case that takes far longer than any should is reported as hanging.
DWORD WINAPI Watchdog(void*) {
  LONG seen = -1;
  DWORD since = GetTickCount();
  for (;;) {
    Sleep(500);
    LONG now = g_caseSerial;
    if (now != seen) {
      seen = now;
      since = GetTickCount();
    } else if (now > 0 && GetTickCount() - since > kCaseSeconds * 1000) {
      printf("hang %s\n", g_caseName);
      fflush(stdout);
      ExitProcess(4);
    }
  }
}

// The module and offset of the address too, which scripts/symbolize.sh names.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  void* at = info->ExceptionRecord->ExceptionAddress;
  char module[MAX_PATH] = "?";
  unsigned long offset = 0;
  MEMORY_BASIC_INFORMATION region;
  if (VirtualQuery(at, &region, sizeof region) && region.AllocationBase &&
      GetModuleFileNameA(static_cast<HMODULE>(region.AllocationBase), module, sizeof module))
    offset = (unsigned long)(static_cast<char*>(at) - static_cast<char*>(region.AllocationBase));
  const char* name = module;
  for (const char* p = module; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  printf("crash %s exception %08lx at %p (%s+0x%lx)\n", g_caseName, info->ExceptionRecord->ExceptionCode, at, name,
         offset);
  fflush(stdout);
  ExitProcess(3);
}

struct CaseResult {
  bool leak;
  std::string live;
};

CaseResult RunCase(Soak* s, const Scenario& sc, long count) {
  CaseResult r;
  s->problem.clear();
  s->wrong.clear();
  SoakReset();
  sc.run(s, count);
  SoakSettle();
  r.live = LiveKinds();
  r.leak = !r.live.empty();
  return r;
}

// Without the fault: does a fresh chip still work, and leave nothing either?
bool CheckAfter(Soak* s, const Picture& reference, std::string* why) {
  SoakReset();
  Picture now;
  bool ok = TakePicture(s, &now);
  SoakSettle();
  std::string live = LiveKinds();
  if (!ok) *why = "a fresh chip cannot be painted";
  else if (!SamePicture(now, reference)) *why = "a fresh chip looks different";
  else if (!live.empty()) *why = "a fresh chip leaves " + live;
  return why->empty();
}

struct Fault {
  std::string call;  // empty: none
  long at;
};

// One scenario with one fault (or none), then the check on a fresh chip.
// Prints the table, or in a sweep one line; false when something went wrong.
bool RunOneCase(Soak* s, const Scenario& sc, long n, const Fault& fault, bool sweep, const Picture& reference,
                bool* firedOut) {
  snprintf(g_caseName, sizeof g_caseName, "%s %s:%ld", sc.name, fault.call.empty() ? "none" : fault.call.c_str(),
           fault.at);
  if (sweep) printf("start %s\n", g_caseName);
  InterlockedIncrement(&g_caseSerial);
  SoakSetFault(fault.call.empty() ? nullptr : fault.call.c_str(), fault.at);
  CaseResult r = RunCase(s, sc, n);
  bool fired = SoakFaultFired();
  long calls = SoakFaultCalls();
  std::vector<std::string> messages = SoakMessages();
  long beeps = SoakBeeps();
  std::string problem = s->problem;
  std::string wrong = s->wrong;
  SoakCount counts[kSoakKindCount];
  memcpy(counts, SoakCounts(), sizeof counts);
  SoakSetFault(nullptr, 0);
  std::string why;
  bool after = CheckAfter(s, reference, &why);
  // What a scenario sees is wrong only when nothing failed on purpose.
  bool bad = r.leak || !after || !wrong.empty() || (!fired && !problem.empty());
  if (!sweep) {
    printf("\nscenario %s: %ld %s\n", sc.name, n, sc.what);
    if (!fault.call.empty())
      printf("  fault: call %ld of %s fails (%s)\n", fault.at, fault.call.c_str(), fired ? "made" : "not made");
    PrintCounts(counts);
    for (const std::string& m : messages) printf("  message: %s\n", m.c_str());
    if (beeps) printf("  beeps: %ld\n", beeps);
    if (!problem.empty()) printf("  seen: %s\n", problem.c_str());
    if (!wrong.empty()) printf("  wrong: %s\n", wrong.c_str());
    printf("  result: %s%s%s%s\n", bad ? "FAILED" : "ok", r.leak ? ", live at the end: " : "", r.live.c_str(),
           after ? "" : (", afterwards " + why).c_str());
  } else {
    printf("case %s %s calls=%ld messages=%u beeps=%ld leak=%s after=%s wrong=%s%s%s\n", g_caseName,
           fired ? "fired" : "not-reached", calls, (unsigned)messages.size(), beeps, r.leak ? r.live.c_str() : "none",
           after ? "ok" : "FAILED", wrong.empty() ? "none" : "yes", problem.empty() ? "" : " seen=",
           problem.c_str());
    if (!wrong.empty()) printf("wrong %s %s\n", g_caseName, wrong.c_str());
    for (const std::string& m : messages) printf("message %s %s\n", g_caseName, m.c_str());
  }
  if (firedOut) *firedOut = fired;
  return !bad;
}

// Faults "CALL:N[,CALL:N...]" (N defaults to 1); false for an unknown call or a bad number.
bool ParseFaults(const char* text, std::vector<Fault>* faults) {
  std::string list = text;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    std::string spec = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t colon = spec.find(':');
    Fault f = {spec.substr(0, colon), colon == std::string::npos ? 1 : atol(spec.c_str() + colon + 1)};
    bool known = SoakSetFault(f.call.c_str(), 1);
    SoakSetFault(nullptr, 0);
    if (f.at <= 0 || f.call.empty() || !known) return false;
    faults->push_back(f);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

// --- the temporary folder ---------------------------------------------------

bool CopyInto(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

void CopyData(const std::string& dir, const std::string& folder) {
  static const char* const kPatterns[] = {"*.CNF", "*.TBL"};
  for (const char* pattern : kPatterns) {
    WIN32_FIND_DATAA found;
    std::string base = dir + "\\";
    HANDLE h = FindFirstFileA((base + pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) continue;
    do {
      CopyInto(base + found.cFileName, folder + found.cFileName);
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
}

}  // namespace

void RemoveStagedFolder(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

namespace {

bool MakeFolder(std::string* folder) {
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) return false;
  char name[MAX_PATH + 64];
  snprintf(name, sizeof name, "%starnivel-soak-%lu-%lu\\", temp, GetCurrentProcessId(), GetTickCount());
  if (!CreateDirectoryA(name, nullptr)) return false;
  *folder = name;
  return true;
}

// The date command and the editor: the helper that records its command line,
// when it is built beside dxlhost; otherwise a program that does not exist.
void WriteSettings(Soak* s, const std::string& library) {
  std::string ini = library.substr(0, library.rfind('.')) + ".ini";
  char user[256];
  DWORD size = sizeof user;
  if (!GetUserNameA(user, &size)) lstrcpyA(user, "Default");
  std::string helper = ProgramDirectory() + "recordargs.exe";
  if (GetFileAttributesA(helper.c_str()) == INVALID_FILE_ATTRIBUTES) helper = s->folder + "no-such-program.exe";
  std::string program = "\"" + helper + "\" %Y/%M/%D";
  WritePrivateProfileStringA(user, "Program", program.c_str(), ini.c_str());
  WritePrivateProfileStringA(user, "Editor", ("\"" + helper + "\"").c_str(), ini.c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
  SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", s->recordFile.c_str());
}

}  // namespace

bool StageLibrary(const char* library, const char* dataDir, std::string* folder, std::string* copy) {
  if (!MakeFolder(folder)) return false;
  char full[MAX_PATH];
  const char* slash = strrchr(library, '\\');
  if (!slash) slash = strrchr(library, '/');
  *copy = *folder + (slash ? slash + 1 : library);
  if (!GetFullPathNameA(library, sizeof full, full, nullptr) || !CopyInto(full, *copy)) {
    RemoveStagedFolder(*folder);
    return false;
  }
  if (dataDir) CopyData(dataDir, *folder);
  return true;
}

int RunSoakCommand(int argc, char** argv) {
  if (argc < 1) {
    SoakUsage();
    return 2;
  }
  const char* library = argv[0];
  const char* data = nullptr;
  std::string only;
  long count = 0;
  std::vector<Fault> faults;
  std::string sweepCall;
  long sweepFrom = 1, maxN = 0;
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!strcmp(a, "--list")) {
      list = true;
      continue;
    }
    if (!v) {
      SoakUsage();
      return 2;
    }
    ++i;
    if (!strcmp(a, "--data")) data = v;
    else if (!strcmp(a, "--scenario")) only = std::string(",") + v + ",";
    else if (!strcmp(a, "--count")) count = atol(v);
    else if (!strcmp(a, "--max-n")) maxN = atol(v);
    else if (!strcmp(a, "--fail") || !strcmp(a, "--sweep")) {
      std::vector<Fault> parsed;
      if (!ParseFaults(v, &parsed) || (!strcmp(a, "--sweep") && parsed.size() != 1)) {
        fprintf(stderr, "dxlhost soak: unknown call or bad number in %s\n", v);
        return 2;
      }
      if (!strcmp(a, "--fail")) faults = parsed;
      else sweepCall = parsed[0].call, sweepFrom = parsed[0].at;
    } else {
      SoakUsage();
      return 2;
    }
  }
  std::vector<const Scenario*> chosen;
  for (const Scenario& sc : kScenarios)
    if (only.empty() || only.find("," + std::string(sc.name) + ",") != std::string::npos) chosen.push_back(&sc);
  if (chosen.empty()) {
    fprintf(stderr, "dxlhost soak: no such scenario in %s\n", only.c_str());
    return 2;
  }

  Soak s;
  std::string copy;
  if (!StageLibrary(library, data, &s.folder, &copy)) {
    fprintf(stderr, "dxlhost soak: cannot copy %s into a temporary folder\n", library);
    return 1;
  }
  s.recordFile = s.folder + "clicked.txt";
  WriteSettings(&s, copy);

  int result = 1;
  if (LoadDxlOrComplain(copy.c_str(), &s.api) && CanvasOpen(&s.canvas)) {
    int hooked = SoakInstallHooks(s.api.module);
    if (list) {
      for (const Scenario& sc : kScenarios) printf("scenario %s %ld %s\n", sc.name, sc.count, sc.what);
      for (int i = 0; i < SoakFailableCount(); ++i)
        if (SoakFailableImported(i)) printf("call %s\n", SoakFailableName(i));
      result = 0;
    } else {
      printf("soak: %s, %d imports counted, temporary folder %s\n", copy.c_str(), hooked, s.folder.c_str());
      printf("kept for the whole process by design: the tip window, made while loading\n");
      SetUnhandledExceptionFilter(ReportCrash);
      // Long soaks without a fault take as long as they take.
      if (!faults.empty() || !sweepCall.empty()) CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
      if (faults.empty()) faults.push_back(Fault{std::string(), 0});
      Picture reference;
      SoakReset();
      bool referenceOk = TakePicture(&s, &reference);
      s.reference = reference.peek;
      if (!referenceOk) printf("soak: a chip cannot be painted at all\n");
      int failures = referenceOk ? 0 : 1;
      for (const Scenario* sc : chosen) {
        long n = count > 0 ? count : sc->count;
        if (sweepCall.empty()) {
          for (const Fault& f : faults)
            if (!RunOneCase(&s, *sc, n, f, false, reference, nullptr)) ++failures;
          continue;
        }
        for (long at = sweepFrom;; ++at) {
          bool fired = false;
          if (!RunOneCase(&s, *sc, n, Fault{sweepCall, at}, true, reference, &fired)) ++failures;
          if (!fired || (maxN > 0 && at >= maxN)) break;
        }
        printf("sweep-end %s %s\n", sc->name, sweepCall.c_str());
      }
      g_caseSerial = 0;
      result = failures ? 1 : 0;
      printf("\nsoak: %s\n", failures ? "FAILED" : "ok");
    }
  }
  CanvasClose(&s.canvas);
  UnloadDxl(&s.api);
  RemoveStagedFolder(s.folder);
  return result;
}
