// A chip's memo text on one line of the kept file, in code page 932.
#include <ctype.h>
#include <stdio.h>

#include "desk/deskfile.h"

namespace {

// The file is Shift-JIS whatever code page the reading system has.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }
bool IsDoubleByte(const std::string& s, size_t i) {
  return IsLeadByte(s[i]) && i + 1 < s.size() && IsTrailByte(s[i + 1]);
}

// Of a hexadecimal digit.
int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

}  // namespace

std::string EscapeMemo(const std::string& memo) {
  // The reader trims blanks at a line's ends: those of the memo are escaped.
  const size_t first = memo.find_first_not_of(' '), last = memo.find_last_not_of(' ');
  std::string out;
  char b[8];
  for (size_t i = 0; i < memo.size(); ++i) {
    unsigned char c = memo[i];
    if (IsDoubleByte(memo, i)) {
      out.append(memo, i++, 2);
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7F || IsLeadByte(c) || (c == ' ' && (i < first || i > last))) {
      snprintf(b, sizeof b, "\\x%02X", c);
      out += b;
    } else {
      out += (char)c;
    }
  }
  return out;
}

bool UnescapeMemo(const std::string& text, std::string* memo, int version) {
  memo->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (version >= 2 && IsDoubleByte(text, i)) {
      memo->append(text, i++, 2);
      continue;
    }
    if (!c) return false;  // the memo is a zero-terminated text
    if (c != '\\') {
      *memo += c;
      continue;
    }
    if (++i >= text.size()) return false;
    char e = text[i];
    if (e == '\\') *memo += '\\';
    else if (e == 'r') *memo += '\r';
    else if (e == 'n') *memo += '\n';
    else if (e == 'x' && i + 2 < text.size() && isxdigit((unsigned char)text[i + 1]) &&
             isxdigit((unsigned char)text[i + 2])) {
      char v = (char)(HexValue(text[i + 1]) << 4 | HexValue(text[i + 2]));
      if (!v) return false;
      *memo += v;
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}
