#include "today/schedule.h"

#include <string.h>

#include "text/leadbyte.h"
#include "text/linefeedscan.h"
#include "text/strbasic.h"
#include "today/tablefields.h"

namespace {

const char* const kDefaultWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

int EqualIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return 0;
  }
  return *a == *b;
}

int FindWeekday(const char* name, const WeekdayNames* names) {
  for (int i = 0; i < 7; ++i) {
    if (EqualIgnoringCase(name, names ? names->name[i] : kDefaultWeekdays[i])) return i;
  }
  return -1;
}

// The first '/' of a line, as FindChar finds it.
struct LineSlash {
  const char* operator()(const char* p) const { return FindChar(p, '/'); }
};

// The same in text of single-byte characters only.
struct PlainSlash {
  const char* operator()(const char* p) const {
    while (*p && *p != '/') ++p;
    return *p ? p : nullptr;
  }
};

// ScanPattern (text, "%d/", n) without the general scanner, which every
// schedule line would pass through: the '/' that ends the number, or null
// where the scanner converts nothing.
template <typename FindSlash>
const char* ScanNumberBeforeSlash(const char* text, int32_t* n, FindSlash findSlash) {
  if (!*text) return nullptr;
  const char* slash = findSlash(text);
  if (!slash) return nullptr;
  *n = 0;
  const unsigned char* q = (const unsigned char*)text;
  const int negative = *q == '-';
  if (*q == '-' || *q == '+') ++q;
  const unsigned char* digits = q;
  uint32_t value = 0;
  for (; q < (const unsigned char*)slash && IsDigitByte((char)*q); ++q) value = value * 10 + (uint32_t)(*q - '0');
  if (q == digits) return nullptr;
  *n = (int32_t)(negative ? 0u - value : value);
  return slash;
}

// The day part: '*', a day, a weekday, or an occurrence and a weekday, as
// ScanPattern reads it with "%d%3s" and, where no number comes first, "%3s".
int ReadScheduleDay(const char* part, const WeekdayNames* names, ScheduleEntry* entry) {
  if (part[0] == '*') return 1;
  if (!part[0]) return 0;
  const char* q = part;
  const int negative = *q == '-';
  if (*q == '-' || *q == '+') ++q;
  const char* digits = q;
  uint32_t value = 0;
  for (; IsDigitByte(*q); ++q) value = value * 10 + (uint32_t)(*q - '0');
  const int number = q != digits;
  if (!number) q = part;
  // A name is taken when at least two bytes are left; up to three count.
  char name[4] = {0};
  size_t rest = strnlen(q, 3);
  if (rest >= 2)
    memcpy(name, q, rest);
  else if (!number)
    return 0;
  entry->day = number ? (uint16_t)(negative ? 0u - value : value) : 0;
  if (name[0]) {
    int weekday = FindWeekday(name, names);
    if (weekday < 0) return 0;
    entry->weekday = (uint8_t)weekday;
    return 1;
  }
  return entry->day != 0;
}

// At most kScheduleLabelMax bytes, never half a double-byte character.
void CopyLabel(char* label, const char* text) {
  int n = FitLength(text, kScheduleLabelMax);
  memcpy(label, text, (size_t)n);
  label[n] = '\0';
}

// Year, month and where the day part starts, read on the whole line. Both
// '/' of a valid line lie in its first field, so these are the values read
// on that field alone.
struct DatePeek {
  uint16_t year;
  uint16_t month;
  const char* dayPart;
};

