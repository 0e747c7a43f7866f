// The fast look at raw schedule lines: most lines of a large
// file are dated outside the months asked for, and for most others the date
// and whether a text follows can be read from the raw bytes before the line
// is read. The look reads by the grammar of scheduleline.h and leaves every
// line it cannot tell to the line-by-line reading.
#pragma once

#include <stdint.h>
#include <string.h>

#include "text/bytescan.h"
#include "text/leadbyte.h"
#include "text/linefeedscan.h"
#include "today/scheduleline.h"

enum { kQuickUnknown, kQuickNoMatch, kQuickEntry, kQuickFieldMax = 24, kQuickEnd = -1 };

// Bytes that the reader drops or that end what it stores.
inline int IsUnstoredByte(unsigned char c) { return c == '\n' || c == '#' || c == '\r' || c == 0; }

inline int IsBlankByte(unsigned char c) { return c == ' ' || c == '\t'; }

inline int IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// The bytes of a label as LookAtLabel sees them; from 0x80 on, lead bytes
// of the code page, which is known only when the library runs.
enum : unsigned char { kLabelPlain, kLabelBlank, kLabelUnstored, kLabelHigh };
struct LabelBytes {
  unsigned char kind[256];
  constexpr LabelBytes() : kind() {
    for (int c = 0x80; c < 256; ++c) kind[c] = kLabelHigh;
    kind[(int)' '] = kind[(int)'\t'] = kLabelBlank;
    kind[(int)'\n'] = kind[(int)'#'] = kind[(int)'\r'] = kind[0] = kLabelUnstored;
  }
};
inline constexpr LabelBytes kLabelBytes;

// What a look at the lines of one file needs; a weekday name of up to three
// bytes, lowered as FindWeekday compares, packed into a number.
enum {
  kFastMargin = 32,
  kFastDateMax = kFastMargin - 4,
  kFastYears = 8,
  kFastAnyYear = kFastYears,
  kFastMonths = 16,
  kFastKeys = 8,
  kNameSlots = 16
};
// FastLook stops within the line's limit, and the date forms it reads are
// the grammar's.
static_assert(kFastMargin + 2 <= kTableLineMax, "FastLook's texts start where the line reader keeps them");
static_assert(kWeekdayNameMin == 2 && kWeekdayNameMax == 3, "FastLook reads weekday names of two or three bytes");

// The days of each weekday in the months asked for (the first kFastKeys):
// [w][0] every one, [w][k] the k-th.
struct WeekdayDays {
  DayMask days[kFastKeys][7][6];
};

void FillWeekdayDays(WeekdayDays* table, const MonthKey* keys, int count);

// The days an entry without a weekday marks in any month, by its day; a
// day of 100 stands for none.
inline constexpr DayMask PlainDays(unsigned day) { return day == 0 ? kMaskEveryDay : day <= 31 ? 1u << day : 0; }
struct PlainDayTable {
  DayMask days[101];
  constexpr PlainDayTable() : days() {
    for (unsigned d = 0; d < 100; ++d) days[d] = PlainDays(d);
  }
};
inline constexpr PlainDayTable kPlainDays;

// The first byte of a line for FastLook; letters are other bytes until
// the era table is loaded.
enum : unsigned char { kStartDigit, kStartLetter, kStartStar, kStartHash, kStartOther };

struct LineLook {
  const MonthKey* keys;
  int count;
  EraCache* eras;
  const WeekdayNames* names;
  uint32_t weekdays[7];
  // For FastLook: a bit per key asked for, by year (yearBase on, then any
  // year) and month (0 every month); fast is 0 where these cannot say.
  int fast;
  uint16_t yearBase;
  uint8_t keyBits[kFastYears + 1][kFastMonths];
  // By the first byte of a line, what turns the number of its year into
  // its row of keyBits (an era letter adds its first year - 1); erasKnown is
  // 0 until the era table is loaded, which the first era year does, and
  // starts sorts the first bytes of lines (kLineStarts).
  int erasKnown;
  unsigned char starts[256];
  uint16_t yearRow[256];
  // The packed names by a hash of them, the first of equal ones.
  uint32_t nameKey[kNameSlots];
  uint8_t nameDay[kNameSlots];
};

