// What the replaced imports share: the counting, the fault plan and their
// tables.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "soak/accounting.h"

namespace soakhook {

void Created(int kind);
void Released(int kind);
void Track(void* handle, int kind);
// Releases a tracked handle of one of the kinds in [first, last] (one handle
// space); true when it was one.
bool Untrack(void* handle, int first, int last);
void UntrackOrForeign(void* handle, int first, int last, int foreignKind);

// Memory blocks: moved, freed, locked and unlocked.
void BlockMoved(void* block, void* now);
void BlockFreed(void* block, int fixedKind, std::map<void*, long>* locks, int lockKind);
void BlockLocked(void* block, std::map<void*, long>* locks, int lockKind);
void BlockUnlocked(void* block, std::map<void*, long>* locks, int lockKind);

extern std::map<void*, long> g_globalLocks, g_localLocks;              // handle -> locks held
extern std::map<std::pair<HDC, DWORD>, std::vector<HGDIOBJ>> g_selections;  // (dc, object type) -> displaced objects
extern std::map<HWND, LONG> g_windowProcs;                              // window -> procedure it had before

void RecordMessage(const std::string& message);
void RecordBeep();

enum Failable {
  kFCreateFontIndirectA, kFCreateFontA, kFCreateSolidBrush, kFCreateBrushIndirect, kFCreateHatchBrush,
  kFCreatePatternBrush, kFCreatePen, kFCreatePenIndirect, kFCreateCompatibleBitmap, kFCreateBitmap,
  kFCreateDIBSection, kFCreateCompatibleDC, kFCreateDCA, kFSelectObject, kFGetDC, kFGetWindowDC, kFGetDCEx,
  kFBeginPaint, kFCreateWindowExA, kFCreateMenu, kFCreatePopupMenu, kFLoadMenuA, kFSetWindowLongA,
  kFSetWindowsHookExA, kFGlobalAlloc, kFGlobalReAlloc, kFGlobalLock, kFLocalAlloc, kFLocalReAlloc, kFLocalLock,
  kFCreateFileA, kFReadFile, kFGetFileSize, kFFindFirstFileA, kFCreateProcessA, kFLoadStringA,
  kFWritePrivateProfileStringA, kFWritePrivateProfileSectionA, kFailableCount
};

// Whether this call is the one to fail; sets the error the system would.
bool Fail(int call, DWORD error);
// A call that makes a handle: null with error when it is the one to fail,
// else made by real and its handle tracked as kind.
template <typename Real, typename... Args>
auto MadeTracked(int call, DWORD error, int kind, Real real, Args... args) -> decltype(real(args...)) {
  if (Fail(call, error)) return nullptr;
  auto h = real(args...);
  Track(h, kind);
  return h;
}
// Fail for a call on the file at path (null: not known).
bool FailOnFile(int call, const char* path, DWORD error);
// The library imports the failable call `name` (if it is one).
void MarkImported(const char* name);

struct Replacement {
  const char* name;
  void* hook;
  void** real;
};

// The GDI and window calls, and the kernel calls with the message boxes.
extern const Replacement kGdiReplacements[];
extern const int kGdiReplacementCount;
extern const Replacement kKernelReplacements[];
extern const int kKernelReplacementCount;

}  // namespace soakhook

#define REAL(name) decltype(&name) Real##name = nullptr
#define HOOK(name) {#name, reinterpret_cast<void*>(&Hook##name), reinterpret_cast<void**>(&Real##name)}
