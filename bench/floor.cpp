#include "bench/floor.h"

#include <emmintrin.h>
#include <string.h>
#include <windows.h>

#include "bench/timing.h"

namespace {

struct Ends {
  uint32_t count;
  uint32_t sum;
};

// Sixteen bytes at a time, every line feed's offset taken from the mask.
__attribute__((target("sse2"))) Ends FindLineEndsSse2(const unsigned char* data, size_t size) {
  Ends ends = {0, 0};
  const __m128i lf = _mm_set1_epi8('\n');
  size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    unsigned mask = (unsigned)_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), lf));
    while (mask) {
      ++ends.count;
      ends.sum += (uint32_t)(i + (unsigned)__builtin_ctz(mask));
      mask &= mask - 1;
    }
  }
  for (; i < size; ++i)
    if (data[i] == '\n') ++ends.count, ends.sum += (uint32_t)i;
  return ends;
}

// Four bytes at a time where SSE2 is missing.
Ends FindLineEndsWords(const unsigned char* data, size_t size) {
  Ends ends = {0, 0};
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    uint32_t v;
    memcpy(&v, data + i, 4);
    uint32_t x = v ^ 0x0A0A0A0Au;
    if (((x - 0x01010101u) & ~x & 0x80808080u) == 0) continue;
    for (int k = 0; k < 4; ++k)
      if (data[i + k] == '\n') ++ends.count, ends.sum += (uint32_t)(i + k);
  }
  for (; i < size; ++i)
    if (data[i] == '\n') ++ends.count, ends.sum += (uint32_t)i;
  return ends;
}

struct Buffer {
  unsigned char* data = nullptr;
  DWORD capacity = 0;
  ~Buffer() {
    if (data) VirtualFree(data, 0, MEM_RELEASE);
  }
  unsigned char* Get(DWORD size) {
    if (size <= capacity) return data;
    if (data) VirtualFree(data, 0, MEM_RELEASE);
    data = static_cast<unsigned char*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    capacity = data ? size : 0;
    return data;
  }
};

}  // namespace

bool FloorUsesSse2() { return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0; }

FloorRun MeasureFloor(const std::vector<std::string>& paths) {
  static Buffer buffer;  // shared by the files, as the library's readers share theirs
  const bool sse2 = FloorUsesSse2();
  FloorRun run = {0, 0, 0};
  double t = Now();
  for (const std::string& path : paths) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    DWORD size = GetFileSize(h, nullptr);
    unsigned char* data = size != INVALID_FILE_SIZE ? buffer.Get(size ? size : 1) : nullptr;
    DWORD got = 0;
    if (data && !ReadFile(h, data, size, &got, nullptr)) got = 0;
    CloseHandle(h);
    Ends ends = sse2 ? FindLineEndsSse2(data, got) : FindLineEndsWords(data, got);
    run.lineEnds += ends.count;
    run.sum += ends.sum;
  }
  run.ms = Now() - t;
  return run;
}
