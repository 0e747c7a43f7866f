#include "plugin/chiplist.h"

#include "plugin/chipstate.h"
#include "plugin/markcache.h"
#include "tips/tips.h"
#include "today/todayconfig.h"

namespace {

struct KnownChip {
  HGLOBAL chip;
  HWND window;
};

KnownChip* g_chips = nullptr;
int g_chipCount = 0;
int g_chipCapacity = 0;

// A chip window is the host's: an identifier of its own timers is unlikely.
const UINT_PTR kHealTimer = 0x54445248;
enum { kFirstHealSpan = 10000, kHealSpanStep = 10000, kLastHealSpan = 30000 };
HWND g_healWindow = nullptr;
UINT g_healSpan = 0;
// Each retry that fails waits longer, up to the last span: a share that is
// gone may keep every look at it waiting on the network.
UINT g_nextHealSpan = kFirstHealSpan;

int FindChip(HGLOBAL chip) {
  for (int i = 0; i < g_chipCount; ++i)
    if (g_chips[i].chip == chip) return i;
  return -1;
}

void RefreshChip(HGLOBAL chip, HWND chipWindow) {
  ChipLock state(chip);
  if (!state) return;
  RefreshMarks(chipWindow, state.get(), 0, 0);
  if (chipWindow) InvalidateRect(chipWindow, nullptr, FALSE);
}

// The tip window lives as long as the library; a chip window may go at any time.
HWND HealingWindow() {
  if (g_chipCount == 0) return nullptr;
  if (tipWindow) return tipWindow;
  for (int i = 0; i < g_chipCount; ++i)
    if (g_chips[i].window && IsWindow(g_chips[i].window)) return g_chips[i].window;
  return nullptr;
}

void StopHealingTimer() {
  if (g_healWindow) KillTimer(g_healWindow, kHealTimer);
  g_healWindow = nullptr;
}

void CALLBACK HealTick(HWND, UINT, UINT_PTR, DWORD) {
  if (TodayLoadFailed()) {
    LoadTodayConfig();
    if (TodayLoadFailed()) {
      if (g_nextHealSpan < kLastHealSpan) g_nextHealSpan += kHealSpanStep;
    } else {
      RefreshEveryChip(nullptr, nullptr);
    }
  }
  KeepHealingTimer();
}

}  // namespace

void RememberChip(HGLOBAL chip, HWND chipWindow) {
  if (!chip) return;
  if (FindChip(chip) < 0) {
    if (g_chipCount == g_chipCapacity) {
      const int capacity = g_chipCapacity ? g_chipCapacity * 2 : 16;
      const SIZE_T bytes = (SIZE_T)capacity * sizeof(KnownChip);
      HLOCAL grown = g_chips ? LocalReAlloc(g_chips, bytes, LMEM_MOVEABLE) : LocalAlloc(LMEM_FIXED, bytes);
      // Not kept, the chip still heals at its own Update and hover.
      if (!grown) return;
      g_chips = static_cast<KnownChip*>(grown);
      g_chipCapacity = capacity;
    }
    g_chips[g_chipCount].chip = chip;
    ++g_chipCount;
  }
  NoteChipWindow(chip, chipWindow);
  KeepHealingTimer();
}

void NoteChipWindow(HGLOBAL chip, HWND chipWindow) {
  const int i = FindChip(chip);
  if (i >= 0) g_chips[i].window = chipWindow;
}

void ForgetChip(HGLOBAL chip) {
  const int i = chip ? FindChip(chip) : -1;
  if (i < 0) return;
  g_chips[i] = g_chips[--g_chipCount];
  if (g_chipCount == 0) {
    LocalFree(g_chips);
    g_chips = nullptr;
    g_chipCapacity = 0;
  }
  KeepHealingTimer();
}

void ForgetEveryChip() {
  StopHealingTimer();
  if (g_chips) LocalFree(g_chips);
  g_chips = nullptr;
  g_chipCount = g_chipCapacity = 0;
}

void RefreshEveryChip(HGLOBAL chip, HWND chipWindow) {
  // By index: a window's messages may reach a host that makes or frees chips.
  for (int i = 0; i < g_chipCount; ++i) RefreshChip(g_chips[i].chip, g_chips[i].window);
  if (chip && FindChip(chip) < 0) RefreshChip(chip, chipWindow);
}

void ReloadEveryChip(int readCnf, HGLOBAL chip, HWND chipWindow) {
  if (readCnf)
    LoadTodayConfig();
  else
    RetryTodayConfig();
  RefreshEveryChip(chip, chipWindow);
  KeepHealingTimer();
}

void RetryFailedLoad() {
  if (RetryTodayConfig()) RefreshEveryChip(nullptr, nullptr);
  KeepHealingTimer();
}

void KeepHealingTimer() {
  if (!TodayLoadFailed()) {
    g_nextHealSpan = kFirstHealSpan;
    StopHealingTimer();
    return;
  }
  HWND window = HealingWindow();
  if (window == g_healWindow && g_healSpan == g_nextHealSpan) return;
  StopHealingTimer();
  if (window && SetTimer(window, kHealTimer, g_nextHealSpan, HealTick)) {
    g_healWindow = window;
    g_healSpan = g_nextHealSpan;
  }
}
