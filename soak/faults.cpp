#include "soak/faults.h"

#include <string.h>

#include "soak/hooks.h"

namespace soakhook {

namespace {

const char* const kFailableNames[kFailableCount] = {
    "CreateFontIndirectA", "CreateFontA", "CreateSolidBrush", "CreateBrushIndirect", "CreateHatchBrush",
    "CreatePatternBrush", "CreatePen", "CreatePenIndirect", "CreateCompatibleBitmap", "CreateBitmap",
    "CreateDIBSection", "CreateCompatibleDC", "CreateDCA", "SelectObject", "GetDC", "GetWindowDC", "GetDCEx",
    "BeginPaint", "CreateWindowExA", "CreateMenu", "CreatePopupMenu", "LoadMenuA", "SetWindowLongA",
    "SetWindowsHookExA", "GlobalAlloc", "GlobalReAlloc", "GlobalLock", "LocalAlloc", "LocalReAlloc", "LocalLock",
    "CreateFileA", "ReadFile", "GetFileSize", "FindFirstFileA", "CreateProcessA",
};

bool g_imported[kFailableCount];
int g_faultCall = -1;
long g_faultAt = 0;
long g_faultCalls = 0;
bool g_faultFired = false;

}  // namespace

bool Fail(int call, DWORD error) {
  if (call != g_faultCall) return false;
  if (++g_faultCalls != g_faultAt) return false;
  g_faultFired = true;
  SetLastError(error);
  return true;
}

void MarkImported(const char* name) {
  for (int i = 0; i < kFailableCount; ++i)
    if (!strcmp(kFailableNames[i], name)) g_imported[i] = true;
}

}  // namespace soakhook

using namespace soakhook;

int SoakFailableCount() { return kFailableCount; }
const char* SoakFailableName(int i) { return i >= 0 && i < kFailableCount ? kFailableNames[i] : ""; }
bool SoakFailableImported(int i) { return i >= 0 && i < kFailableCount && g_imported[i]; }

bool SoakSetFault(const char* name, long n) {
  g_faultCall = -1;
  g_faultAt = 0;
  g_faultCalls = 0;
  g_faultFired = false;
  if (!name || n <= 0) return name == nullptr || n <= 0;
  for (int i = 0; i < kFailableCount; ++i) {
    if (!strcmp(kFailableNames[i], name)) {
      g_faultCall = i;
      g_faultAt = n;
      return true;
    }
  }
  return false;
}

long SoakFaultCalls() { return g_faultCalls; }
void SoakEndFault() { g_faultCall = -1; }
bool SoakFaultFired() { return g_faultFired; }
