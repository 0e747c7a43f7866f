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

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first byte of a word is its lowest");

struct LineFeedScanWords {
  // 0x80 in each byte of v that is a line feed, and only there.
  static inline uint32_t Feeds(uint32_t v) {
    v ^= 0x0A0A0A0Au;
    return ~(((v & 0x7F7F7F7Fu) + 0x7F7F7F7Fu) | v | 0x7F7F7F7Fu);
  }
  static inline const unsigned char* Find(const unsigned char* p, const unsigned char* end) {
    for (; end - p >= 8; p += 8) {
      uint32_t a, b;
      memcpy(&a, p, 4);
      memcpy(&b, p + 4, 4);
      // A cheaper test that may also hit above a line feed, never without one.
      a ^= 0x0A0A0A0Au;
      b ^= 0x0A0A0A0Au;
      if ((((a - 0x01010101u) & ~a) | ((b - 0x01010101u) & ~b)) & 0x80808080u) break;
    }
    for (; end - p >= 4; p += 4) {
      uint32_t v;
      memcpy(&v, p, 4);
      if (const uint32_t feeds = Feeds(v)) return p + (__builtin_ctz(feeds) >> 3);
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
    return Tail(p, end);
  }
  // The last bytes, apart so that they do not weigh on the loops they are inlined into.
  __attribute__((noinline)) static const unsigned char* Tail(const unsigned char* p, const unsigned char* end) {
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
