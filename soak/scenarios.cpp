#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/hover.h"
#include "host/edit.h"
#include "host/menu.h"
#include "host/pump.h"
#include "soak/accounting.h"
#include "soak/faults.h"
#include "soak/scenario.h"

namespace {

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

}  // namespace

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
const int kScenarioCount = sizeof kScenarios / sizeof kScenarios[0];
