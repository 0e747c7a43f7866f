#include "desk/deskfile.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

// What a chip's font values may be; the writer keeps to them too, so that it
// never writes a file the reader refuses.
const int kMaxFontHeight = 256, kMaxFontWeight = 1000, kMaxCharSet = 255, kMaxQuality = 6;
// A memo line: every byte escaped as \xNN at the most, and its key.
const size_t kMaxLine = 4 * kDeskMaxMemo + 64;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trimmed(const char* begin, const char* end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string(begin, end);
}

// Section and key names are ASCII and, as in any INI file, of either case.
bool StartsWithName(const std::string& text, const char* name) {
  size_t n = strlen(name);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (tolower((unsigned char)text[i]) != tolower((unsigned char)name[i])) return false;
  return true;
}
bool SameName(const std::string& text, const char* name) {
  return text.size() == strlen(name) && StartsWithName(text, name);
}

// A trimmed line [NAME]: true and the name without blanks.
bool IsSection(const std::string& s, std::string* name) {
  if (s.size() < 2 || s[0] != '[' || s.back() != ']') return false;
  *name = Trimmed(s.c_str() + 1, s.c_str() + s.size() - 1);
  return true;
}

bool ParseInt(const std::string& text, long lo, long hi, int* out) {
  if (text.empty() || text.size() > 12 || !(isdigit((unsigned char)text[0]) || text[0] == '-')) return false;
  char* end = nullptr;
  long v = strtol(text.c_str(), &end, 10);
  if (*end || v < lo || v > hi) return false;
  *out = (int)v;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// #RRGGBB; six digits without '#' are RRGGBB too, but BBGGRR (the
// COLORREF as it is) in a file of Version 1.
bool ParseColor(const std::string& text, int version, uint32_t* out) {
  bool hash = !text.empty() && text[0] == '#';
  if (text.size() != (hash ? 7u : 6u)) return false;
  uint32_t v = 0;
  for (size_t i = hash; i < text.size(); ++i) {
    int d = HexDigit(text[i]);
    if (d < 0) return false;
    v = v << 4 | (uint32_t)d;
  }
  *out = hash || version >= 2 ? (v >> 16) | (v & 0xFF00) | (v & 0xFF) << 16 : v;
  return true;
}

bool ParseHex(const std::string& text, size_t maxBytes, std::vector<unsigned char>* out) {
  if (text.size() % 2 || text.size() / 2 > maxBytes) return false;
  out->clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back((unsigned char)(hi << 4 | lo));
  }
  return true;
}

// The saved-data block must hold its length word and no less payload than it declares.
bool SaveDataWhole(const std::vector<unsigned char>& block) {
  if (block.size() < 4) return false;
  uint32_t length = block[0] | block[1] << 8 | block[2] << 16 | (uint32_t)block[3] << 24;
  return length <= block.size() - 4;
}

enum KeyKind { kNumber, kFlag, kColor, kFace, kMemo, kSaveData };

struct ChipKey {
  const char* name;
  KeyKind kind;
  int since;  // the first version that writes it
  int DeskChipRecord::*number;
  long lo, hi;
  bool DeskChipRecord::*flag;
  uint32_t DeskChipRecord::*color;
};

