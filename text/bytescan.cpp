#include "text/bytescan.h"

#include <stdint.h>
#include <string.h>

#include "text/linefeedscan.h"

namespace {

int g_sse2 = -1;  // -1 not chosen yet

inline int Sse2() {
  if (g_sse2 < 0) SetByteScanSse2(-1);
  return g_sse2;
}

inline uint32_t Word(const unsigned char* p) {
  uint32_t v;
  memcpy(&v, p, 4);
  return v;
}

inline int IsLineByte(unsigned char c) { return c == '\n' || c == '#' || c == '\r' || c == 0; }

const unsigned char* FindLineByteWords(const unsigned char* p, const unsigned char* end) {
  for (; end - p >= 4; p += 4) {
    // The four bytes below 0x24 that matter; a space there makes a false hit only.
    uint32_t v = Word(p);
    if (((v - 0x24242424u) & ~v & 0x80808080u) == 0) continue;
    for (int i = 0; i < 4; ++i)
      if (IsLineByte(p[i])) return p + i;
  }
  for (; p < end; ++p)
    if (IsLineByte(*p)) return p;
  return end;
}

const unsigned char* FindLineFeedWords(const unsigned char* p, const unsigned char* end) {
  return LineFeedScanWords::Find(p, end);
}

#ifdef TARNIVEL_SSE2_LOOPS

__attribute__((target("sse2"))) const unsigned char* FindLineByteSse2(const unsigned char* p,
                                                                       const unsigned char* end) {
  const __m128i lf = _mm_set1_epi8('\n'), hash = _mm_set1_epi8('#'), cr = _mm_set1_epi8('\r');
  const __m128i zero = _mm_setzero_si128();
  for (; end - p >= 16; p += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, hash)),
                               _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, zero)));
    unsigned mask = (unsigned)_mm_movemask_epi8(hit);
    if (mask) return p + __builtin_ctz(mask);
  }
  return FindLineByteWords(p, end);
}

__attribute__((target("sse2"))) const unsigned char* FindLineFeedSse2(const unsigned char* p,
                                                                       const unsigned char* end) {
  return LineFeedScanSse2::Find(p, end);
}

#endif

}  // namespace

void SetByteScanSse2(int mode) {
#ifdef TARNIVEL_SSE2_LOOPS
  g_sse2 = mode < 0 ? ProcessorHasSse2() != 0 : mode != 0 && ProcessorHasSse2();
#else
  (void)mode;
  g_sse2 = 0;
#endif
}

int ByteScanUsesSse2() { return Sse2(); }

const unsigned char* FindLineByte(const unsigned char* p, const unsigned char* end) {
#ifdef TARNIVEL_SSE2_LOOPS
  if (Sse2()) return FindLineByteSse2(p, end);
#endif
  return FindLineByteWords(p, end);
}

const unsigned char* FindLineFeed(const unsigned char* p, const unsigned char* end) {
#ifdef TARNIVEL_SSE2_LOOPS
  if (Sse2()) return FindLineFeedSse2(p, end);
#endif
  return FindLineFeedWords(p, end);
}

LineFeedFinder LineFeedSearch() {
#ifdef TARNIVEL_SSE2_LOOPS
  if (Sse2()) return FindLineFeedSse2;
#endif
  return FindLineFeedWords;
}
