// FindLineFeed's two loops as inline functions, for a loop that is compiled
// once for each of them and would otherwise make a call per line. The SSE2
// one only inlines into a function compiled for SSE2: call it from a
// function with target("sse2") and flatten.
#pragma once

#include <stdint.h>
#include <string.h>

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define TARNIVEL_SSE2_LOOPS 1
#endif

struct LineFeedScanWords {
  static inline const unsigned char* Find(const unsigned char* p, const unsigned char* end) {
    for (; end - p >= 4; p += 4) {
      uint32_t v;
      memcpy(&v, p, 4);
      v ^= 0x0A0A0A0Au;
      if (((v - 0x01010101u) & ~v & 0x80808080u) == 0) continue;
      for (int i = 0; i < 4; ++i)
        if (p[i] == '\n') return p + i;
    }
    for (; p < end; ++p)
      if (*p == '\n') return p;
    return end;
  }
  // For a caller that has at least kNear bytes buffered from p on: the line
  // feeds among them as bits, then Find from p + kNear. None here.
  enum { kNear = 0 };
  static inline unsigned NearFeeds(const unsigned char*) { return 0; }
};

#ifdef TARNIVEL_SSE2_LOOPS
struct LineFeedScanSse2 {
  __attribute__((target("sse2"))) static inline const unsigned char* Find(const unsigned char* p,
                                                                         const unsigned char* end) {
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 32; p += 32) {
      const __m128i* v = reinterpret_cast<const __m128i*>(p);
      unsigned mask = (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(v), lf)) |
                      (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(v + 1), lf)) << 16;
      if (mask) return p + __builtin_ctz(mask);
    }
    for (; end - p >= 16; p += 16) {
      unsigned mask = (unsigned)_mm_movemask_epi8(
          _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), lf));
      if (mask) return p + __builtin_ctz(mask);
    }
    return LineFeedScanWords::Find(p, end);
  }
  enum { kNear = 32 };
  __attribute__((target("sse2"))) static inline unsigned NearFeeds(const unsigned char* p) {
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i* v = reinterpret_cast<const __m128i*>(p);
    return (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(v), lf)) |
           (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(v + 1), lf)) << 16;
  }
};
#endif