// A chip's keys in the order the writer writes them.
const ChipKey kChipKeys[] = {
    {"Left", kNumber, 1, &DeskChipRecord::left, -kDeskMaxCoordinate, kDeskMaxCoordinate, nullptr, nullptr},
    {"Top", kNumber, 1, &DeskChipRecord::top, -kDeskMaxCoordinate, kDeskMaxCoordinate, nullptr, nullptr},
    {"TextColor", kColor, 1, nullptr, 0, 0, nullptr, &DeskChipRecord::textColor},
    {"BackColor", kColor, 1, nullptr, 0, 0, nullptr, &DeskChipRecord::backColor},
    {"FontHeight", kNumber, 1, &DeskChipRecord::fontHeight, -kMaxFontHeight, kMaxFontHeight, nullptr, nullptr},
    {"FontWeight", kNumber, 1, &DeskChipRecord::fontWeight, 0, kMaxFontWeight, nullptr, nullptr},
    {"FontItalic", kFlag, 1, nullptr, 0, 1, &DeskChipRecord::fontItalic, nullptr},
    {"FontUnderline", kFlag, 2, nullptr, 0, 1, &DeskChipRecord::fontUnderline, nullptr},
    {"FontStrikeOut", kFlag, 2, nullptr, 0, 1, &DeskChipRecord::fontStrikeOut, nullptr},
    {"FontCharSet", kNumber, 1, &DeskChipRecord::fontCharSet, 0, kMaxCharSet, nullptr, nullptr},
    {"FontQuality", kNumber, 1, &DeskChipRecord::fontQuality, 0, kMaxQuality, nullptr, nullptr},
    {"FontFace", kFace, 1, nullptr, 0, 0, nullptr, nullptr},
    {"Topmost", kFlag, 1, nullptr, 0, 1, &DeskChipRecord::topmost, nullptr},
    {"Memo", kMemo, 1, nullptr, 0, 0, nullptr, nullptr},
    {"SaveData", kSaveData, 1, nullptr, 0, 0, nullptr, nullptr},
};
const int kChipKeyCount = (int)(sizeof kChipKeys / sizeof kChipKeys[0]);
const int kLeftKey = 0, kTopKey = 1;

int FindChipKey(const std::string& name) {
  for (int i = 0; i < kChipKeyCount; ++i)
    if (SameName(name, kChipKeys[i].name)) return i;
  return -1;
}

// A face name is one line: no control bytes.
bool FaceFits(const std::string& face) {
  return face.size() <= kDeskMaxFace &&
         std::none_of(face.begin(), face.end(), [](char ch) { return (unsigned char)ch < 0x20; });
}

// Sets one key of a chip; false for a bad value. A memo of Version 1 is
// taken as it stands after '=' (raw), as that version wrote it.
bool SetChipKey(DeskChipRecord* c, const ChipKey& k, const std::string& value, const std::string& raw,
                int version) {
  int v;
  switch (k.kind) {
    case kNumber: return ParseInt(value, k.lo, k.hi, &(c->*k.number));
    case kFlag:
      if (!ParseInt(value, 0, 1, &v)) return false;
      c->*k.flag = v != 0;
      return true;
    case kColor: return ParseColor(value, version, &(c->*k.color));
    case kFace:
      if (!FaceFits(value)) return false;
      memcpy(c->fontFace, value.c_str(), value.size() + 1);
      return true;
    case kMemo:
      return UnescapeMemo(version < 2 ? raw : value, &c->memo, version) && c->memo.size() <= kDeskMaxMemo;
    case kSaveData: return ParseHex(value, kDeskMaxSaveData, &c->saveData) && SaveDataWhole(c->saveData);
  }
  return false;
}

// One key's value as the writer writes it, inside what the reader takes.
std::string ChipKeyText(const DeskChipRecord& c, const ChipKey& k) {
  char b[16];
  switch (k.kind) {
    case kNumber: {
      long v = c.*k.number;
      snprintf(b, sizeof b, "%ld", v < k.lo ? k.lo : v > k.hi ? k.hi : v);
      return b;
    }
    case kFlag: return c.*k.flag ? "1" : "0";
    case kColor: {
      uint32_t v = c.*k.color;
      snprintf(b, sizeof b, "#%02X%02X%02X", (unsigned)(v & 0xFF), (unsigned)(v >> 8 & 0xFF),
               (unsigned)(v >> 16 & 0xFF));
      return b;
    }
    case kFace: {
      const char* face = c.fontFace;
      const char* end = face;
      while (end < face + kDeskMaxFace && (unsigned char)*end >= 0x20) ++end;
      return Trimmed(face, end);
    }
    case kMemo: {
      std::string memo(c.memo.c_str());  // the memo is a zero-terminated text
      if (memo.size() > kDeskMaxMemo) memo.resize(kDeskMaxMemo);
      return EscapeMemo(memo);
    }
    case kSaveData: {
      // A block that is not whole gives the library's defaults.
      if (c.saveData.size() > kDeskMaxSaveData || !SaveDataWhole(c.saveData)) return "00000000";
      std::string hex;
      for (unsigned char byte : c.saveData) snprintf(b, sizeof b, "%02X", byte), hex += b;
      return hex;
    }
  }
  return std::string();
}

