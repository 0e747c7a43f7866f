#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desk/deskfile.h"
#include "desk/deskgeometry.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// Every field of a chip in one line, for messages that show the difference.
std::string Fields(const DeskChipRecord& c) {
  char b[200];
  snprintf(b, sizeof b, "%d,%d %dx%d text %06X back %06X font %d/%d/%d/%d/%d '%s' top %d save %u", c.left, c.top,
           c.width, c.height, c.textColor, c.backColor, c.fontHeight, c.fontWeight, c.fontItalic, c.fontCharSet,
           c.fontQuality, c.fontFace, c.topmost, (unsigned)c.saveData.size());
  return b + std::string(" memo ") + c.memo + std::string(c.saveData.begin(), c.saveData.end());
}

bool Parse(const std::string& text, std::vector<DeskChipRecord>* chips) {
  std::string why;
  return ParseDeskFile(text.data(), text.size(), chips, &why);
}

// A file as a run wrote it: LF or CR LF, a key of a later version, keys
// left out taking the defaults.
const char kTwoChips[] =
    "[Desk]\r\nVersion=1\r\nChips=2\r\n\r\n"
    "[Chip1]\r\nLeft=-1000\r\nTop=20\r\nWidth=181\r\nHeight=150\r\nTextColor=0000FF\r\nBackColor=F0F0F0\r\n"
    "FontHeight=-20\r\nFontWeight=700\r\nFontItalic=1\r\nFontCharSet=128\r\nFontQuality=3\r\nFontFace=Face\r\n"
    "Topmost=1\r\nMemo=1998/2\\n\\x95\\\\\r\nSaveData=0200000001F0\r\n\r\n"
    "[Chip2]\nLeft=5\nTop=6\nWidth=7\nHeight=8\nLater=kept apart\n\n[End]\n";

}  // namespace

// What a chip keeps comes back byte for byte, whatever its memo holds
// (Shift-JIS with a backslash trail byte, line breaks, controls), and a
// kept file reads into the values written in it.
TEST(DeskFile, ChipsComeBackAsKept) {
  std::vector<DeskChipRecord> chips(3);
  for (DeskChipRecord& c : chips) DefaultDeskChip(&c);
  chips[0].left = -1200;
  chips[1].memo = "\x95\x5c\\\r\n\t\x7f end \\n";
  chips[1].saveData = Bytes{24, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 0xF1, 0, 0};
  chips[1].topmost = chips[1].fontItalic = true;
  chips[1].textColor = 0x123456;
  snprintf(chips[1].fontFace, sizeof chips[1].fontFace, "%s", std::string(kDeskMaxFace, 'F').c_str());
  chips[2].memo.assign(kDeskMaxMemo, 'm');
  chips[2].saveData.assign(kDeskMaxSaveData, 0);
  std::vector<DeskChipRecord> back;
  ASSERT_TRUE(Parse(FormatDeskFile(chips), &back));
  ASSERT_EQ(chips.size(), back.size());
  for (size_t i = 0; i < chips.size(); ++i) EXPECT_EQ(Fields(chips[i]), Fields(back[i])) << i;

  // Given values the reader refuses, the writer keeps inside its ranges: a
  // chip grown too large or a memo of control bytes never costs the file.
  DeskChipRecord wild;
  DefaultDeskChip(&wild);
  wild.width = 9000;
  wild.fontHeight = -2000;
  wild.memo.assign(kDeskMaxMemo + 1, '\x01');
  wild.saveData = Bytes{200, 0, 0, 0};
  ASSERT_TRUE(Parse(FormatDeskFile({wild}), &back));
  EXPECT_EQ("0,0 4096x1 text 000000 back FFFFFF font -256/400/0/128/3 'IPAGothic' top 0 save 4 memo " +
                std::string(kDeskMaxMemo, '\x01') + std::string(4, '\0'),
            Fields(back[0]));

  ASSERT_TRUE(Parse(kTwoChips, &back));
  ASSERT_EQ(2u, back.size());
  EXPECT_EQ(std::string("-1000,20 181x150 text 0000FF back F0F0F0 font -20/700/1/128/3 'Face' top 1 save 6 memo ") +
                "1998/2\n\x95\\" + std::string("\x02\0\0\0\x01\xF0", 6),
            Fields(back[0]));
  EXPECT_EQ(std::string("5,6 7x8 text 000000 back FFFFFF font -16/400/0/128/3 'IPAGothic' top 0 save 4 memo ") +
                std::string(4, '\0'),
            Fields(back[1]));
}

// A damaged file is refused as a whole, never read into half a desk.
TEST(DeskFile, RefusesDamage) {
  const std::string good = kTwoChips;
  struct {
    std::string find, replace;
  } cases[] = {
      {"Version=1", "Version=2"}, {"Chips=2", "Chips=3"}, {"Chips=2", "Chips=x"}, {"Left=-1000", "Left=-1000x"},
      {"Width=181", "Width=0"}, {"Width=181", "Width=4097"}, {"Top=20", "Top=99999999999999"}, {"Height=8\n", ""},
      {"[Chip2]", "[Chip3]"}, {"[Chip1]", "[Chip1"}, {"Topmost=1", "Topmost=2"}, {"TextColor=0000FF", "TextColor=00FF"},
      {"BackColor=F0F0F0", "BackColor=F0F0FG"}, {"Memo=1998/2", "Memo=\\q"}, {"\\\\\r\nSave", "\\\r\nSave"},
      {"\\x95", "\\x00"}, {"\\x95", "\\x9"}, {"SaveData=0200000001F0", "SaveData=0300000001F0"},
      {"SaveData=0200000001F0", "SaveData=02000000F"}, {"SaveData=0200000001F0", "SaveData=020000"},
      {"FontFace=Face", "FontFace=ThirtyTwoCharactersIsTooLongForIt"}, {"[Desk]", "Stray=1\r\n[Desk]"},
      {"Later=kept apart", "no equals sign"}, {"[End]\n", ""}, {"[End]\n", "[End]\nLeft=1\n"},
      {"Later=", "=x\nLater="}, {"Later", std::string("La\0ter", 6)},
      {"Memo=1998/2", "Memo=" + std::string(3 * kDeskMaxMemo, 'x')},
  };
  std::vector<DeskChipRecord> chips;
  for (auto& c : cases) {
    std::string text = good;
    size_t at = text.find(c.find);
    ASSERT_NE(std::string::npos, at) << c.find;
    EXPECT_FALSE(Parse(text.replace(at, c.find.size(), c.replace), &chips)) << c.find << " -> " << c.replace;
  }
  // Whatever the cut, a file cut short is no file: a write that broke off
  // must never be taken for fewer chips or a shorter memo.
  for (size_t n = 0; n + 1 < good.size(); ++n) EXPECT_FALSE(Parse(good.substr(0, n), &chips)) << "cut at " << n;
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
