#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "desk/deskfile.h"
#include "desk/deskgeometry.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// Every field of a chip in one line, for messages that show the difference.
std::string Fields(const DeskChipRecord& c) {
  char b[200];
  snprintf(b, sizeof b, "%d,%d text %06X back %06X font %d/%d/%d%d%d/%d/%d '%s' top %d save %u", c.left, c.top,
           c.textColor, c.backColor, c.fontHeight, c.fontWeight, c.fontItalic, c.fontUnderline, c.fontStrikeOut,
           c.fontCharSet, c.fontQuality, c.fontFace, c.topmost, (unsigned)c.saveData.size());
  return b + std::string(" memo ") + c.memo + std::string(c.saveData.begin(), c.saveData.end());
}

bool Parse(const std::string& text, std::vector<DeskChipRecord>* chips) {
  DeskFileContents contents;
  bool whole = ReadDeskFile(text.data(), text.size(), &contents);
  *chips = contents.chips;
  return whole;
}

std::string Problem(int fault, int chip, int line, const std::string& key) {
  return "; fault " + std::to_string(fault) + " chip " + std::to_string(chip) + " line " + std::to_string(line) + " " +
         key;
}

// Whether a text read whole, the places of the chips it kept and its problems.
std::string Summary(const std::string& text) {
  DeskFileContents c;
  std::string s = ReadDeskFile(text.data(), text.size(), &c) ? "whole:" : "kept:";
  for (const DeskChipRecord& chip : c.chips) s += " " + std::to_string(chip.left) + "," + std::to_string(chip.top);
  for (const DeskFileProblem& p : c.problems) s += Problem(p.fault, p.chip, p.line, p.key);
  return s;
}

std::string Replaced(std::string text, const std::string& find, const std::string& by) {
  size_t at = text.find(find);
  return at == std::string::npos ? "(no " + find + ")" : text.replace(at, find.size(), by);
}

std::string LfOnly(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// A file as a run wrote it before colours were #RRGGBB: LF or CR LF, a key
// of a later version, keys left out taking the defaults.
const char kTwoChips[] =
    "[Desk]\r\nVersion=1\r\nChips=2\r\n\r\n"
    "[Chip1]\r\nLeft=-1000\r\nTop=20\r\nWidth=181\r\nHeight=150\r\nTextColor=0000FF\r\nBackColor=F0F0F0\r\n"
    "FontHeight=-20\r\nFontWeight=700\r\nFontItalic=1\r\nFontCharSet=128\r\nFontQuality=3\r\nFontFace=Face\r\n"
    "Topmost=1\r\nMemo=1998/2\\n\\x95\\\\\r\nSaveData=0200000001F0\r\n\r\n"
    "[Chip2]\nLeft=5\nTop=6\nWidth=7\nHeight=8\nLater=kept apart\nMemo= \x95\\\\ a \n\n[End]\n";

// Three chips of this version, by line: [Chip1] 5, [Chip2] 11, [Chip3] 16, [End] 21.
const std::string kDesk = "[Desk]\r\nVersion=2\r\nChips=3\r\n\r\n",
                  kChip1 = "[Chip1]\r\nLeft=400\r\nTop=20\r\nBackColor=#FF0000\r\nMemo=\x95\x5C \\x20\r\n\r\n",
                  kChip2 = "[Chip2]\r\nLeft=2\r\nTop=6\r\nFontUnderline=1\r\n\r\n",
                  kChip3 = "[Chip3]\r\nLeft=3\r\nTop=7\r\nSaveData=00000000\r\n\r\n", kEnd = "[End]\r\n",
                  kThree = kDesk + kChip1 + kChip2 + kChip3 + kEnd;

}  // namespace