// A line of a chip section, kept until the file's version is known.
struct ChipLine {
  int line;
  int key;              // in kChipKeys; -1 for a line at fault in itself
  DeskFileFault fault;  // the line's own, or kDeskFaultBadValue should its value not read
  std::string value, raw;
};

struct ChipSection {
  int number, line;
  std::vector<ChipLine> lines;
};

void AddProblem(DeskFileContents* out, DeskFileFault fault, int chip, int line, const char* key) {
  out->problems.push_back(DeskFileProblem{fault, chip, line, key});
}

// Reads one chip section; false (and a problem naming it) for a chip set aside.
bool ReadChip(const ChipSection& s, int version, bool cutHere, int lastLine, DeskFileContents* out,
              DeskChipRecord* c) {
  DefaultDeskChip(c);
  unsigned seen = 0;
  for (const ChipLine& l : s.lines) {
    if (l.key < 0) return AddProblem(out, l.fault, s.number, l.line, ""), false;
    const ChipKey& k = kChipKeys[l.key];
    if (l.fault == kDeskFaultTooLong || !SetChipKey(c, k, l.value, l.raw, version))
      return AddProblem(out, l.fault, s.number, l.line, k.name), false;
    seen |= 1u << l.key;
  }
  for (int key : {kLeftKey, kTopKey})
    if (!(seen & 1u << key)) return AddProblem(out, kDeskFaultNoPlace, s.number, s.line, kChipKeys[key].name), false;
  if (cutHere) {
    // Where the file stops, a line or key may be missing from the end.
    unsigned all = 0;
    for (int i = 0; i < kChipKeyCount; ++i)
      if (kChipKeys[i].since <= version) all |= 1u << i;
    if ((seen & all) != all) return AddProblem(out, kDeskFaultCutShort, s.number, lastLine, ""), false;
  }
  return true;
}

}  // namespace

void DefaultDeskChip(DeskChipRecord* c) {
  c->left = c->top = 0;
  c->textColor = 0x000000;
  c->backColor = 0xFFFFFF;
  c->fontHeight = -16;
  c->fontWeight = 400;
  c->fontItalic = c->fontUnderline = c->fontStrikeOut = false;
  c->fontCharSet = 128;  // Shift-JIS
  c->fontQuality = 3;    // non-antialiased
  c->fontFace[0] = 0;  // the system's user-interface font
  c->topmost = false;
  c->memo.clear();
  c->saveData.assign(4, 0);
}

