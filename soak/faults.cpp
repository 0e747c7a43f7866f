#include "soak/faults.h"

#include <ctype.h>
#include <string.h>

#include <string>

#include "soak/hooks.h"

namespace soakhook {

namespace {

const char* const kFailableNames[kFailableCount] = {
    "CreateFontIndirectA", "CreateFontA", "CreateSolidBrush", "CreateBrushIndirect", "CreateHatchBrush",
    "CreatePatternBrush", "CreatePen", "CreatePenIndirect", "CreateCompatibleBitmap", "CreateBitmap",
    "CreateDIBSection", "CreateCompatibleDC", "CreateDCA", "SelectObject", "GetDC", "GetWindowDC", "GetDCEx",
    "BeginPaint", "CreateWindowExA", "CreateMenu", "CreatePopupMenu", "LoadMenuA", "SetWindowLongA",
    "SetWindowsHookExA", "GlobalAlloc", "GlobalReAlloc", "GlobalLock", "LocalAlloc", "LocalReAlloc", "LocalLock",
    "CreateFileA", "ReadFile", "GetFileSize", "FindFirstFileA", "CreateProcessA", "LoadStringA",
    "WritePrivateProfileStringA", "WritePrivateProfileSectionA",
};

bool g_imported[kFailableCount];
int g_faultCall = -1;
long g_faultAt = 0;
long g_faultCalls = 0;
bool g_faultFired = false;
std::string g_faultFile;  // upper case; empty: any file

}  // namespace

bool Fail(int call, DWORD error) {
  if (call != g_faultCall) return false;
  if (++g_faultCalls != g_faultAt) return false;
  g_faultFired = true;
  SetLastError(error);
  return true;
}

bool FailOnFile(int call, const char* path, DWORD error) {
  if (call != g_faultCall) return false;
  if (!g_faultFile.empty()) {
    std::string upper = path ? path : "";
    for (char& c : upper) c = (char)toupper((unsigned char)c);
    if (upper.find(g_faultFile) == std::string::npos) return false;
  }
  return Fail(call, error);
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
  g_faultFile.clear();
  if (!name || n <= 0) return name == nullptr || n <= 0;
  std::string call = name;
  size_t at = call.find('@');
  if (at != std::string::npos) {
    for (size_t i = at + 1; i < call.size(); ++i) g_faultFile += (char)toupper((unsigned char)call[i]);
    call.resize(at);
  }
  for (int i = 0; i < kFailableCount; ++i) {
    if (!strcmp(kFailableNames[i], call.c_str())) {
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