// What a chip keeps comes back byte for byte, whatever its memo holds
// (Shift-JIS with a backslash trail byte, line breaks, controls), and a
// kept file reads into the values written in it.
TEST(DeskFile, ChipsComeBackAsKept) {
  std::vector<DeskChipRecord> chips(3);
  for (DeskChipRecord& c : chips) DefaultDeskChip(&c);
  chips[0].left = -1200;
  chips[0].fontUnderline = true;
  chips[1].memo = "\x95\x5c\\\r\n\t\x7f end \\n";
  chips[1].saveData = Bytes{24, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 0xF1, 0, 0};
  chips[1].topmost = chips[1].fontItalic = chips[1].fontStrikeOut = true;
  chips[1].textColor = 0x123456;
  snprintf(chips[1].fontFace, sizeof chips[1].fontFace, "%s", std::string(kDeskMaxFace, 'F').c_str());
  chips[2].memo.assign(kDeskMaxMemo, 'm');
  chips[2].saveData.assign(kDeskMaxSaveData, 0);
  std::vector<DeskChipRecord> back;
  const std::string text = FormatDeskFile(chips);
  ASSERT_TRUE(Parse(text, &back));
  ASSERT_EQ(chips.size(), back.size());
  for (size_t i = 0; i < chips.size(); ++i) EXPECT_EQ(Fields(chips[i]), Fields(back[i])) << i;
  EXPECT_NE(std::string::npos, text.find("FontItalic=1\r\nFontUnderline=0\r\nFontStrikeOut=1\r\n")) << text;

  // Given values the reader refuses, the writer keeps inside its ranges: a
  // font too tall or a memo of control bytes never costs the file.
  DeskChipRecord wild;
  DefaultDeskChip(&wild);
  wild.left = 200000;
  wild.fontHeight = -2000;
  wild.memo.assign(kDeskMaxMemo + 1, '\x01');
  wild.saveData = Bytes{200, 0, 0, 0};
  ASSERT_TRUE(Parse(FormatDeskFile({wild}), &back));
  EXPECT_EQ("100000,0 text 000000 back FFFFFF font -256/400/000/128/3 '' top 0 save 4 memo " +
                std::string(kDeskMaxMemo, '\x01') + std::string(4, '\0'),
            Fields(back[0]));

  ASSERT_TRUE(Parse(kTwoChips, &back));
  ASSERT_EQ(2u, back.size());
  EXPECT_EQ(std::string("-1000,20 text 0000FF back F0F0F0 font -20/700/100/128/3 'Face' top 1 save 6 memo ") +
                "1998/2\n\x95\\" + std::string("\x02\0\0\0\x01\xF0", 6),
            Fields(back[0]));
  EXPECT_EQ(std::string("5,6 text 000000 back FFFFFF font -16/400/000/128/3 '' top 0 save 4 memo  \x95\\ a ") +
                std::string(4, '\0'),
            Fields(back[1]));
}

// What an editor and a person's hands leave in the file costs no chip.
TEST(DeskFile, HandEditsKeepEveryChip) {
  const std::string edits[] = {
      Replaced(kThree, "Left=400", "Left = 400"), Replaced(kThree, "Top=20\r\n", " \tTop\t= 20 \t\r\n"),
      Replaced(kThree, "[Chip2]", "# a note\r\n  ; another\r\n[Chip2]"), "\xEF\xBB\xBF" + kThree, LfOnly(kThree),
      Replaced(kThree, "Left=400\r\nTop=20\r\n", "Top=20\r\nLeft=400\r\n"), kDesk + kChip3 + kChip1 + kChip2 + kEnd,
      Replaced(Replaced(kThree, "[Chip1]", "[ cHIP1 ]"), "Left=400", "lEFT=400"),
      Replaced(kThree, "Top=6\r\n", "Top=6\r\nWidth=181\r\nHeight=150\r\nLater=kept apart\r\n"),
      Replaced(kThree, "[End]\r\n", "[Later]\r\nAny=thing\r\n[End]  \r"),
      Replaced(kThree, "Chips=3\r\n", "Chips = 3  \r\n"),
  };
  for (const std::string& text : edits) EXPECT_EQ("whole: 400,20 2,6 3,7", Summary(text)) << text;
}

