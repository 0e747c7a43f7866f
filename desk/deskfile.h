// The desktop program's kept chips as text: the INI-style file it reads at
// start and writes whole when a chip changes. Portable: no Win32 here.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

const int kDeskMaxChips = 256;
const size_t kDeskMaxMemo = 4096;      // bytes of memo text
const size_t kDeskMaxSaveData = 260;   // length word and payload
const size_t kDeskMaxFace = 31;        // a LOGFONT face name without its zero
const int kDeskMaxSide = 4096;         // a chip's window width or height
const int kDeskMaxCoordinate = 100000; // virtual-screen coordinates

struct DeskChipRecord {
  int left, top, width, height;  // window rectangle on the virtual screen
  uint32_t textColor, backColor; // COLORREF values
  int fontHeight;                // LOGFONT height for 96 DPI
  int fontWeight;
  bool fontItalic, fontUnderline, fontStrikeOut;
  int fontCharSet;
  int fontQuality;
  char fontFace[kDeskMaxFace + 1];
  bool topmost;
  std::string memo;                     // bytes as the host keeps them
  std::vector<unsigned char> saveData;  // length word and payload
};

// A chip of this month with the library's defaults, not yet placed.
void DefaultDeskChip(DeskChipRecord* chip);

// Parses the whole file. False (and *why names the line and the fault) for
// anything that is not a file this program wrote: a line that is no section
// or key, a value out of range or too long, a chip count that does not match
// the chip sections, an unknown version, no end mark (a file cut short).
// Unknown keys and sections are ignored.
bool ParseDeskFile(const char* text, size_t size, std::vector<DeskChipRecord>* chips, std::string* why);
// The file for these chips, lines ending in CR LF. Values are brought into
// the ranges the reader takes (a saved-data block that is not whole becomes
// the library's defaults), so that it reads every file this writes.
std::string FormatDeskFile(const std::vector<DeskChipRecord>& chips);

// Memo text in one line: backslash, CR, LF and other control bytes escaped;
// every other byte (Shift-JIS trail bytes too) as it is.
std::string EscapeMemo(const std::string& memo);
bool UnescapeMemo(const std::string& text, std::string* memo);

enum DeskFileFault { kDeskFaultUnknownLine, kDeskFaultBadValue, kDeskFaultNoPlace, kDeskFaultCutShort,
                     kDeskFaultChipCount, kDeskFaultVersion, kDeskFaultTooLong, kDeskFaultTooManyChips };
struct DeskFileProblem { DeskFileFault fault; int chip; int line; std::string key; };
struct DeskFileContents { std::vector<DeskChipRecord> chips; std::vector<DeskFileProblem> problems; };
inline bool ReadDeskFile(const char* t, size_t n, DeskFileContents* out) {
  std::string why; bool ok = ParseDeskFile(t, n, &out->chips, &why);
  if (!ok) out->problems.push_back({kDeskFaultUnknownLine, 0, 1, why});
  return ok; }