template <typename FindSlash>
int PeekDate(const char* line, EraCache* eras, DatePeek* date, FindSlash findSlash) {
  // The year before the first '/': '*' (every year), a number or an era
  // letter and number ("%c%d/").
  int32_t n = 0;
  const char* slash;
  date->year = 0;
  if (line[0] == '*') {
    slash = findSlash(line);
  } else if (IsDigitByte(line[0])) {
    slash = ScanNumberBeforeSlash(line, &n, findSlash);
    if (!slash || (uint16_t)n == 0) return 0;
    date->year = (uint16_t)n;
  } else {
    if (!line[0]) return 0;
    const char* end = ScanNumberBeforeSlash(line + 1, &n, findSlash);
    if (!end) return 0;
    date->year = eras ? EraCacheLookup(eras, line[0], (uint16_t)n) : (uint16_t)n;
    if (!date->year) return 0;
    // The number was searched from the second byte: that is the line's
    // first '/' unless the first byte is one or starts a double-byte character.
    slash = (line[0] == '/' || IsLeadByte((unsigned char)line[0])) ? findSlash(line) : end;
  }
  if (!slash) return 0;
  const char* monthPart = slash + 1;
  date->month = 0;
  if (monthPart[0] == '*') {
    slash = findSlash(monthPart);
  } else {
    slash = ScanNumberBeforeSlash(monthPart, &n, findSlash);
    date->month = (uint16_t)n;
  }
  if (!slash) return 0;
  date->dayPart = slash + 1;
  return 1;
}

// Fields as SplitFields (" \t") makes them: a field ends at a blank or tab
// outside a double-byte character.
char* FieldEnd(char* p) {
  while (*p && *p != ' ' && *p != '\t') p += (IsLeadByte((unsigned char)*p) && p[1]) ? 2 : 1;
  return p;
}

