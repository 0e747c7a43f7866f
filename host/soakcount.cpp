#include "host/soakcount.h"

#include <ctype.h>
#include <string.h>

#include <map>
#include <utility>

#include "host/iat.h"

namespace {

const char* const kKindNames[kSoakKindCount] = {
    "font",          "brush",        "pen",         "bitmap",      "dc",          "selection",    "window",
    "menu",          "window-proc",  "hook",        "global-fixed", "global-movable", "global-lock", "local-fixed",
    "local-movable", "local-lock",   "file",        "find",        "process",     "thread",
};

SoakCount g_counts[kSoakKindCount];
// Windows, menus, GDI objects, memory blocks and kernel handles are numbered
// apart: the same value may name one of each.
typedef std::pair<int, void*> ObjectKey;  // (handle space, handle)
std::map<ObjectKey, int> g_objects;       // -> kind
std::map<void*, long> g_globalLocks, g_localLocks;     // handle -> locks held
std::map<std::pair<HDC, DWORD>, std::vector<HGDIOBJ>> g_selections;  // (dc, object type) -> displaced objects
std::map<HWND, LONG> g_windowProcs;                    // window -> procedure it had before
std::vector<std::string> g_messages;
long g_beeps = 0;

void Created(int kind) {
  SoakCount& c = g_counts[kind];
  ++c.created;
  if (++c.live > c.peak) c.peak = c.live;
}

void Released(int kind) {
  ++g_counts[kind].released;
  --g_counts[kind].live;
}

int HandleSpace(int kind) {
  switch (kind) {
    case kSoakWindow:
    case kSoakWindowProc: return 1;
    case kSoakMenu: return 2;
    case kSoakHook: return 3;
    case kSoakGlobalFixed:
    case kSoakGlobalMovable:
    case kSoakLocalFixed:
    case kSoakLocalMovable: return 4;
    case kSoakFile:
    case kSoakProcess:
    case kSoakThread: return 5;
    case kSoakFind: return 6;
    default: return 0;  // GDI objects and DCs
  }
}

void Track(void* handle, int kind) {
  if (!handle) return;
  // The system hands out a value again only after its object ended unseen
  // (a window that went with its parent).
  ObjectKey key(HandleSpace(kind), handle);
  auto it = g_objects.find(key);
  if (it != g_objects.end()) Released(it->second);
  g_objects[key] = kind;
  Created(kind);
}

// Releases a tracked handle of one of the kinds in [first, last] (one handle
// space); true when it was one.
bool Untrack(void* handle, int first, int last) {
  auto it = g_objects.find(ObjectKey(HandleSpace(first), handle));
  if (it == g_objects.end() || it->second < first || it->second > last) return false;
  Released(it->second);
  g_objects.erase(it);
  return true;
}

void UntrackOrForeign(void* handle, int first, int last, int foreignKind) {
  if (handle && !Untrack(handle, first, last)) ++g_counts[foreignKind].foreign;
}

// --- fault injection -------------------------------------------------------

enum Failable {
  kFCreateFontIndirectA, kFCreateFontA, kFCreateSolidBrush, kFCreateBrushIndirect, kFCreateHatchBrush,
  kFCreatePatternBrush, kFCreatePen, kFCreatePenIndirect, kFCreateCompatibleBitmap, kFCreateBitmap,
  kFCreateDIBSection, kFCreateCompatibleDC, kFCreateDCA, kFSelectObject, kFGetDC, kFGetWindowDC, kFGetDCEx,
  kFBeginPaint, kFCreateWindowExA, kFCreateMenu, kFCreatePopupMenu, kFLoadMenuA, kFSetWindowLongA,
  kFSetWindowsHookExA, kFGlobalAlloc, kFGlobalReAlloc, kFGlobalLock, kFLocalAlloc, kFLocalReAlloc, kFLocalLock,
  kFCreateFileA, kFReadFile, kFGetFileSize, kFFindFirstFileA, kFCreateProcessA, kFLoadStringA,
  kFWritePrivateProfileStringA, kFWritePrivateProfileSectionA, kFailableCount
};

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
// "CALL@NAME" counts only the calls on files whose path holds NAME.
std::string g_faultFile;
std::map<HANDLE, std::string> g_fileNames;  // open files -> path

// Whether this call is the one to fail; sets the error the system would.
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

const char* FileName(HANDLE file) {
  auto it = g_fileNames.find(file);
  return it == g_fileNames.end() ? nullptr : it->second.c_str();
}

// --- the replaced imports --------------------------------------------------

#define REAL(name) decltype(&name) Real##name = nullptr

REAL(CreateFontIndirectA);
REAL(CreateFontA);
REAL(CreateSolidBrush);
REAL(CreateBrushIndirect);
REAL(CreateHatchBrush);
REAL(CreatePatternBrush);
REAL(CreatePen);
REAL(CreatePenIndirect);
REAL(CreateCompatibleBitmap);
REAL(CreateBitmap);
REAL(CreateDIBSection);
REAL(CreateCompatibleDC);
REAL(CreateDCA);
REAL(DeleteDC);
REAL(DeleteObject);
REAL(SelectObject);
REAL(GetDC);
REAL(GetWindowDC);
REAL(GetDCEx);
REAL(ReleaseDC);
REAL(BeginPaint);
REAL(EndPaint);
REAL(CreateWindowExA);
REAL(DestroyWindow);
REAL(CreateMenu);
REAL(CreatePopupMenu);
REAL(LoadMenuA);
REAL(DestroyMenu);
REAL(SetWindowLongA);
REAL(SetWindowsHookExA);
REAL(UnhookWindowsHookEx);
REAL(GlobalAlloc);
REAL(GlobalReAlloc);
REAL(GlobalFree);
REAL(GlobalLock);
REAL(GlobalUnlock);
REAL(LocalAlloc);
REAL(LocalReAlloc);
REAL(LocalFree);
REAL(LocalLock);
REAL(LocalUnlock);
REAL(CreateFileA);
REAL(ReadFile);
REAL(GetFileSize);
REAL(CloseHandle);
REAL(FindFirstFileA);
REAL(FindClose);
REAL(CreateProcessA);
REAL(MessageBoxA);
REAL(MessageBeep);
REAL(LoadStringA);
REAL(WritePrivateProfileStringA);
REAL(WritePrivateProfileSectionA);

HFONT WINAPI HookCreateFontIndirectA(const LOGFONTA* font) {
  if (Fail(kFCreateFontIndirectA, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HFONT h = RealCreateFontIndirectA(font);
  Track(h, kSoakFont);
  return h;
}

HFONT WINAPI HookCreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                             DWORD underline, DWORD strikeOut, DWORD charSet, DWORD precision, DWORD clip,
                             DWORD quality, DWORD pitch, LPCSTR face) {
  if (Fail(kFCreateFontA, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HFONT h = RealCreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                            precision, clip, quality, pitch, face);
  Track(h, kSoakFont);
  return h;
}

HBRUSH WINAPI HookCreateSolidBrush(COLORREF color) {
  if (Fail(kFCreateSolidBrush, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HBRUSH h = RealCreateSolidBrush(color);
  Track(h, kSoakBrush);
  return h;
}

HBRUSH WINAPI HookCreateBrushIndirect(const LOGBRUSH* brush) {
  if (Fail(kFCreateBrushIndirect, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HBRUSH h = RealCreateBrushIndirect(brush);
  Track(h, kSoakBrush);
  return h;
}

HBRUSH WINAPI HookCreateHatchBrush(int style, COLORREF color) {
  if (Fail(kFCreateHatchBrush, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HBRUSH h = RealCreateHatchBrush(style, color);
  Track(h, kSoakBrush);
  return h;
}

HBRUSH WINAPI HookCreatePatternBrush(HBITMAP bitmap) {
  if (Fail(kFCreatePatternBrush, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HBRUSH h = RealCreatePatternBrush(bitmap);
  Track(h, kSoakBrush);
  return h;
}

HPEN WINAPI HookCreatePen(int style, int width, COLORREF color) {
  if (Fail(kFCreatePen, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HPEN h = RealCreatePen(style, width, color);
  Track(h, kSoakPen);
  return h;
}

HPEN WINAPI HookCreatePenIndirect(const LOGPEN* pen) {
  if (Fail(kFCreatePenIndirect, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HPEN h = RealCreatePenIndirect(pen);
  Track(h, kSoakPen);
  return h;
}

HBITMAP WINAPI HookCreateCompatibleBitmap(HDC dc, int width, int height) {
  if (Fail(kFCreateCompatibleBitmap, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HBITMAP h = RealCreateCompatibleBitmap(dc, width, height);
  Track(h, kSoakBitmap);
  return h;
}

HBITMAP WINAPI HookCreateBitmap(int width, int height, UINT planes, UINT bits, const void* data) {
  if (Fail(kFCreateBitmap, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HBITMAP h = RealCreateBitmap(width, height, planes, bits, data);
  Track(h, kSoakBitmap);
  return h;
}

HBITMAP WINAPI HookCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                    DWORD offset) {
  if (Fail(kFCreateDIBSection, ERROR_NOT_ENOUGH_MEMORY)) {
    if (bits) *bits = nullptr;
    return nullptr;
  }
  HBITMAP h = RealCreateDIBSection(dc, info, usage, bits, section, offset);
  Track(h, kSoakBitmap);
  return h;
}

HDC WINAPI HookCreateCompatibleDC(HDC dc) {
  if (Fail(kFCreateCompatibleDC, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HDC h = RealCreateCompatibleDC(dc);
  Track(h, kSoakDc);
  return h;
}

HDC WINAPI HookCreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA* mode) {
  if (Fail(kFCreateDCA, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HDC h = RealCreateDCA(driver, device, port, mode);
  Track(h, kSoakDc);
  return h;
}

BOOL WINAPI HookDeleteDC(HDC dc) {
  UntrackOrForeign(dc, kSoakDc, kSoakDc, kSoakDc);
  return RealDeleteDC(dc);
}

BOOL WINAPI HookDeleteObject(HGDIOBJ object) {
  UntrackOrForeign(object, kSoakFont, kSoakBitmap, kSoakFont);
  return RealDeleteObject(object);
}

// Selections nest per DC and object type; putting back the object the DC
// gave back cannot fail on the system, so only selecting in is failed.
HGDIOBJ WINAPI HookSelectObject(HDC dc, HGDIOBJ object) {
  DWORD type = GetObjectType(object);
  auto key = std::make_pair(dc, type);
  auto it = g_selections.find(key);
  bool restore = it != g_selections.end() && !it->second.empty() && it->second.back() == object;
  if (!restore && Fail(kFSelectObject, ERROR_INVALID_HANDLE)) return nullptr;
  HGDIOBJ previous = RealSelectObject(dc, object);
  if (!previous || previous == HGDI_ERROR || type == OBJ_REGION) return previous;
  if (restore) {
    it->second.pop_back();
    if (it->second.empty()) g_selections.erase(it);
    Released(kSoakSelection);
  } else if (object != previous) {
    g_selections[key].push_back(previous);
    Created(kSoakSelection);
  }
  return previous;
}

HDC WINAPI HookGetDC(HWND window) {
  if (Fail(kFGetDC, ERROR_INVALID_WINDOW_HANDLE)) return nullptr;
  HDC h = RealGetDC(window);
  Track(h, kSoakDc);
  return h;
}

HDC WINAPI HookGetWindowDC(HWND window) {
  if (Fail(kFGetWindowDC, ERROR_INVALID_WINDOW_HANDLE)) return nullptr;
  HDC h = RealGetWindowDC(window);
  Track(h, kSoakDc);
  return h;
}

HDC WINAPI HookGetDCEx(HWND window, HRGN clip, DWORD flags) {
  if (Fail(kFGetDCEx, ERROR_INVALID_WINDOW_HANDLE)) return nullptr;
  HDC h = RealGetDCEx(window, clip, flags);
  Track(h, kSoakDc);
  return h;
}

int WINAPI HookReleaseDC(HWND window, HDC dc) {
  UntrackOrForeign(dc, kSoakDc, kSoakDc, kSoakDc);
  return RealReleaseDC(window, dc);
}

HDC WINAPI HookBeginPaint(HWND window, PAINTSTRUCT* paint) {
  if (Fail(kFBeginPaint, ERROR_INVALID_WINDOW_HANDLE)) {
    if (paint) memset(paint, 0, sizeof *paint);
    return nullptr;
  }
  HDC h = RealBeginPaint(window, paint);
  Track(h, kSoakDc);
  return h;
}

BOOL WINAPI HookEndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (paint) UntrackOrForeign(paint->hdc, kSoakDc, kSoakDc, kSoakDc);
  return RealEndPaint(window, paint);
}

HWND WINAPI HookCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                                int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (Fail(kFCreateWindowExA, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HWND h = RealCreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance, param);
  Track(h, kSoakWindow);
  return h;
}

BOOL WINAPI HookDestroyWindow(HWND window) {
  BOOL ok = RealDestroyWindow(window);
  if (ok) UntrackOrForeign(window, kSoakWindow, kSoakWindow, kSoakWindow);
  return ok;
}

HMENU WINAPI HookCreateMenu() {
  if (Fail(kFCreateMenu, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HMENU h = RealCreateMenu();
  Track(h, kSoakMenu);
  return h;
}

HMENU WINAPI HookCreatePopupMenu() {
  if (Fail(kFCreatePopupMenu, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HMENU h = RealCreatePopupMenu();
  Track(h, kSoakMenu);
  return h;
}

HMENU WINAPI HookLoadMenuA(HINSTANCE instance, LPCSTR name) {
  if (Fail(kFLoadMenuA, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HMENU h = RealLoadMenuA(instance, name);
  Track(h, kSoakMenu);
  return h;
}

BOOL WINAPI HookDestroyMenu(HMENU menu) {
  BOOL ok = RealDestroyMenu(menu);
  if (ok) UntrackOrForeign(menu, kSoakMenu, kSoakMenu, kSoakMenu);
  return ok;
}

LONG WINAPI HookSetWindowLongA(HWND window, int index, LONG value) {
  if (Fail(kFSetWindowLongA, ERROR_ACCESS_DENIED)) return 0;
  LONG previous = RealSetWindowLongA(window, index, value);
  if (index != GWL_WNDPROC || !previous) return previous;
  auto it = g_windowProcs.find(window);
  if (it == g_windowProcs.end()) {
    if (value != previous) {
      g_windowProcs[window] = previous;
      Created(kSoakWindowProc);
    }
  } else if (value == it->second) {
    g_windowProcs.erase(it);
    Released(kSoakWindowProc);
  }
  return previous;
}

HHOOK WINAPI HookSetWindowsHookExA(int id, HOOKPROC proc, HINSTANCE instance, DWORD thread) {
  if (Fail(kFSetWindowsHookExA, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HHOOK h = RealSetWindowsHookExA(id, proc, instance, thread);
  Track(h, kSoakHook);
  return h;
}

BOOL WINAPI HookUnhookWindowsHookEx(HHOOK hook) {
  UntrackOrForeign(hook, kSoakHook, kSoakHook, kSoakHook);
  return RealUnhookWindowsHookEx(hook);
}

// Global and local memory are counted alike; a moved block keeps its kind.
void BlockMoved(void* block, void* now) {
  if (!now || now == block) return;
  auto it = g_objects.find(ObjectKey(HandleSpace(kSoakGlobalFixed), block));
  if (it == g_objects.end()) return;
  g_objects[ObjectKey(it->first.first, now)] = it->second;
  g_objects.erase(it);
}

// A freed block's locks go with it.
void BlockFreed(void* block, int fixedKind, std::map<void*, long>* locks, int lockKind) {
  UntrackOrForeign(block, fixedKind, fixedKind + 1, fixedKind + 1);
  auto it = locks->find(block);
  if (it == locks->end()) return;
  g_counts[lockKind].live -= it->second;
  locks->erase(it);
}

void BlockLocked(void* block, std::map<void*, long>* locks, int lockKind) {
  ++(*locks)[block];
  Created(lockKind);
}

void BlockUnlocked(void* block, std::map<void*, long>* locks, int lockKind) {
  auto it = locks->find(block);
  if (it == locks->end()) {
    ++g_counts[lockKind].foreign;
    return;
  }
  Released(lockKind);
  if (--it->second == 0) locks->erase(it);
}

// The global and the local memory calls have the same forms and are counted
// alike, each family with its own kinds, faults and lock counts.
struct MemoryCalls {
  decltype(&GlobalAlloc)* alloc;
  decltype(&GlobalReAlloc)* reAlloc;
  decltype(&GlobalFree)* free;
  decltype(&GlobalLock)* lock;
  decltype(&GlobalUnlock)* unlock;
  int failAlloc, failReAlloc, failLock;
  UINT movable;
  int fixedKind, movableKind, lockKind;
  std::map<void*, long>* locks;
};

enum { kGlobalMemory, kLocalMemory };

const MemoryCalls kMemoryCalls[] = {
    {&RealGlobalAlloc, &RealGlobalReAlloc, &RealGlobalFree, &RealGlobalLock, &RealGlobalUnlock, kFGlobalAlloc,
     kFGlobalReAlloc, kFGlobalLock, GMEM_MOVEABLE, kSoakGlobalFixed, kSoakGlobalMovable, kSoakGlobalLock,
     &g_globalLocks},
    {&RealLocalAlloc, &RealLocalReAlloc, &RealLocalFree, &RealLocalLock, &RealLocalUnlock, kFLocalAlloc,
     kFLocalReAlloc, kFLocalLock, LMEM_MOVEABLE, kSoakLocalFixed, kSoakLocalMovable, kSoakLocalLock,
     &g_localLocks},
};

template <int M>
HANDLE WINAPI HookMemoryAlloc(UINT flags, SIZE_T size) {
  const MemoryCalls& c = kMemoryCalls[M];
  if (Fail(c.failAlloc, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HANDLE h = (*c.alloc)(flags, size);
  Track(h, (flags & c.movable) ? c.movableKind : c.fixedKind);
  return h;
}

template <int M>
HANDLE WINAPI HookMemoryReAlloc(HANDLE block, SIZE_T size, UINT flags) {
  const MemoryCalls& c = kMemoryCalls[M];
  if (Fail(c.failReAlloc, ERROR_NOT_ENOUGH_MEMORY)) return nullptr;
  HANDLE h = (*c.reAlloc)(block, size, flags);
  BlockMoved(block, h);
  return h;
}

template <int M>
HANDLE WINAPI HookMemoryFree(HANDLE block) {
  const MemoryCalls& c = kMemoryCalls[M];
  HANDLE result = (*c.free)(block);
  if (!result) BlockFreed(block, c.fixedKind, c.locks, c.lockKind);
  return result;
}

template <int M>
LPVOID WINAPI HookMemoryLock(HANDLE block) {
  const MemoryCalls& c = kMemoryCalls[M];
  if (Fail(c.failLock, ERROR_NOT_LOCKED)) return nullptr;
  LPVOID p = (*c.lock)(block);
  if (p) BlockLocked(block, c.locks, c.lockKind);
  return p;
}

template <int M>
BOOL WINAPI HookMemoryUnlock(HANDLE block) {
  const MemoryCalls& c = kMemoryCalls[M];
  BlockUnlocked(block, c.locks, c.lockKind);
  return (*c.unlock)(block);
}

HANDLE WINAPI HookCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE templateFile) {
  if (FailOnFile(kFCreateFileA, name, ERROR_SHARING_VIOLATION)) return INVALID_HANDLE_VALUE;
  HANDLE h = RealCreateFileA(name, access, share, security, disposition, flags, templateFile);
  if (h != INVALID_HANDLE_VALUE) {
    Track(h, kSoakFile);
    g_fileNames[h] = name ? name : "";
  }
  return h;
}

BOOL WINAPI HookReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
  if (FailOnFile(kFReadFile, FileName(file), ERROR_READ_FAULT)) {
    if (read) *read = 0;
    return FALSE;
  }
  return RealReadFile(file, buffer, size, read, overlapped);
}

DWORD WINAPI HookGetFileSize(HANDLE file, LPDWORD high) {
  if (FailOnFile(kFGetFileSize, FileName(file), ERROR_ACCESS_DENIED)) return INVALID_FILE_SIZE;
  return RealGetFileSize(file, high);
}

BOOL WINAPI HookCloseHandle(HANDLE handle) {
  UntrackOrForeign(handle, kSoakFile, kSoakThread, kSoakFile);
  g_fileNames.erase(handle);
  return RealCloseHandle(handle);
}

HANDLE WINAPI HookFindFirstFileA(LPCSTR name, WIN32_FIND_DATAA* found) {
  if (FailOnFile(kFFindFirstFileA, name, ERROR_ACCESS_DENIED)) return INVALID_HANDLE_VALUE;
  HANDLE h = RealFindFirstFileA(name, found);
  if (h != INVALID_HANDLE_VALUE) Track(h, kSoakFind);
  return h;
}

BOOL WINAPI HookFindClose(HANDLE find) {
  UntrackOrForeign(find, kSoakFind, kSoakFind, kSoakFind);
  return RealFindClose(find);
}

BOOL WINAPI HookCreateProcessA(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                               LPSECURITY_ATTRIBUTES threadSecurity, BOOL inherit, DWORD flags, LPVOID environment,
                               LPCSTR directory, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process) {
  if (Fail(kFCreateProcessA, ERROR_NOT_ENOUGH_MEMORY)) return FALSE;
  BOOL ok = RealCreateProcessA(application, commandLine, processSecurity, threadSecurity, inherit, flags,
                               environment, directory, startup, process);
  if (ok && process) {
    Track(process->hProcess, kSoakProcess);
    Track(process->hThread, kSoakThread);
  }
  return ok;
}

// Shift-JIS message text as UTF-8 for the report.
std::string ToUtf8(const char* text) {
  if (!text) return std::string();
  wchar_t wide[512];
  int n = MultiByteToWideChar(932, 0, text, -1, wide, 512);
  if (n <= 0) return text;
  char utf8[1536];
  int m = WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
  return m > 0 ? std::string(utf8) : std::string(text);
}

int WINAPI HookMessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  g_messages.push_back(ToUtf8(caption) + ": " + ToUtf8(text));
  return IDOK;
}

int WINAPI HookLoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
  if (Fail(kFLoadStringA, ERROR_NOT_ENOUGH_MEMORY)) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  return RealLoadStringA(instance, id, buffer, size);
}

BOOL WINAPI HookWritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR text, LPCSTR file) {
  if (Fail(kFWritePrivateProfileStringA, ERROR_ACCESS_DENIED)) return FALSE;
  return RealWritePrivateProfileStringA(section, key, text, file);
}

BOOL WINAPI HookWritePrivateProfileSectionA(LPCSTR section, LPCSTR lines, LPCSTR file) {
  if (Fail(kFWritePrivateProfileSectionA, ERROR_ACCESS_DENIED)) return FALSE;
  return RealWritePrivateProfileSectionA(section, lines, file);
}

BOOL WINAPI HookMessageBeep(UINT) {
  ++g_beeps;
  return TRUE;
}

struct Replacement {
  const char* name;
  void* hook;
  void** real;
};

#define HOOK(name) {#name, reinterpret_cast<void*>(&Hook##name), reinterpret_cast<void**>(&Real##name)}
#define MEMORY_HOOK(family, call, m) \
  {#family #call, reinterpret_cast<void*>(&HookMemory##call<m>), reinterpret_cast<void**>(&Real##family##call)}
#define MEMORY_HOOKS(family, m)                                                                       \
  MEMORY_HOOK(family, Alloc, m), MEMORY_HOOK(family, ReAlloc, m), MEMORY_HOOK(family, Free, m), \
      MEMORY_HOOK(family, Lock, m), MEMORY_HOOK(family, Unlock, m)

const Replacement kReplacements[] = {
    HOOK(CreateFontIndirectA), HOOK(CreateFontA), HOOK(CreateSolidBrush), HOOK(CreateBrushIndirect),
    HOOK(CreateHatchBrush), HOOK(CreatePatternBrush), HOOK(CreatePen), HOOK(CreatePenIndirect),
    HOOK(CreateCompatibleBitmap), HOOK(CreateBitmap), HOOK(CreateDIBSection), HOOK(CreateCompatibleDC),
    HOOK(CreateDCA), HOOK(DeleteDC), HOOK(DeleteObject), HOOK(SelectObject), HOOK(GetDC), HOOK(GetWindowDC),
    HOOK(GetDCEx), HOOK(ReleaseDC), HOOK(BeginPaint), HOOK(EndPaint), HOOK(CreateWindowExA), HOOK(DestroyWindow),
    HOOK(CreateMenu), HOOK(CreatePopupMenu), HOOK(LoadMenuA), HOOK(DestroyMenu), HOOK(SetWindowLongA),
    HOOK(SetWindowsHookExA), HOOK(UnhookWindowsHookEx), MEMORY_HOOKS(Global, kGlobalMemory),
    MEMORY_HOOKS(Local, kLocalMemory), HOOK(CreateFileA), HOOK(ReadFile), HOOK(GetFileSize), HOOK(CloseHandle),
    HOOK(FindFirstFileA), HOOK(FindClose), HOOK(CreateProcessA), HOOK(MessageBoxA), HOOK(MessageBeep),
    HOOK(LoadStringA), HOOK(WritePrivateProfileStringA), HOOK(WritePrivateProfileSectionA),
};

}  // namespace

const char* SoakKindName(int kind) { return kind >= 0 && kind < kSoakKindCount ? kKindNames[kind] : "?"; }

int SoakInstallHooks(HMODULE module) {
  int installed = 0;
  for (const Replacement& r : kReplacements) {
    void* original = nullptr;
    if (!PatchImport(module, r.name, r.hook, &original)) continue;
    *r.real = original;
    ++installed;
    for (int i = 0; i < kFailableCount; ++i)
      if (!strcmp(kFailableNames[i], r.name)) g_imported[i] = true;
  }
  return installed;
}

void SoakReset() {
  memset(g_counts, 0, sizeof g_counts);
  g_objects.clear();
  g_globalLocks.clear();
  g_localLocks.clear();
  g_selections.clear();
  g_windowProcs.clear();
  g_messages.clear();
  g_beeps = 0;
}

void SoakSettle() {
  for (auto it = g_objects.begin(); it != g_objects.end();) {
    void* handle = it->first.second;
    // A movable block the library gave the host (a memo text or saved data
    // of the settings dialog) may have been freed there.
    bool gone = (it->second == kSoakWindow && !IsWindow(static_cast<HWND>(handle))) ||
                (it->second == kSoakMenu && !IsMenu(static_cast<HMENU>(handle))) ||
                ((it->second == kSoakGlobalMovable || it->second == kSoakLocalMovable) &&
                 GlobalFlags(static_cast<HGLOBAL>(handle)) == GMEM_INVALID_HANDLE);
    if (gone) {
      Released(it->second);
      it = g_objects.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = g_windowProcs.begin(); it != g_windowProcs.end();) {
    if (!IsWindow(it->first)) {
      Released(kSoakWindowProc);
      it = g_windowProcs.erase(it);
    } else {
      ++it;
    }
  }
}

const SoakCount* SoakCounts() { return g_counts; }

void SoakHandOver(HGLOBAL block) {
  auto it = g_objects.find(ObjectKey(HandleSpace(kSoakGlobalFixed), block));
  if (it == g_objects.end() || (it->second != kSoakGlobalFixed && it->second != kSoakGlobalMovable)) return;
  Released(it->second);
  g_objects.erase(it);
}

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
const std::vector<std::string>& SoakMessages() { return g_messages; }
long SoakBeeps() { return g_beeps; }