inline unsigned NameSlot(uint32_t packed) { return (packed * 0x9E3779B1u) >> 28; }

// Fills the rows of the years, by the era table once it is known.
void FillYearRows(LineLook* look);
void InitLook(LineLook* look, const MonthKey* keys, int count, EraCache* eras, const WeekdayNames* names);

// kQuickUnknown unless the first field, up to a blank, holds only date bytes
// and every byte up to the first of the text is stored as it stands (none
// dropped, no comment, within the line limit): the line then reads as its
// raw bytes do. kQuickEntry fills entry's date. *known bytes of the line
// are whole characters without a line feed.
int QuickLook(const unsigned char* raw, int n, const LineLook* look, ScheduleEntry* entry, int* known);

// QuickLook at the next line, kQuickEnd at the end of the file; the year rows
// are filled once the era table is known.
inline int LookAtNextLine(TableFile* file, LineLook* look, EraCache* eras, ScheduleEntry* entry, int* known) {
  const unsigned char* raw;
  const int n = PeekTableLine(file, &raw);
  if (!n) return kQuickEnd;
  const int result = QuickLook(raw, n, look, entry, known);
  if (!look->erasKnown && eras->state) FillYearRows(look);
  return result;
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "FastLook reads digits a word at a time");

// The bytes of v that are no ASCII digit, as nonzero bytes.
inline uint32_t NonDigitBytes(uint32_t v) {
  return ((v & 0xF0F0F0F0u) ^ 0x30303030u) | (((v & 0x0F0F0F0Fu) + 0x06060606u) & 0xF0F0F0F0u);
}

// The number that the first length (1 to 4) bytes of v, all digits, write.
inline uint32_t DigitsValue(uint32_t v, int length) {
  uint32_t d = (v & 0x0F0F0F0Fu) << (32 - 8 * length);
  d = (d * 10 + (d >> 8)) & 0x00FF00FFu;
  return (d * 100 + (d >> 16)) & 0xFFFFu;
}

// Bytes that can start a text right after the date field's blank.
struct TextStartBytes {
  unsigned char is[256];
  constexpr TextStartBytes() : is() {
    for (int c = 0; c < 256; ++c) is[c] = 1;
    is[(int)' '] = is[(int)'\t'] = is[(int)kLabelMark] = 0;
    is[(int)'\n'] = is[(int)'#'] = is[(int)'\r'] = is[0] = 0;
  }
};
inline constexpr TextStartBytes kTextStart;

// LookAtLabel within the first kFastMargin bytes of a line that has at
// least kFastMargin + 4 buffered; raw[i] is the blank after the date. The
// start of the text, or 0 where it is not known there.
__attribute__((always_inline)) inline int FastLabel(const unsigned char* raw, int i) {
  int j = i + 1;
  while (IsBlankByte(raw[j]))
    if (++j >= kFastMargin) return 0;
  if (raw[j] == kLabelMark) {
    for (++j;;) {
      if (j >= kFastMargin) return 0;
      // Four bytes from 0x24 to 0x7F are plain.
      uint32_t v;
      memcpy(&v, raw + j, 4);
      if (!(((v - 0x24242424u) | v) & 0x80808080u)) {
        j += 4;
        continue;
      }
      const unsigned char c = raw[j];
      const unsigned char kind = kLabelBytes.kind[c];
      if (kind == kLabelBlank) break;
      if (kind == kLabelUnstored) return 0;
      if (kind == kLabelHigh && IsLeadByte(c)) {
        if (IsUnstoredByte(raw[j + 1])) return 0;
        ++j;
      }
      ++j;
    }
    while (IsBlankByte(raw[j]))
      if (++j >= kFastMargin) return 0;
  }
  return j < kFastMargin && !IsUnstoredByte(raw[j]) ? j : 0;
}