char* SkipBlanks(char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// ParseScheduleLine without cutting and decoding the text, which only a
// matching line needs (TakeText).
int ParseScheduleFields(char* line, const DatePeek* date, ScheduleEntry* entry,
                        const WeekdayNames* names) {
  char* dateEnd = FieldEnd(line);
  if (date->dayPart > dateEnd) return 0;  // a '/' beyond the date field
  char* field = SkipBlanks(dateEnd);
  *dateEnd = '\0';
  entry->year = date->year;
  entry->month = date->month;
  if (!ReadScheduleDay(date->dayPart, names, entry)) return 0;

  if (field[0] == '*') {
    char* labelEnd = FieldEnd(field);
    char* next = SkipBlanks(labelEnd);
    *labelEnd = '\0';
    CopyLabel(entry->label, field + 1);
    field = next;
  }
  if (!*field) return 0;
  entry->text = field;
  return 1;
}

// Ends the text at its field and decodes it.
void TakeText(ScheduleEntry* entry) {
  *FieldEnd(entry->text) = '\0';
  Unescape(entry->text, 0);
}

int MonthMatchesAny(uint16_t year, uint16_t month, const MonthKey* keys, int count) {
  for (int i = 0; i < count; ++i) {
    if ((!year || year == MonthKeyYear(keys[i])) && (!month || month == MonthKeyMonth(keys[i])))
      return 1;
  }
  return 0;
}

// Parses a line unless its date misses every key.
int ParseLineFor(char* line, const MonthKey* keys, int count, ScheduleEntry* entry, EraCache* eras,
                 const WeekdayNames* names) {
  DatePeek date;
  if (!PeekDate(line, eras, &date, LineSlash()) || !MonthMatchesAny(date.year, date.month, keys, count)) return 0;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  return ParseScheduleFields(line, &date, entry, names);
}

// A look at a raw line before it is read: most lines of a large file are
// dated outside the months asked for, and for most others the date and
// whether a text follows can be read from the raw bytes.
enum { kQuickUnknown, kQuickNoMatch, kQuickEntry, kQuickFieldMax = 24 };

struct DateBytes {
  unsigned char is[256];
  constexpr DateBytes() : is() {
    for (int c = '0'; c <= '9'; ++c) is[c] = 1;
    for (int c = 'a'; c <= 'z'; ++c) is[c] = is[c - 'a' + 'A'] = 1;
    is[(int)'*'] = is[(int)'/'] = is[(int)'-'] = is[(int)'+'] = 1;
  }
};
constexpr DateBytes kDateBytes;

// Bytes that the reader drops or that end what it stores.
int IsUnstoredByte(unsigned char c) { return c == '\n' || c == '#' || c == '\r' || c == 0; }

int IsBlankByte(unsigned char c) { return c == ' ' || c == '\t'; }

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
constexpr LabelBytes kLabelBytes;

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

// The days of each weekday in the months asked for (the first kFastKeys):
// [w][0] every one, [w][k] the k-th.
struct WeekdayDays {
  DayMask days[kFastKeys][7][6];
};

void FillWeekdayDays(WeekdayDays* table, const MonthKey* keys, int count) {
  if (count > kFastKeys) count = kFastKeys;
  if (count > 0) memset(table->days, 0, sizeof table->days[0] * (size_t)count);
  for (int i = 0; i < count; ++i) {
    unsigned first = DayOfWeek(MonthKeyYear(keys[i]), MonthKeyMonth(keys[i]), 1);
    unsigned last = DaysInMonth(MonthKeyYear(keys[i]), MonthKeyMonth(keys[i]));
    for (unsigned d = 1; d <= last; ++d) {
      DayMask* days = table->days[i][(first + d - 1) % 7];
      days[0] |= 1u << d;
      days[(d - 1) / 7 + 1] |= 1u << d;
    }
  }
}

// The days an entry without a weekday marks in any month, by its day; a
// day of 100 stands for none.
inline constexpr DayMask PlainDays(unsigned day) { return day == 0 ? kMaskEveryDay : day <= 31 ? 1u << day : 0; }
struct PlainDayTable {
  DayMask days[101];
  constexpr PlainDayTable() : days() {
    for (unsigned d = 0; d < 100; ++d) days[d] = PlainDays(d);
  }
};
constexpr PlainDayTable kPlainDays;

// The first byte of a line for FastLook; letters are other bytes until
// the era table is loaded.
enum : unsigned char { kStartDigit, kStartLetter, kStartStar, kStartHash, kStartOther };
struct LineStarts {
  unsigned char kind[256];
  constexpr LineStarts(unsigned char letter) : kind() {
    for (int c = 0; c < 256; ++c) kind[c] = kStartOther;
    for (int c = '0'; c <= '9'; ++c) kind[c] = kStartDigit;
    for (int c = 'a'; c <= 'z'; ++c) kind[c] = kind[c - 'a' + 'A'] = letter;
    kind[(int)'*'] = kStartStar;
    kind[(int)'#'] = kStartHash;
  }
};
constexpr LineStarts kLineStarts(kStartLetter), kLineStartsBeforeEras(kStartOther);

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

uint32_t PackedName(const char* name) {
  uint32_t packed = 0;
  for (int i = 0; i < 4 && name[i]; ++i) packed |= (uint32_t)(unsigned char)LowerAscii(name[i]) << (8 * i);
  return packed;
}

inline unsigned NameSlot(uint32_t packed) { return (packed * 0x9E3779B1u) >> 28; }

void FillYearRows(LineLook* look) {
  for (int c = 0; c < 256; ++c) look->yearRow[c] = (uint16_t)(0u - look->yearBase);
  look->erasKnown = !look->eras || look->eras->state;
  memcpy(look->starts, look->erasKnown ? kLineStarts.kind : kLineStartsBeforeEras.kind, sizeof look->starts);
  if (!look->eras || !look->eras->state) return;
  const EraTable* table = &look->eras->table;
  for (int c = 'A'; c <= 'z'; ++c)
    if (IsEraLetter((char)c) && table->known[c])
      look->yearRow[c] = (uint16_t)(table->firstYear[c] - 1u - look->yearBase);
}

void InitLook(LineLook* look, const MonthKey* keys, int count, EraCache* eras, const WeekdayNames* names) {
  look->keys = keys;
  look->count = count;
  look->eras = eras;
  look->names = names;
  memset(look->nameKey, 0, sizeof look->nameKey);
  for (int i = 0; i < 7; ++i) {
    const char* name = names ? names->name[i] : kDefaultWeekdays[i];
    // A longer name matches no name of two or three bytes.
    const uint32_t packed = strnlen(name, 4) <= 3 ? PackedName(name) : 0xFFFFFFFFu;
    look->weekdays[i] = packed;
    if (packed == 0xFFFFFFFFu || packed < 0x100) continue;  // nor does a shorter one
    unsigned slot = NameSlot(packed);
    while (look->nameKey[slot] && look->nameKey[slot] != packed) slot = (slot + 1) % kNameSlots;
    if (!look->nameKey[slot]) {
      look->nameKey[slot] = packed;
      look->nameDay[slot] = (uint8_t)i;
    }
  }
  look->erasKnown = 1;  // FastLook alone waits for the era table
  unsigned low = 0xFFFF, high = 0;
  look->fast = count > 0 && count <= kFastKeys;
  for (int i = 0; i < count && look->fast; ++i) {
    const unsigned year = MonthKeyYear(keys[i]), month = MonthKeyMonth(keys[i]);
    if (!year || year > 0xFFF0 || !month || month > 12) look->fast = 0;
    if (year < low) low = year;
    if (year > high) high = year;
  }
  if (look->fast && high - low >= kFastYears) look->fast = 0;
  if (!look->fast) return;
  look->yearBase = (uint16_t)low;
  FillYearRows(look);
  memset(look->keyBits, 0, sizeof look->keyBits);
  for (int i = 0; i < count; ++i) {
    const unsigned month = MonthKeyMonth(keys[i]);
    const uint8_t bit = (uint8_t)(1u << i);
    uint8_t* row = look->keyBits[MonthKeyYear(keys[i]) - low];
    uint8_t* any = look->keyBits[kFastAnyYear];
    row[month] |= bit;
    row[0] |= bit;
    any[month] |= bit;
    any[0] |= bit;
  }
}

int YearMissesAll(uint16_t year, const MonthKey* keys, int count) {
  for (int i = 0; i < count; ++i)
    if (year == MonthKeyYear(keys[i])) return 0;
  return 1;
}

int IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// The digits from raw[i] on, as the parsers add them up (wrapping); returns
// where they end.
int TakeDigits(const unsigned char* raw, int n, int i, uint32_t* value) {
  uint32_t v = 0;
  for (; i < n && IsDigitByte((char)raw[i]); ++i) v = v * 10 + (uint32_t)(raw[i] - '0');
  *value = v;
  return i;
}

// The date field in its common forms, read straight from the raw bytes: a
// year of '*', digits, or a letter and digits; a month of '*' or digits;
// a day of '*', digits, a weekday name or both, ended by a blank. The
// year and month alone can rule a line out. kQuickUnknown for other forms;
// *fieldEnd is where the look stopped, before it only date bytes: the
// blank after the field of a kQuickEntry.
int ReadPlainDate(const unsigned char* raw, int n, const LineLook* look, ScheduleEntry* entry, int* fieldEnd) {
  const MonthKey* keys = look->keys;
  const int count = look->count;
  int i = 0;
  // Where the look stopped, for the caller.
  auto stop = [&](int result) {
    *fieldEnd = i;
    return result;
  };
  uint16_t year = 0;
  if (raw[0] == '*') {
    i = 1;
  } else {
    const int letter = IsAsciiLetter(raw[0]);
    uint32_t value;
    i = TakeDigits(raw, n, letter, &value);
    if (i == letter || i >= n || raw[i] != '/') return kQuickUnknown;
    year = letter && look->eras ? EraCacheLookup(look->eras, (char)raw[0], (uint16_t)value) : (uint16_t)value;
    if (!year || YearMissesAll(year, keys, count)) return stop(kQuickNoMatch);
  }
  if (i >= n || raw[i] != '/') return kQuickUnknown;
  uint16_t month = 0;
  if (++i < n && raw[i] == '*') {
    ++i;
  } else {
    const int digits = i;
    uint32_t value;
    i = TakeDigits(raw, n, i, &value);
    if (i == digits) return kQuickUnknown;
    month = (uint16_t)value;
  }
  if (i >= n || raw[i] != '/') return kQuickUnknown;
  if (!MonthMatchesAny(year, month, keys, count)) return stop(kQuickNoMatch);

  const int dayPart = ++i;
  uint16_t day = 0;
  int weekday = kWeekdayNone;
  if (i < n && raw[i] == '*') {
    ++i;
  } else {
    uint32_t value;
    i = TakeDigits(raw, n, i, &value);
    day = (uint16_t)value;
    const int digits = i - dayPart, letters = i;
    while (i < n && IsAsciiLetter(raw[i])) ++i;
    if (i >= n || !IsBlankByte(raw[i])) return kQuickUnknown;
    if (i - letters >= 2) {
      char name[4] = {0};
      memcpy(name, raw + letters, i - letters < 3 ? 2 : 3);
      const uint32_t packed = PackedName(name);
      for (weekday = 0; weekday < 7 && look->weekdays[weekday] != packed; ++weekday) {
      }
      if (weekday == 7) return stop(kQuickNoMatch);
    } else if (!digits || !day) {
      return i > dayPart ? stop(kQuickNoMatch) : kQuickUnknown;
    }
  }
  if (i >= n || !IsBlankByte(raw[i])) return kQuickUnknown;
  entry->year = year;
  entry->month = month;
  entry->day = day;
  entry->weekday = (uint8_t)weekday;
  entry->label[0] = '\0';
  entry->text = nullptr;
  return stop(kQuickEntry);
}

// The other forms: a first field of date bytes read as a copy, the way
// the line parser reads it.
int LookAtDate(const unsigned char* raw, int n, const LineLook* look, ScheduleEntry* entry, int* fieldEnd) {
  char field[kQuickFieldMax + 1];
  const int limit = n < kQuickFieldMax ? n : kQuickFieldMax;
  int i = 0;
  for (; i < limit && kDateBytes.is[raw[i]]; ++i) field[i] = (char)raw[i];
  *fieldEnd = i;
  if (i == 0 || i >= n || !IsBlankByte(raw[i])) return kQuickUnknown;
  field[i] = '\0';
  DatePeek date;
  if (!PeekDate(field, look->eras, &date, PlainSlash()) ||
      !MonthMatchesAny(date.year, date.month, look->keys, look->count))
    return kQuickNoMatch;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  entry->year = date.year;
  entry->month = date.month;
  if (!ReadScheduleDay(date.dayPart, look->names, entry)) return kQuickNoMatch;
  return kQuickEntry;
}

// After a date field that ends at raw[i]: kQuickEntry where every byte up
// to the first of the text is stored as it stands; *known is then where the
// text starts.
__attribute__((always_inline)) inline int LookAtLabel(const unsigned char* raw, int n, int i, int* known) {
  int j = i;
  while (j < n && IsBlankByte(raw[j])) ++j;
  if (j < n && raw[j] == '*') {
    for (++j; j < n; ++j) {
      const unsigned char c = raw[j];
      const unsigned char kind = kLabelBytes.kind[c];
      if (kind == kLabelPlain) continue;
      if (kind == kLabelBlank) break;
      if (kind == kLabelUnstored) return kQuickUnknown;
      if (IsLeadByte(c) && (++j >= n || IsUnstoredByte(raw[j]))) return kQuickUnknown;
    }
    while (j < n && IsBlankByte(raw[j])) ++j;
  }
  if (j >= n || j >= kTableLineMax || IsUnstoredByte(raw[j])) return kQuickUnknown;
  *known = j;
  return kQuickEntry;
}

// kQuickUnknown unless the first field, up to a blank, holds only date bytes
// and every byte up to the first of the text is stored as it stands (none
// dropped, no comment, within the line limit): the line then reads as its
// raw bytes do. kQuickEntry fills entry's date. *known bytes of the line
// are whole characters without a line feed.
__attribute__((noinline)) int QuickLook(const unsigned char* raw, int n, const LineLook* look,
                                        ScheduleEntry* entry, int* known) {
  int i = 0;
  int result = ReadPlainDate(raw, n, look, entry, &i);
  if (result == kQuickUnknown) result = LookAtDate(raw, n, look, entry, &i);
  *known = i;
  if (result != kQuickEntry) return result;
  return LookAtLabel(raw, n, i, known);
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
    is[(int)' '] = is[(int)'\t'] = is[(int)'*'] = 0;
    is[(int)'\n'] = is[(int)'#'] = is[(int)'\r'] = is[0] = 0;
  }
};
constexpr TextStartBytes kTextStart;