// Damage sets aside only the chip it is in, naming the chip and the line as
// an editor counts it (with a BOM and LF alone too); damage outside a chip
// costs none.
TEST(DeskFile, DamageCostsOnlyItsChip) {
  const DeskFileFault bad = kDeskFaultBadValue, unknown = kDeskFaultUnknownLine;
  const char *all = "400,20 2,6 3,7", *but2 = "400,20 3,7";
  struct { std::string find, replace; const char* kept; DeskFileFault fault; int chip, line; const char* key; }
  cases[] = {
      {"Top=6", "Top=six", but2, bad, 2, 13, "Top"}, {"Top=6", "Top=x\r\nLeft=y", but2, bad, 2, 13, "Top"},
      {"Left=2\r\n", "", but2, kDeskFaultNoPlace, 2, 11, "Left"},
      {"Top=6\r\n", "", but2, kDeskFaultNoPlace, 2, 11, "Top"},
      {"FontUnderline=1", "FontUnderline=1\r\nwhat is this", but2, unknown, 2, 15, ""},
      {"Chips=3\r\n", "Chips=4\r\n\r\n[Chip2]\r\nLeft=9\r\nTop=9\r\n", "400,20 9,9 3,7", kDeskFaultDuplicateChip,
       2, 15, ""},
      {"[Desk]", "stray\r\n[Desk]", all, unknown, 0, 1, ""},
      {"Chips=3", "Chips=3\r\nno equals sign", all, unknown, 0, 4, ""},
      {"Chips=3", "Chips=4", all, kDeskFaultChipCount, 0, 3, "Chips"}, {"Chips=3", "Chips=x", all, bad, 0, 3, "Chips"},
      {"Version=2", "Version=3", all, kDeskFaultVersion, 0, 2, "Version"},
      {"[End]\r\n", "[End]\r\nLeft=1\r\n", all, unknown, 0, 22, ""},
      {"[End]", "[Chip0]\r\nLeft=1\r\nTop=1\r\n[End]", all, kDeskFaultChipNumber, 0, 21, ""},
      {"[End]", "[Chip257]\r\n[End]", all, kDeskFaultChipNumber, 0, 21, ""},
  };
  for (auto& c : cases) {
    const std::string text = Replaced(kThree, c.find, c.replace);
    EXPECT_EQ("kept: " + std::string(c.kept) + Problem(c.fault, c.chip, c.line, c.key), Summary(text)) << c.replace;
    EXPECT_EQ(Summary(text), Summary("\xEF\xBB\xBF" + LfOnly(text))) << c.replace;
  }
  // Each in place of chip 2's FontUnderline=1 on line 14.
  const std::string lines[] = {"FontUnderline=2", "TextColor=#00FF", "BackColor=F0F0FG", "Memo=C:\\TOOLS", "Memo=a\\",
                               "Memo=\\x00", "Memo=" + std::string(kDeskMaxMemo + 1, 'x'), "SaveData=0300000001F0",
                               "SaveData=02000000F", "FontFace=ThirtyTwoCharactersIsTooLongForIt",
                               "Left=99999999999999", "Memo=" + std::string(4 * kDeskMaxMemo + 60, 'x'), "=1",
                               "[Chip4", std::string("Font\0Underline=1", 16)};
  for (const std::string& line : lines) {
    const DeskFileFault fault = line.size() > 4 * kDeskMaxMemo ? kDeskFaultTooLong
                                : line[0] == '=' || line[0] == '[' || line.find('\0') != std::string::npos ? unknown
                                                                                                           : bad;
    const std::string key = fault == unknown ? "" : line.substr(0, line.find('='));
    EXPECT_EQ("kept: " + std::string(but2) + Problem(fault, 2, 14, key),
              Summary(Replaced(kThree, "FontUnderline=1", line))) << line.substr(0, 40);
  }
  std::string junk;
  for (int i = 0; i < 1000; ++i) junk += "junk\r\n";
  DeskFileContents read;
  ReadDeskFile((junk + kThree).data(), junk.size() + kThree.size(), &read);
  EXPECT_EQ(std::vector<size_t>({3, kDeskMaxProblems}), std::vector<size_t>({read.chips.size(), read.problems.size()}));
}

