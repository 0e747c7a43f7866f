#include "desk/deskfile.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

const int kVersion = 1;

// What a chip's font values may be; the writer keeps to them too, so that it
// never writes a file the reader refuses.
const int kMaxFontHeight = 256, kMaxFontWeight = 1000, kMaxCharSet = 255, kMaxQuality = 6;
// A memo line: every byte escaped as \xNN at the most, and its key.
const size_t kMaxLine = 4 * kDeskMaxMemo + 64;

bool ParseInt(const std::string& text, long lo, long hi, int* out) {
  if (text.empty() || text.size() > 12) return false;
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

bool ParseColor(const std::string& text, uint32_t* out) {
  if (text.size() != 6) return false;
  uint32_t v = 0;
  for (char c : text) {
    int d = HexDigit(c);
    if (d < 0) return false;
    v = v << 4 | (uint32_t)d;
  }
  *out = v;
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

bool Fail(std::string* why, int line, const char* what) {
  char b[96];
  snprintf(b, sizeof b, "line %d: %s", line, what);
  *why = b;
  return false;
}

enum Required { kLeft = 1, kTop = 2, kWidth = 4, kHeight = 8, kAllPlace = 15 };

// One key of a chip section; false for a bad value.
bool SetChipKey(DeskChipRecord* c, const std::string& key, const std::string& value, int* seen) {
  if (key == "Left") return *seen |= kLeft, ParseInt(value, -kDeskMaxCoordinate, kDeskMaxCoordinate, &c->left);
  if (key == "Top") return *seen |= kTop, ParseInt(value, -kDeskMaxCoordinate, kDeskMaxCoordinate, &c->top);
  if (key == "Width") return *seen |= kWidth, ParseInt(value, 1, kDeskMaxSide, &c->width);
  if (key == "Height") return *seen |= kHeight, ParseInt(value, 1, kDeskMaxSide, &c->height);
  if (key == "TextColor") return ParseColor(value, &c->textColor);
  if (key == "BackColor") return ParseColor(value, &c->backColor);
  if (key == "FontHeight") return ParseInt(value, -kMaxFontHeight, kMaxFontHeight, &c->fontHeight);
  if (key == "FontWeight") return ParseInt(value, 0, kMaxFontWeight, &c->fontWeight);
  if (key == "FontCharSet") return ParseInt(value, 0, kMaxCharSet, &c->fontCharSet);
  if (key == "FontQuality") return ParseInt(value, 0, kMaxQuality, &c->fontQuality);
  if (key == "FontItalic" || key == "Topmost") {
    int v;
    if (!ParseInt(value, 0, 1, &v)) return false;
    (key == "Topmost" ? c->topmost : c->fontItalic) = v != 0;
    return true;
  }
  if (key == "FontFace") {
    if (value.size() > kDeskMaxFace) return false;
    memcpy(c->fontFace, value.c_str(), value.size() + 1);
    return true;
  }
  if (key == "Memo") return UnescapeMemo(value, &c->memo) && c->memo.size() <= kDeskMaxMemo;
  if (key == "SaveData") return ParseHex(value, kDeskMaxSaveData, &c->saveData) && SaveDataWhole(c->saveData);
  return true;  // a key of a later version
}

void Append(std::string* out, const char* key, const std::string& value) {
  *out += key;
  *out += '=';
  *out += value;
  *out += "\r\n";
}

// The value, brought into lo..hi.
void AppendInt(std::string* out, const char* key, long value, long lo, long hi) {
  char b[16];
  snprintf(b, sizeof b, "%ld", value < lo ? lo : value > hi ? hi : value);
  Append(out, key, b);
}

void AppendColor(std::string* out, const char* key, uint32_t value) {
  char b[16];
  snprintf(b, sizeof b, "%06lX", (unsigned long)(value & 0xFFFFFF));
  Append(out, key, b);
}

}  // namespace

void DefaultDeskChip(DeskChipRecord* c) {
  c->left = c->top = 0;
  c->width = c->height = 1;
  c->textColor = 0x000000;
  c->backColor = 0xFFFFFF;
  c->fontHeight = -16;
  c->fontWeight = 400;
  c->fontItalic = false;
  c->fontCharSet = 128;  // Shift-JIS
  c->fontQuality = 3;    // non-antialiased
  snprintf(c->fontFace, sizeof c->fontFace, "%s", "IPAGothic");
  c->topmost = false;
  c->memo.clear();
  c->saveData.assign(4, 0);
}

std::string EscapeMemo(const std::string& memo) {
  std::string out;
  char b[8];
  for (unsigned char c : memo) {
    if (c == '\\') out += "\\\\";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c < 0x20 || c == 0x7F) snprintf(b, sizeof b, "\\x%02X", c), out += b;
    else out += (char)c;
  }
  return out;
}

