// The replaced memory, file, process, message box and beep calls, string
// loads and profile writes.
#include <string.h>

#include "soak/hooks.h"

namespace soakhook {

namespace {

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

std::map<HANDLE, std::string> g_fileNames;  // open files -> path

const char* FileName(HANDLE file) {
  auto it = g_fileNames.find(file);
  return it == g_fileNames.end() ? nullptr : it->second.c_str();
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
  // A lookup the machine is too short for: any other failure is a miss.
  if (FailOnFile(kFFindFirstFileA, name, ERROR_NOT_ENOUGH_MEMORY)) return INVALID_HANDLE_VALUE;
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
  RecordMessage(ToUtf8(caption) + ": " + ToUtf8(text));
  return IDOK;
}

BOOL WINAPI HookMessageBeep(UINT) {
  RecordBeep();
  return TRUE;
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

}  // namespace

#define MEMORY_HOOK(family, call, m) \
  {#family #call, reinterpret_cast<void*>(&HookMemory##call<m>), reinterpret_cast<void**>(&Real##family##call)}
#define MEMORY_HOOKS(family, m)                                                                       \
  MEMORY_HOOK(family, Alloc, m), MEMORY_HOOK(family, ReAlloc, m), MEMORY_HOOK(family, Free, m), \
      MEMORY_HOOK(family, Lock, m), MEMORY_HOOK(family, Unlock, m)

const Replacement kKernelReplacements[] = {
    MEMORY_HOOKS(Global, kGlobalMemory), MEMORY_HOOKS(Local, kLocalMemory), HOOK(CreateFileA), HOOK(ReadFile),
    HOOK(GetFileSize), HOOK(CloseHandle), HOOK(FindFirstFileA), HOOK(FindClose), HOOK(CreateProcessA),
    HOOK(MessageBoxA), HOOK(MessageBeep), HOOK(LoadStringA), HOOK(WritePrivateProfileStringA),
    HOOK(WritePrivateProfileSectionA),
};
const int kKernelReplacementCount = sizeof kKernelReplacements / sizeof kKernelReplacements[0];

}  // namespace soakhook