// Wherever a write broke off, the file never reads as whole nor as a chip
// with a shorter value; the chips before the cut are kept.
TEST(DeskFile, CutShortKeepsWholeChips) {
  std::vector<DeskChipRecord> two(2);
  for (DeskChipRecord& c : two) DefaultDeskChip(&c);
  two[0].left = 400;
  two[0].memo = "1998/2";
  two[1].memo = "a longer memo";
  two[1].saveData = Bytes{2, 0, 0, 0, 0xAB, 0xCD};
  const std::string text = FormatDeskFile(two),
                    font = " text 000000 back FFFFFF font -16/400/000/128/3 '' top 0";
  const std::string expected[] = {"400,0" + font + " save 4 memo 1998/2" + std::string(4, '\0'),
                                  "0,0" + font + " save 6 memo a longer memo" + std::string("\x02\0\0\0\xAB\xCD", 6)};
  for (size_t n = 0; n + 3 < text.size(); ++n) {  // a cut after "[End]" loses nothing
    DeskFileContents c;
    EXPECT_FALSE(ReadDeskFile(text.data(), n, &c)) << n;
    ASSERT_LE(c.chips.size(), 2u);
    for (size_t i = 0; i < c.chips.size(); ++i) EXPECT_EQ(expected[i], Fields(c.chips[i])) << "cut at " << n;
  }
  const std::string count = Problem(kDeskFaultChipCount, 0, 3, "Chips");
  EXPECT_EQ("kept: 400,0" + count + Problem(kDeskFaultCutShort, 0, 21, ""),
            Summary(text.substr(0, text.find("[Chip2]"))));
  EXPECT_EQ("kept: 400,0" + count + Problem(kDeskFaultCutShort, 0, 22, ""),
            Summary(text.substr(0, text.find("[Chip2]") + 4)));
  EXPECT_EQ("kept: 400,0" + Problem(kDeskFaultCutShort, 2, 35, ""), Summary(text.substr(0, text.find("Memo=a "))));
  EXPECT_EQ("kept: 400,0 0,0" + Problem(kDeskFaultCutShort, 0, 38, ""), Summary(text.substr(0, text.find("[End]"))));
  // A chip of Version 1 is whole without the keys that came later.
  EXPECT_EQ("kept: -1000,20" + count + Problem(kDeskFaultCutShort, 0, 21, ""),
            Summary(std::string(kTwoChips).substr(0, std::string(kTwoChips).find("[Chip2]"))));
}

// Colours are #RRGGBB; a file of Version 1 keeps the byte order it was
// written in, COLORREF's. 1 stands for a chip set aside.
TEST(DeskFile, ColoursAsMeant) {
  struct { int version; const char* value; uint32_t colorref; } cases[] = {
      {1, "FF0000", 0xFF0000}, {1, "#FF0000", 0x0000FF}, {2, "#FF0000", 0x0000FF}, {2, "FF0000", 0x0000FF},
      {2, "#ff8000", 0x0080FF}, {3, "#123456", 0x563412}, {2, "#F00", 1}, {2, "#FF00000", 1}};
  for (auto& c : cases) {
    std::vector<DeskChipRecord> chips;
    const std::string version = "[Desk]\nVersion=" + std::to_string(c.version);
    Parse(version + "\n[Chip1]\nLeft=0\nTop=0\nBackColor=" + c.value + "\n[End]\n", &chips);
    EXPECT_EQ(c.colorref, chips.empty() ? 1 : chips[0].backColor) << c.version << " " << c.value;
  }
  std::vector<DeskChipRecord> chips(1);
  DefaultDeskChip(&chips[0]);
  chips[0].textColor = 0x800000;  // navy
  chips[0].backColor = 0x0000FF;
  EXPECT_NE(std::string::npos, FormatDeskFile(chips).find("\r\nTextColor=#000080\r\nBackColor=#FF0000\r\n"));
}