// The start of the text after the date field's blank at raw[i], or 0.
__attribute__((always_inline)) inline int FastText(const unsigned char* raw, int i) {
  // Mostly the text follows a single blank; i + 1 is within the margin.
  return kTextStart.is[raw[i + 1]] ? i + 1 : FastLabel(raw, i);
}

// ReadPlainDate for the shortest forms only, on a line with at least
// kFastMargin + 4 bytes buffered, so that no byte of the date needs a bounds
// check: years of at most four digits, months and days of at most two,
// weekday names that end within kFastDateMax bytes. A line that starts
// with '#' is a comment. Returns how many bytes of the line (at most
// kFastMargin) are known to be whole characters without a line feed, after
// giving an entry to take (Plain or Weekday, with the keys whose month it
// falls in); 0 leaves the line to QuickLook, as does take returning 0.
template <typename Take>
__attribute__((always_inline)) inline int FastLook(const unsigned char* raw, const LineLook* look, const Take& take) {
  const uint8_t* row;
  int i;
  const unsigned c = raw[0];
  const unsigned start = look->starts[c];
  if (start == kStartDigit) {
    // One to four digits: raw[0] is one.
    uint32_t v;
    memcpy(&v, raw, 4);
    const uint32_t other = NonDigitBytes(v);
    unsigned year;
    if (!other) {
      i = 4;
      year = DigitsValue(v, 4);
    } else {
      i = __builtin_ctz(other) >> 3;
      year = DigitsValue(v, i);
    }
    if (raw[i] != '/') return 0;
    const unsigned slot = (uint16_t)(year + look->yearRow[c]);
    if (slot >= kFastYears) return i;
    row = look->keyBits[slot];
  } else if (start == kStartLetter) {
    // An era letter and mostly one or two digits.
    unsigned n = (unsigned)raw[1] - '0';
    if (n >= 10) return 0;
    const unsigned d1 = (unsigned)raw[2] - '0';
    if (d1 >= 10) {
      i = 2;
    } else if ((unsigned)raw[3] - '0' >= 10) {
      n = n * 10 + d1;
      i = 3;
    } else {
      uint32_t v;
      memcpy(&v, raw + 1, 4);
      const uint32_t other = NonDigitBytes(v);
      const int length = other ? __builtin_ctz(other) >> 3 : 4;
      n = DigitsValue(v, length);
      i = 1 + length;
    }
    if (raw[i] != '/') return 0;
    const unsigned slot = (uint16_t)(n + look->yearRow[c]);
    if (slot >= kFastYears) return i;
    row = look->keyBits[slot];
  } else if (start == kStartStar) {
    if (raw[1] != '/') return 0;
    row = look->keyBits[kFastAnyYear];
    i = 1;
  } else {
    return start == kStartHash ? 1 : 0;
  }

  // raw[i] is the '/' after the year.
  unsigned month = (unsigned)raw[i + 1] - '0';
  if (month < 10) {
    const unsigned m1 = (unsigned)raw[i + 2] - '0';
    i += 2;
    if (m1 < 10) {
      month = month * 10 + m1;
      ++i;
    }
  } else if (raw[i + 1] == '*') {
    month = 0;
    i += 2;
  } else {
    return 0;
  }
  if (raw[i] != '/') return 0;
  const unsigned keys = month < kFastMonths ? row[month] : 0;
  if (!keys) return i;

  const int dayPart = ++i;
  unsigned day = (unsigned)raw[i] - '0';
  if (day < 10) {
    const unsigned d1 = (unsigned)raw[++i] - '0';
    if (d1 < 10) {
      day = day * 10 + d1;
      if ((unsigned)raw[++i] - '0' < 10) return 0;
    }
  } else if (raw[i] == '*') {
    if (!IsBlankByte(raw[++i])) return 0;
    const int known = FastText(raw, i);
    return known && take.Plain(keys, 0) ? known : 0;
  } else {
    day = 0;
  }
  if (!IsBlankByte(raw[i])) {
    if (IsAsciiLetter(raw[i]) && IsAsciiLetter(raw[i + 1])) {
      // A name: its first three bytes count, lowered as FindWeekday compares
      // them; after three letters the field may go on in plain bytes.
      const int three = IsAsciiLetter(raw[i + 2]);
      uint32_t w;
      memcpy(&w, raw + i, 4);
      const uint32_t packed = (w | 0x20202020u) & (three ? 0x00FFFFFFu : 0x0000FFFFu);
      i += 2 + three;
      if (three) {
        for (;;) {
          if (i > kFastDateMax) return 0;
          uint32_t v;
          memcpy(&v, raw + i, 4);
          if (!(((v - 0x24242424u) | v) & 0x80808080u)) {
            i += 4;
            continue;
          }
          if (IsBlankByte(raw[i])) break;
          if (raw[i] < 0x24 || raw[i] >= 0x80) return 0;
          ++i;
        }
      } else if (!IsBlankByte(raw[i])) {
        return 0;
      }
      unsigned slot = NameSlot(packed);
      while (look->nameKey[slot] != packed) {
        if (!look->nameKey[slot]) return i;
        slot = (slot + 1) % kNameSlots;
      }
      const int known = FastText(raw, i);
      return known && take.Weekday(keys, look->nameDay[slot], day) ? known : 0;
    }
    if (!IsAsciiLetter(raw[i]) || !IsBlankByte(raw[++i])) return 0;
  }
  // No number, or a zero day: QuickLook passes over those that have a byte.
  if (!day) return i == dayPart ? 0 : i;
  const int known = FastText(raw, i);
  return known && take.Plain(keys, day) ? known : 0;
}