bool UnescapeMemo(const std::string& text, std::string* memo) {
  memo->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\') {
      *memo += c;
      continue;
    }
    if (++i >= text.size()) return false;
    char e = text[i];
    if (e == '\\') *memo += '\\';
    else if (e == 'r') *memo += '\r';
    else if (e == 'n') *memo += '\n';
    else if (e == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      char v = (char)(HexDigit(text[i + 1]) << 4 | HexDigit(text[i + 2]));
      if (!v) return false;  // the memo is a zero-terminated text
      *memo += v;
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

bool ParseDeskFile(const char* text, size_t size, std::vector<DeskChipRecord>* chips, std::string* why) {
  chips->clear();
  std::vector<int> seen;  // place keys seen, per chip
  int declared = -1, version = -1;
  enum { kNone, kDesk, kChip, kOther, kEnd } section = kNone;
  DeskChipRecord* chip = nullptr;
  int* chipSeen = nullptr;
  size_t at = 0;
  int line = 0;
  while (at < size) {
    ++line;
    size_t end = at;
    while (end < size && text[end] != '\n') ++end;
    std::string s(text + at, end - at);
    at = end + 1;
    if (!s.empty() && s.back() == '\r') s.pop_back();
    if (s.size() > kMaxLine) return Fail(why, line, "line too long");
    if (s.find('\0') != std::string::npos) return Fail(why, line, "zero byte");
    if (s.empty() || s[0] == ';') continue;
    if (s[0] == '[') {
      if (s.back() != ']') return Fail(why, line, "unclosed section name");
      std::string name = s.substr(1, s.size() - 2);
      chip = nullptr;
      if (section == kEnd) return Fail(why, line, "text after the end");
      if (name == "End") {
        section = kEnd;
      } else if (name == "Desk") {
        section = kDesk;
      } else if (name.compare(0, 4, "Chip") == 0) {
        int n;
        if (!ParseInt(name.substr(4), 1, kDeskMaxChips, &n) || n != (int)chips->size() + 1)
          return Fail(why, line, "chip sections out of order");
        chips->emplace_back();
        seen.push_back(0);
        chip = &chips->back();
        chipSeen = &seen.back();
        DefaultDeskChip(chip);
        section = kChip;
      } else {
        section = kOther;
      }
      continue;
    }
    size_t eq = s.find('=');
    if (eq == std::string::npos || eq == 0) return Fail(why, line, "neither a section nor a key");
    std::string key = s.substr(0, eq), value = s.substr(eq + 1);
    if (section == kNone || section == kEnd) return Fail(why, line, "key outside a section");
    if (section == kDesk) {
      if (key == "Version" && !ParseInt(value, 1, 1000, &version)) return Fail(why, line, "bad version");
      if (key == "Chips" && !ParseInt(value, 0, kDeskMaxChips, &declared)) return Fail(why, line, "bad chip count");
    } else if (section == kChip) {
      if (!SetChipKey(chip, key, value, chipSeen)) return Fail(why, line, "bad value");
    }
  }
  // Written whole, the file ends in its end mark: a file cut short does not.
  if (section != kEnd) return Fail(why, line, "no end mark");
  if (version != kVersion) return Fail(why, line, "not a file of this version");
  if (declared != (int)chips->size()) return Fail(why, line, "chip count does not match the chip sections");
  for (size_t i = 0; i < seen.size(); ++i)
    if (seen[i] != kAllPlace) return Fail(why, line, "a chip without its place and size");
  return true;
}

std::string FormatDeskFile(const std::vector<DeskChipRecord>& chips) {
  std::string out;
  out += "[Desk]\r\n";
  AppendInt(&out, "Version", kVersion, kVersion, kVersion);
  AppendInt(&out, "Chips", (long)chips.size(), 0, kDeskMaxChips);
  for (size_t i = 0; i < chips.size() && i < (size_t)kDeskMaxChips; ++i) {
    const DeskChipRecord& c = chips[i];
    char name[24];
    snprintf(name, sizeof name, "\r\n[Chip%u]\r\n", (unsigned)(i + 1));
    out += name;
    AppendInt(&out, "Left", c.left, -kDeskMaxCoordinate, kDeskMaxCoordinate);
    AppendInt(&out, "Top", c.top, -kDeskMaxCoordinate, kDeskMaxCoordinate);
    AppendInt(&out, "Width", c.width, 1, kDeskMaxSide);
    AppendInt(&out, "Height", c.height, 1, kDeskMaxSide);
    AppendColor(&out, "TextColor", c.textColor);
    AppendColor(&out, "BackColor", c.backColor);
    AppendInt(&out, "FontHeight", c.fontHeight, -kMaxFontHeight, kMaxFontHeight);
    AppendInt(&out, "FontWeight", c.fontWeight, 0, kMaxFontWeight);
    AppendInt(&out, "FontItalic", c.fontItalic, 0, 1);
    AppendInt(&out, "FontCharSet", c.fontCharSet, 0, kMaxCharSet);
    AppendInt(&out, "FontQuality", c.fontQuality, 0, kMaxQuality);
    // A face name is one line: it ends at a control byte.
    std::string face(c.fontFace, strnlen(c.fontFace, kDeskMaxFace));
    face.resize(std::find_if(face.begin(), face.end(), [](char ch) { return (unsigned char)ch < 0x20; }) -
                face.begin());
    Append(&out, "FontFace", face);
    AppendInt(&out, "Topmost", c.topmost, 0, 1);
    Append(&out, "Memo", EscapeMemo(c.memo.substr(0, kDeskMaxMemo)));
    std::string hex;
    char b[4];
    if (c.saveData.size() <= kDeskMaxSaveData && SaveDataWhole(c.saveData))
      for (unsigned char byte : c.saveData) snprintf(b, sizeof b, "%02X", byte), hex += b;
    else
      hex = "00000000";  // the library's defaults
    Append(&out, "SaveData", hex);
  }
  out += "\r\n[End]\r\n";
  return out;
}