// A memo is kept as Shift-JIS a person can read and type: a character whose
// second byte is a backslash stays as it is, blanks at its ends survive.
TEST(DeskFile, MemoInShiftJis) {
  const std::pair<std::string, std::string> cases[] = {
      {"\x95\x5C ", "\x95\x5C\\x20"},                  // 表 and a space
      {"  1998/2 x ", "\\x20\\x201998/2 x\\x20"},      //
      {"\x83\x5C\x94\x5C\\", "\x83\x5C\x94\x5C\\\\"},  // ソ能 and a backslash
      {"\xB1\\", "\xB1\\\\"},                          // a half-width kana is one byte
      {"\x81\n\x81", "\\x81\\n\\x81"},                 // lead bytes without their second byte
      {"\x81\x7F\x81\x40", "\\x81\\x7F\x81\x40"},
  };
  std::vector<DeskChipRecord> chips(1);
  for (auto& c : cases) {
    DefaultDeskChip(&chips[0]);
    chips[0].memo = c.first;
    const std::string text = FormatDeskFile(chips);
    EXPECT_NE(std::string::npos, text.find("\r\nMemo=" + c.second + "\r\n")) << c.second << "\n" << text;
    ASSERT_TRUE(Parse(text, &chips)) << c.second;
    EXPECT_EQ(c.first, chips[0].memo);
  }
  ASSERT_TRUE(Parse("[Chip1]\nLeft=0\nTop=0\nMemo=\x95\x5C\x8E\xA6\n[End]\n", &chips));  // typed in an editor
  EXPECT_EQ("\x95\x5C\x8E\xA6", chips[0].memo);
}

TEST(DeskGeometry, Arithmetic) {
  struct {
    int value, dpi, scaled, back;
  } dpis[] = {{-16, 96, -16, -16}, {-16, 144, -24, -16}, {-15, 120, -19, -15},
              {-16, 192, -32, -16}, {13, 168, 23, 13},   {-16, 0, -16, -16}};
  for (auto& d : dpis) {
    EXPECT_EQ(d.scaled, ScaleForDpi(d.value, d.dpi)) << d.value << " at " << d.dpi;
    EXPECT_EQ(d.back, UnscaleForDpi(d.scaled, d.dpi)) << d.scaled << " at " << d.dpi;
  }

  const DeskRect work = {0, 0, 1280, 994};
  struct {
    DeskRect chip, placed;
  } places[] = {
      {{100, 100, 300, 250}, {100, 100, 300, 250}},      // inside
      {{-900, 228, -700, 378}, {0, 228, 200, 378}},      // on a monitor to the left, gone
      {{2400, 900, 2600, 1050}, {1080, 844, 1280, 994}}, // right and below
      {{1200, -50, 1400, 100}, {1080, 0, 1280, 150}},    // half off the top right
      {{-10, -10, 1990, 1490}, {0, 0, 2000, 1500}},      // larger than the area
  };
  for (auto& p : places) {
    DeskRect placed;
    EXPECT_EQ(p.chip.left != p.placed.left || p.chip.top != p.placed.top, KeepInWorkArea(p.chip, work, &placed));
    EXPECT_EQ(std::vector<int>({p.placed.left, p.placed.top, p.placed.right, p.placed.bottom}),
              std::vector<int>({placed.left, placed.top, placed.right, placed.bottom}))
        << p.chip.left << "," << p.chip.top;
  }

  struct {
    int dx, dy;
    bool drag;
  } drags[] = {{0, 0, false}, {2, -2, false}, {3, 0, true}, {0, -3, true}, {-2, 2, false}};
  for (auto& d : drags) EXPECT_EQ(d.drag, PastDragDistance(d.dx, d.dy, 4, 4)) << d.dx << "," << d.dy;

  struct {
    int h, m, s, ms;
    unsigned wait;
  } nights[] = {{0, 0, 0, 0, 86401000u}, {23, 59, 59, 999, 1001u}, {12, 0, 0, 0, 43201000u},
                {23, 59, 60, 500, 1001u}, {7, 30, 15, 250, 59385750u}};
  for (auto& n : nights) EXPECT_EQ(n.wait, MsUntilAfterMidnight(n.h, n.m, n.s, n.ms)) << n.h << ":" << n.m;
}
