#include "soak/accounting.h"

#include <string.h>

#include "soak/hooks.h"
#include "soak/iat.h"

namespace soakhook {

std::map<void*, long> g_globalLocks, g_localLocks;
std::map<std::pair<HDC, DWORD>, std::vector<HGDIOBJ>> g_selections;
std::map<HWND, LONG> g_windowProcs;

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
std::vector<std::string> g_messages;
long g_beeps = 0;

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

}  // namespace

void Created(int kind) {
  SoakCount& c = g_counts[kind];
  ++c.created;
  if (++c.live > c.peak) c.peak = c.live;
}

void Released(int kind) {
  ++g_counts[kind].released;
  --g_counts[kind].live;
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

void RecordMessage(const std::string& message) { g_messages.push_back(message); }
void RecordBeep() { ++g_beeps; }

}  // namespace soakhook

using namespace soakhook;

const char* SoakKindName(int kind) { return kind >= 0 && kind < kSoakKindCount ? kKindNames[kind] : "?"; }

int SoakInstallHooks(HMODULE module) {
  int installed = 0;
  const Replacement* tables[] = {kGdiReplacements, kKernelReplacements};
  const int sizes[] = {kGdiReplacementCount, kKernelReplacementCount};
  for (int t = 0; t < 2; ++t) {
    for (int i = 0; i < sizes[t]; ++i) {
      const Replacement& r = tables[t][i];
      void* original = nullptr;
      if (!PatchImport(module, r.name, r.hook, &original)) continue;
      *r.real = original;
      ++installed;
      MarkImported(r.name);
    }
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

const std::vector<std::string>& SoakMessages() { return g_messages; }
long SoakBeeps() { return g_beeps; }