// Passes over the lines from the file's position on that FastLook tells
// and whose line feed is in the buffer, keeping the position local. Stops
// before any other line.
template <typename Scan, typename Take>
inline void RunLines(TableFile* file, const LineLook* look, const Take& take) {
  const unsigned char* p = file->buffer + file->pos;
  const unsigned char* const end = file->buffer + file->len;
  // FastLook reads fewer than kFastMargin + 4 bytes and knows at most
  // kFastMargin; the search for the line feed starts with kNear buffered bytes.
  static_assert(Scan::kNear <= 32, "");
  if (end - p < kFastMargin + 32) return;
  const unsigned char* const last = end - (kFastMargin + 32);
  while (p <= last) {
    const int known = FastLook(p, look, take);
    if (!known) break;
    const unsigned char* s;
    if (const unsigned feeds = Scan::NearFeeds(p + known)) {
      s = p + known + __builtin_ctz(feeds);
    } else {
      s = Scan::Find(p + known + Scan::kNear, end);
      if (s == end) break;
    }
    if (s[-1] >= 0x80) break;
    p = s + 1;
  }
  file->pos = (int)(p - file->buffer);
}

// The run compiled once for each line-feed loop, with that loop inlined.
template <typename Take>
__attribute__((flatten)) void RunLinesWords(TableFile* file, const LineLook* look, const Take* take) {
  RunLines<LineFeedScanWords>(file, look, *take);
}

#ifdef TARNIVEL_SSE2_LOOPS
template <typename Take>
__attribute__((target("sse2"), flatten)) void RunLinesSse2(TableFile* file, const LineLook* look,
                                                           const Take* take) {
  RunLines<LineFeedScanSse2>(file, look, *take);
}
#endif

template <typename Take>
using RunLinesFn = void (*)(TableFile* file, const LineLook* look, const Take* take);

// The run for this processor, or null where FastLook cannot say.
template <typename Take>
RunLinesFn<Take> ChooseRun(const LineLook* look) {
  if (!look->fast) return nullptr;
#ifdef TARNIVEL_SSE2_LOOPS
  if (ByteScanUsesSse2()) return RunLinesSse2<Take>;
#endif
  return RunLinesWords<Take>;
}
