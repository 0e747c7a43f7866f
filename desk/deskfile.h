// The desktop program's kept chips as text: the INI-style file it reads at
// start and writes whole when a chip changes. Portable: no Win32 here.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

const int kDeskFileVersion = 2;        // what FormatDeskFile writes
const int kDeskMaxChips = 256;         // chip sections [Chip1] to [Chip256]
const size_t kDeskMaxMemo = 4096;      // bytes of memo text
const size_t kDeskMaxSaveData = 260;   // length word and payload
const size_t kDeskMaxFace = 31;        // a LOGFONT face name without its zero
const int kDeskMaxCoordinate = 100000; // virtual-screen coordinates
const size_t kDeskMaxProblems = 100;   // problems of lines outside a chip listed at most

struct DeskChipRecord {
  int left, top;                 // the window's place on the virtual screen
  uint32_t textColor, backColor; // COLORREF values (0x00BBGGRR)
  int fontHeight;                // LOGFONT height for 96 DPI
  int fontWeight;
  bool fontItalic, fontUnderline, fontStrikeOut;
  int fontCharSet;
  int fontQuality;
  char fontFace[kDeskMaxFace + 1];  // empty: the system's user-interface font
  bool topmost;
  std::string memo;                     // bytes as the host keeps them
  std::vector<unsigned char> saveData;  // length word and payload
};

enum DeskFileFault {
  kDeskFaultUnknownLine,   // neither blank, comment, section nor key=value (or a key line where no key belongs)
  kDeskFaultBadValue,      // a value out of range, malformed or too long; key names it
  kDeskFaultNoPlace,       // a chip without Left or Top; line is its section's, key the one missing
  kDeskFaultCutShort,      // no [End]: the file stops early; chip 0, or the chip it stops in
  kDeskFaultChipCount,     // Chips= does not match the chip sections found (chips kept)
  kDeskFaultVersion,       // Version newer than this program's, or not a number (chips read as far as understood)
  kDeskFaultTooLong,       // a line longer than any the writer makes
  kDeskFaultChipNumber,    // a [Chip...] section numbered other than 1 to kDeskMaxChips; its keys are not read
  kDeskFaultDuplicateChip, // a chip number seen before in the file; this second one is set aside
};

struct DeskFileProblem {
  DeskFileFault fault;
  int chip;         // the number of its [ChipN] section; 0 for the file as a whole
  int line;         // 1-based, as an editor counts lines (LF or CR LF ends one; a BOM does not count)
  std::string key;  // the key concerned as this program names it ("Left", "Memo", "Version"), or empty
};

struct DeskFileContents {
  std::vector<DeskChipRecord> chips;      // chips that read whole, by their section numbers
  std::vector<DeskFileProblem> problems;  // by line
  int version;                            // the file's Version, kDeskFileVersion when it has none
};

// A chip of this month with the library's defaults, not yet placed.
void DefaultDeskChip(DeskChipRecord* chip);

// Reads all it can of a kept file; true when it read whole with no problem.
// Taken as a person's editor leaves it: a UTF-8 BOM, LF or CR LF, blanks
// around '=' and at either end of a line, ';' and '#' comment lines, keys
// and [ChipN] sections in any order and numbering, section and key names in
// any case. Unknown keys and unknown sections are ignored (a later
// version's); Width and Height of older files are not used.
// A chip that does not read whole (a bad value, a line of no meaning inside
// it, no Left or Top, a duplicated number) is set aside: not in chips, and
// one problem names it and its first line at fault. A file without [End]
// was cut short: its chips that read whole are kept and a problem says so;
// its last line is not read unless it ended, and the chip it stops in is
// kept only when it holds every key its version writes, so a cut never
// reads as a shorter value or a missing key.
// Version: 1 files keep their old meaning (colours without '#' as BBGGRR,
// the memo byte by byte and as it stands after '='); from 2 on a colour
// without '#' is RRGGBB and the memo is Shift-JIS aware (see EscapeMemo). A
// version newer than this program's is read by its rules and reported:
// what a later version added is not kept when this program writes the file.
// Every chip set aside is named; of the faults of lines outside a chip
// (duplicated or bad chip numbers among them) the first kDeskMaxProblems.
bool ReadDeskFile(const char* text, size_t size, DeskFileContents* out);

// The file for these chips, Version 2, lines ending in CR LF, colours as
// #RRGGBB. Values are brought into the ranges the reader takes (a
// saved-data block that is not whole becomes the library's defaults, a memo
// ends at a zero byte), so that everything it writes reads back whole and
// identical. At most kDeskMaxChips chips are written.
std::string FormatDeskFile(const std::vector<DeskChipRecord>& chips);

// Memo text in one line of code page 932: a lead byte and its trail byte
// stay as they are (a trail byte '\' too); a backslash, CR, LF and other
// control bytes, a lead byte without its trail byte, and blanks at either
// end are escaped (\\, \r, \n, \xNN).
std::string EscapeMemo(const std::string& memo);
// The reverse; for a Version 1 file every backslash starts an escape.
// False for an unknown escape or a zero byte.
bool UnescapeMemo(const std::string& text, std::string* memo, int version = kDeskFileVersion);
