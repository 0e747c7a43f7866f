// Loading and unloading the library, as a host does on every reload, leaves
// no handle and no memory behind.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/loader.h"
#include "tests/common/tempfolder.h"

namespace {

struct Footprint {
  DWORD handles;
  SIZE_T heapBytes;     // busy blocks of every heap of the process
  SIZE_T privateBytes;  // committed private pages
};

// Handles are counted by asking for each value's flags: the system keeps
// them in steps of four.
DWORD CountHandles() {
  DWORD n = 0, flags;
  for (ULONG_PTR h = 4; h < 0x40000; h += 4)
    if (GetHandleInformation((HANDLE)h, &flags)) ++n;
  return n;
}

SIZE_T HeapBusyBytes() {
  HANDLE heaps[64];
  DWORD count = GetProcessHeaps(64, heaps);
  SIZE_T bytes = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    HeapUnlock(heaps[i]);
  }
  return bytes;
}

SIZE_T PrivateBytes() {
  SIZE_T bytes = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* p = nullptr; VirtualQuery(p, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) bytes += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= p) break;
    p = next;
  }
  return bytes;
}

Footprint Measure() {
  Footprint f;
  f.handles = CountHandles();
  f.heapBytes = HeapBusyBytes();
  f.privateBytes = PrivateBytes();
  return f;
}

bool Cycle(const char* library) {
  DxlApi api;
  if (!LoadDxl(library, &api)) return false;
  unsigned char spec[72];
  api.DrawExSpecification(spec);
  UnloadDxl(&api);
  return true;
}

TEST(HostLibrary, LoadAndUnloadLeaveNothingBehind) {
  LibraryCopy lib;
  ASSERT_FALSE(lib.library().empty());
  // The first cycles set up what the system keeps for any library load.
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(Cycle(lib.library().c_str())) << lib.library();
  const int kCycles = 200;
  Footprint before = Measure();
  for (int i = 0; i < kCycles; ++i) ASSERT_TRUE(Cycle(lib.library().c_str())) << "cycle " << i;
  Footprint after = Measure();
  printf("%d load and unload cycles: handles %lu -> %lu, heap bytes %lu -> %lu, private bytes %lu -> %lu\n",
         kCycles, before.handles, after.handles, (unsigned long)before.heapBytes, (unsigned long)after.heapBytes,
         (unsigned long)before.privateBytes, (unsigned long)after.privateBytes);
  EXPECT_LE(after.handles, before.handles) << "handles left by " << kCycles << " cycles";
  // Less than a byte a cycle: nothing a cycle allocates stays.
  EXPECT_LT((long)(after.heapBytes - before.heapBytes), kCycles) << "heap bytes left by " << kCycles << " cycles";
  EXPECT_LE(after.privateBytes, before.privateBytes) << "private pages left by " << kCycles << " cycles";
}

}  // namespace