bool ReadDeskFile(const char* text, size_t size, DeskFileContents* out) {
  out->chips.clear();
  out->problems.clear();
  out->version = kDeskFileVersion;
  std::vector<ChipSection> sections;
  std::vector<bool> numbered(kDeskMaxChips + 1);
  enum { kNone, kDesk, kChip, kSkip, kOther, kEnd } section = kNone;
  int declared = -1, declaredLine = 0, versionLine = 0, line = 0, chipSections = 0;
  bool versionUnknown = false, sawEnd = false;
  // A file-level fault; past kDeskMaxProblems of them the rest go unlisted.
  auto fileFault = [&](DeskFileFault fault, int chip, const char* key) {
    if (out->problems.size() < kDeskMaxProblems) AddProblem(out, fault, chip, line, key);
  };
  // A fault of the line itself: inside a chip it sets that chip aside.
  auto lineFault = [&](DeskFileFault fault, int key) {
    if (section == kChip) sections.back().lines.push_back(ChipLine{line, key, fault, "", ""});
    else if (section != kSkip) fileFault(fault, 0, key >= 0 ? kChipKeys[key].name : "");
  };

  size_t at = size >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
  while (at < size) {
    ++line;
    const char* begin = text + at;
    const char* newline = (const char*)memchr(begin, '\n', size - at);
    const char* end = newline ? newline : text + size;
    at = (size_t)(end - text) + 1;
    std::string s = Trimmed(begin, end), name;
    if (s.empty() || s[0] == ';' || s[0] == '#') continue;
    // The unended last line of a file without [End] is where a write broke off.
    if (!newline && end[-1] != '\r' && !sawEnd && !(IsSection(s, &name) && SameName(name, "End"))) break;
    const char* eq = (const char*)memchr(begin, '=', (size_t)(end - begin));
    const std::string key = eq ? Trimmed(begin, eq) : std::string();
    if ((size_t)(end - begin) > kMaxLine) {
      lineFault(kDeskFaultTooLong, FindChipKey(key));
    } else if (memchr(begin, 0, (size_t)(end - begin))) {
      lineFault(kDeskFaultUnknownLine, -1);
    } else if (s[0] == '[') {
      int n = 0;
      if (!IsSection(s, &name)) {
        lineFault(kDeskFaultUnknownLine, -1);
      } else if (SameName(name, "Desk")) {
        section = kDesk;
      } else if (SameName(name, "End")) {
        section = kEnd;
        sawEnd = true;
      } else if (!StartsWithName(name, "Chip")) {
        section = kOther;
      } else if (name.find_first_not_of("0123456789", 4) != std::string::npos ||
                 !ParseInt(name.substr(4), 1, kDeskMaxChips, &n)) {
        section = kSkip;
        fileFault(kDeskFaultChipNumber, 0, "");
      } else if (++chipSections && numbered[n]) {
        section = kSkip;
        fileFault(kDeskFaultDuplicateChip, n, "");
      } else {
        numbered[n] = true;
        sections.push_back(ChipSection{n, line, {}});
        section = kChip;
      }
    } else if (key.empty() || section == kNone || section == kEnd) {
      lineFault(kDeskFaultUnknownLine, -1);
    } else if (section == kDesk && SameName(key, "Version")) {
      int v = kDeskFileVersion;
      versionUnknown = !ParseInt(Trimmed(eq + 1, end), 1, 1000000, &v) || v > kDeskFileVersion;
      out->version = v;
      versionLine = line;
    } else if (section == kDesk && SameName(key, "Chips")) {
      if (!ParseInt(Trimmed(eq + 1, end), 0, kDeskMaxChips, &declared)) fileFault(kDeskFaultBadValue, 0, "Chips");
      declaredLine = line;
    } else if (section == kChip && FindChipKey(key) >= 0) {
      const char* rawEnd = end > eq + 1 && end[-1] == '\r' ? end - 1 : end;
      sections.back().lines.push_back(
          ChipLine{line, FindChipKey(key), kDeskFaultBadValue, Trimmed(eq + 1, end), std::string(eq + 1, rawEnd)});
    }  // other keys: a later version's
  }

  // A file without [End] was cut short: the chip it stops in may have lost keys.
  const int stopIn = !sawEnd && section == kChip ? sections.back().number : 0;
  std::sort(sections.begin(), sections.end(),
                   [](const ChipSection& a, const ChipSection& b) { return a.number < b.number; });
  for (const ChipSection& s : sections) {
    DeskChipRecord c;
    if (ReadChip(s, out->version, s.number == stopIn, line, out, &c)) out->chips.push_back(std::move(c));
  }
  bool cutNamed = std::any_of(out->problems.begin(), out->problems.end(),
                              [](const DeskFileProblem& p) { return p.fault == kDeskFaultCutShort; });
  if (versionUnknown) AddProblem(out, kDeskFaultVersion, 0, versionLine, "Version");
  if (declared >= 0 && declared != chipSections) AddProblem(out, kDeskFaultChipCount, 0, declaredLine, "Chips");
  if (!sawEnd && !cutNamed) AddProblem(out, kDeskFaultCutShort, 0, line > 0 ? line : 1, "");
  std::stable_sort(out->problems.begin(), out->problems.end(),
                   [](const DeskFileProblem& a, const DeskFileProblem& b) { return a.line < b.line; });
  return out->problems.empty();
}

std::string FormatDeskFile(const std::vector<DeskChipRecord>& chips) {
  const size_t count = std::min(chips.size(), (size_t)kDeskMaxChips);
  char b[32];
  snprintf(b, sizeof b, "[Desk]\r\nVersion=%d\r\n", kDeskFileVersion);
  std::string out = b;
  snprintf(b, sizeof b, "Chips=%u\r\n", (unsigned)count);
  out += b;
  for (size_t i = 0; i < count; ++i) {
    snprintf(b, sizeof b, "\r\n[Chip%u]\r\n", (unsigned)(i + 1));
    out += b;
    for (const ChipKey& k : kChipKeys) {
      out += k.name;
      out += '=';
      out += ChipKeyText(chips[i], k);
      out += "\r\n";
    }
  }
  out += "\r\n[End]\r\n";
  return out;
}