// LookAtLabel within the first kFastMargin bytes of a line that has at
// least kFastMargin + 4 buffered; raw[i] is the blank after the date. The
// start of the text, or 0 where it is not known there.
__attribute__((always_inline)) inline int FastLabel(const unsigned char* raw, int i) {
  int j = i + 1;
  while (IsBlankByte(raw[j]))
    if (++j >= kFastMargin) return 0;
  if (raw[j] == '*') {
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

__attribute__((always_inline)) inline void MarkEntry(const ScheduleEntry* entry, const MonthKey* keys,
                                                   const WeekdayDays* table, DayMask* masks, int count) {
  for (int i = 0; i < count; ++i) {
    uint16_t year = MonthKeyYear(keys[i]), month = MonthKeyMonth(keys[i]);
    if ((entry->month && entry->month != month) || (entry->year && entry->year != year)) continue;
    if (entry->weekday == kWeekdayNone) {
      masks[i] |= PlainDays(entry->day);
      continue;
    }
    if (i < kFastKeys) {
      if (entry->day <= 5) masks[i] |= table->days[i][entry->weekday][entry->day];
      continue;
    }
    unsigned first = DayOfWeek(year, month, 1), last = DaysInMonth(year, month);
    unsigned w = entry->weekday;
    unsigned d = w == first ? 1 : (first < w ? 1 + w - first : 8 + w - first);
    for (; d <= last; d += 7) {
      unsigned occurrence = (d - 1) / 7 + 1;
      if (entry->day == 0 || occurrence == entry->day) masks[i] |= 1u << d;
      if (entry->day != 0 && occurrence >= entry->day) break;
    }
  }
}

// ScheduleEntryMatches with the weekday of the date given.
inline int EntryMatchesDay(const ScheduleEntry* entry, uint16_t year, uint16_t month, uint16_t day,
                           unsigned weekday) {
  if ((entry->year && entry->year != year) || (entry->month && entry->month != month)) return 0;
  if (entry->weekday == kWeekdayNone) return entry->day == 0 || entry->day == day;
  if (weekday != entry->weekday) return 0;
  return entry->day == 0 || (unsigned)(day - 1) / 7 + 1 == entry->day;
}

// What the run of lines does with an entry: nonzero when it is done with.
struct MarkTake {
  DayMask* masks;
  const WeekdayDays* table;
  __attribute__((always_inline)) int Plain(unsigned keys, unsigned day) const {
    const DayMask days = kPlainDays.days[day];
    if (keys & 1) masks[0] |= days;
    if (keys & 2) masks[1] |= days;
    for (unsigned rest = keys >> 2, i = 2; rest; rest >>= 1, ++i)
      if (rest & 1) masks[i] |= days;
    return 1;
  }
  __attribute__((always_inline)) int Weekday(unsigned keys, unsigned weekday, unsigned day) const {
    if (day > 5) return 1;
    if (keys & 1) masks[0] |= table->days[0][weekday][day];
    if (keys & 2) masks[1] |= table->days[1][weekday][day];
    for (unsigned rest = keys >> 2, i = 2; rest; rest >>= 1, ++i)
      if (rest & 1) masks[i] |= table->days[i][weekday][day];
    return 1;
  }
};

// A day lookup passes over the entries that miss its day; kept says that
// the run stopped at one of the day.
struct CollectTake {
  DayMask day;
  const WeekdayDays* table;
  mutable int kept;
  __attribute__((always_inline)) int Plain(unsigned, unsigned entryDay) const {
    kept = (kPlainDays.days[entryDay] & day) != 0;
    return !kept;
  }
  __attribute__((always_inline)) int Weekday(unsigned, unsigned weekday, unsigned entryDay) const {
    kept = entryDay <= 5 && (table->days[0][weekday][entryDay] & day);
    return !kept;
  }
};

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

}  // namespace

void WeekdayNamesDefault(WeekdayNames* names) {
  memset(names, 0, sizeof *names);
  for (int i = 0; i < 7; ++i) memcpy(names->name[i], kDefaultWeekdays[i], 3);
}

int ParseScheduleLine(char* line, ScheduleEntry* entry, EraCache* eras, const WeekdayNames* names) {
  DatePeek date;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  if (!PeekDate(line, eras, &date, LineSlash()) || !ParseScheduleFields(line, &date, entry, names)) return 0;
  TakeText(entry);
  return 1;
}

namespace {

enum { kQuickEnd = -1 };

// QuickLook at the next line, kQuickEnd at the end of the file; the year rows
// are filled once the era table is known.
int LookAtNextLine(TableFile* file, LineLook* look, EraCache* eras, ScheduleEntry* entry, int* known) {
  const unsigned char* raw;
  const int n = PeekTableLine(file, &raw);
  if (!n) return kQuickEnd;
  const int result = QuickLook(raw, n, look, entry, known);
  if (!look->erasKnown && eras->state) FillYearRows(look);
  return result;
}

}  // namespace

void MarkScheduleFile(TableFile* file, EraCache* eras, const WeekdayNames* names,
                      const MonthKey* keys, DayMask* masks, int count) {
  WeekdayDays table;
  FillWeekdayDays(&table, keys, count);
  LineLook look;
  InitLook(&look, keys, count, eras, names);
  const MarkTake take = {masks, &table};
  const RunLinesFn<MarkTake> run = ChooseRun<MarkTake>(&look);
  const LineFeedFinder findLineFeed = LineFeedSearch();
  ScheduleEntry entry;
  for (;;) {
    if (run) run(file, &look, &take);
    int known;
    const int result = LookAtNextLine(file, &look, eras, &entry, &known);
    if (result == kQuickEnd) break;
    if (result != kQuickUnknown) {
      SkipTableLine(file, known, findLineFeed);
      if (result == kQuickEntry) MarkEntry(&entry, keys, &table, masks, count);
      continue;
    }
    char* line = ReadTableLine(file);
    if (!line) break;
    if (ParseLineFor(line, keys, count, &entry, eras, names)) MarkEntry(&entry, keys, &table, masks, count);
  }
}

int ScheduleEntryMatches(const ScheduleEntry* entry, uint16_t year, uint16_t month, uint16_t day) {
  return EntryMatchesDay(entry, year, month, day, DayOfWeek(year, month, day));
}

int CollectScheduleFileTexts(TableFile* file, EraCache* eras, const WeekdayNames* names,
                             uint16_t year, uint16_t month, uint16_t day, StringList* list) {
  int found = 0;
  MonthKey key = MakeMonthKey(year, month);
  WeekdayDays table;
  FillWeekdayDays(&table, &key, 1);
  LineLook look;
  InitLook(&look, &key, 1, eras, names);
  const CollectTake take = {1u << (day & 31), &table, 0};
  // The table knows the days of the month only.
  const RunLinesFn<CollectTake> run = day >= 1 && day <= DaysInMonth(year, month) ? ChooseRun<CollectTake>(&look) : nullptr;
  ScheduleEntry entry;
  const LineFeedFinder findLineFeed = LineFeedSearch();
  const unsigned weekday = DayOfWeek(year, month, day);
  while (!list->full) {
    // A line that the run kept is an entry of the day.
    take.kept = 0;
    if (run) run(file, &look, &take);
    if (!take.kept) {
      int known;
      const int result = LookAtNextLine(file, &look, eras, &entry, &known);
      if (result == kQuickEnd) break;
      if (result == kQuickNoMatch ||
          (result == kQuickEntry && !EntryMatchesDay(&entry, year, month, day, weekday))) {
        SkipTableLine(file, known, findLineFeed);
        continue;
      }
    }
    char* line = ReadTableLine(file);
    if (!line) break;
    if (!ParseLineFor(line, &key, 1, &entry, eras, names)) continue;
    if (!EntryMatchesDay(&entry, year, month, day, weekday)) continue;
    TakeText(&entry);
    found += StringListAppend(list, entry.label, entry.text);
  }
  return found;
}
