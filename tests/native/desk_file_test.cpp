#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "desk/deskfile.h"
#include "desk/deskgeometry.h"

namespace {

std::vector<unsigned char> Block(std::initializer_list<unsigned char> bytes) { return bytes; }

DeskChipRecord Chip(int left, int top, const std::string& memo, std::vector<unsigned char> saveData) {
  DeskChipRecord c;
  DefaultDeskChip(&c);
  c.left = left;
  c.top = top;
  c.width = 180;
  c.height = 150;
  c.memo = memo;
  c.saveData = saveData;
  return c;
}

bool Parse(const std::string& text, std::vector<DeskChipRecord>* chips, std::string* why) {
  return ParseDeskFile(text.data(), text.size(), chips, why);
}

const char kTwoChips[] =
    "[Desk]\r\nVersion=1\r\nChips=2\r\n\r\n"
    "[Chip1]\r\nLeft=-1000\r\nTop=20\r\nWidth=181\r\nHeight=150\r\nTextColor=0000FF\r\nBackColor=F0F0F0\r\n"
    "FontHeight=-20\r\nFontWeight=700\r\nFontItalic=1\r\nFontCharSet=128\r\nFontQuality=3\r\nFontFace=Face\r\n"
    "Topmost=1\r\nMemo=1998/2\\n\\x95\\\\\r\nSaveData=0200000001F0\r\n\r\n"
    "[Chip2]\nLeft=5\nTop=6\nWidth=7\nHeight=8\nLater=kept apart\n\n[End]\n";

}  // namespace

// What one chip keeps comes back byte for byte, whatever bytes its memo
// holds (Shift-JIS with a backslash trail byte, line breaks, controls).
TEST(DeskFile, ChipsComeBackAsKept) {
  std::vector<DeskChipRecord> chips = {
      Chip(-1200, 140, "", Block({0, 0, 0, 0})),
      Chip(10, 20, "\x95\x5c\\\r\n\t\x7f end \\n", Block({24, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                                                      15, 16, 17, 18, 19, 20, 21, 0xF1, 0, 0})),
      Chip(3000, 900, std::string(kDeskMaxMemo, 'm'), std::vector<unsigned char>(kDeskMaxSaveData, 0)),
  };
  chips[1].topmost = true;
  chips[1].textColor = 0x123456;
  chips[1].fontItalic = true;
  snprintf(chips[1].fontFace, sizeof chips[1].fontFace, "%s", std::string(kDeskMaxFace, 'F').c_str());
  std::vector<DeskChipRecord> back;
  std::string why;
  ASSERT_TRUE(Parse(FormatDeskFile(chips), &back, &why)) << why;
  ASSERT_EQ(chips.size(), back.size());
  for (size_t i = 0; i < chips.size(); ++i) {
    const DeskChipRecord &a = chips[i], &b = back[i];
    EXPECT_EQ(a.memo, b.memo) << i;
    EXPECT_EQ(a.saveData, b.saveData) << i;
    EXPECT_EQ(std::vector<int>({a.left, a.top, a.width, a.height, (int)a.textColor, (int)a.backColor, a.fontHeight,
                                a.fontWeight, a.fontItalic, a.fontCharSet, a.fontQuality, a.topmost}),
              std::vector<int>({b.left, b.top, b.width, b.height, (int)b.textColor, (int)b.backColor, b.fontHeight,
                                b.fontWeight, b.fontItalic, b.fontCharSet, b.fontQuality, b.topmost}))
        << i;
    EXPECT_STREQ(a.fontFace, b.fontFace) << i;
  }
}

// A file as written by an earlier run (LF or CR LF, keys of a later version
// among them) reads into these values; keys left out take the defaults.
TEST(DeskFile, ReadsTheKeptValues) {
  std::vector<DeskChipRecord> chips;
  std::string why;
  ASSERT_TRUE(Parse(kTwoChips, &chips, &why)) << why;
  ASSERT_EQ(2u, chips.size());
  const DeskChipRecord& a = chips[0];
  EXPECT_EQ(-1000, a.left);
  EXPECT_EQ(181, a.width);
  EXPECT_EQ(0x0000FFu, a.textColor);
  EXPECT_EQ(0xF0F0F0u, a.backColor);
  EXPECT_EQ(-20, a.fontHeight);
  EXPECT_EQ(700, a.fontWeight);
  EXPECT_TRUE(a.fontItalic);
  EXPECT_TRUE(a.topmost);
  EXPECT_STREQ("Face", a.fontFace);
  EXPECT_EQ(std::string("1998/2\n\x95\\"), a.memo);
  EXPECT_EQ(Block({2, 0, 0, 0, 1, 0xF0}), a.saveData);
  const DeskChipRecord& b = chips[1];
  EXPECT_EQ(std::vector<int>({5, 6, 7, 8}), std::vector<int>({b.left, b.top, b.width, b.height}));
  EXPECT_EQ("", b.memo);
  EXPECT_EQ(Block({0, 0, 0, 0}), b.saveData);
  EXPECT_EQ(0xFFFFFFu, b.backColor);
  EXPECT_FALSE(b.topmost);
}

// A damaged file is refused as a whole, never read into half a desk.
TEST(DeskFile, RefusesDamage) {
  const std::string good = kTwoChips;
  struct {
    std::string find, replace;
  } cases[] = {
      {"Version=1", "Version=2"},       {"Chips=2", "Chips=3"},          {"Chips=2", "Chips=x"},
      {"Left=-1000", "Left=-1000x"},    {"Width=181", "Width=0"},        {"Width=181", "Width=4097"},
      {"Top=20", "Top=99999999999999"}, {"Height=8\n", ""},              {"[Chip2]", "[Chip3]"},
      {"[Chip1]", "[Chip1"},            {"Topmost=1", "Topmost=2"},      {"TextColor=0000FF", "TextColor=00FF"},
      {"BackColor=F0F0F0", "BackColor=F0F0FG"}, {"Memo=1998/2", "Memo=\\q"}, {"\\\\\r\nSave", "\\\r\nSave"},
      {"\\x95", "\\x00"},               {"\\x95", "\\x9"},               {"SaveData=0200000001F0", "SaveData=0300000001F0"},
      {"SaveData=0200000001F0", "SaveData=02000000F"}, {"SaveData=0200000001F0", "SaveData=020000"},
      {"FontFace=Face", "FontFace=ThirtyTwoCharactersIsTooLongForIt"},
      {"[Desk]", "Stray=1\r\n[Desk]"}, {"Later=kept apart", "no equals sign"}, {"[End]\n", ""},
      {"[End]\n", "[End]\nLeft=1\n"},   {"Later=", "=x\nLater="},       {"Later", std::string("La\0ter", 6)},
  };
  for (auto& c : cases) {
    std::string text = good;
    size_t at = text.find(c.find);
    ASSERT_NE(std::string::npos, at) << c.find;
    text.replace(at, c.find.size(), c.replace);
    std::vector<DeskChipRecord> chips;
    std::string why;
    EXPECT_FALSE(Parse(text, &chips, &why)) << c.find << " -> " << c.replace;
  }
  // Whatever the cut, a file cut short is no file: a write that broke off
  // must never be taken for fewer chips or a shorter memo.
  for (size_t n = 0; n + 1 < good.size(); ++n) {
    std::vector<DeskChipRecord> chips;
    std::string why;
    EXPECT_FALSE(Parse(good.substr(0, n), &chips, &why)) << "cut at " << n;
  }
  std::vector<DeskChipRecord> chips;
  std::string why;
  EXPECT_FALSE(Parse(std::string("Memo=") + std::string(3 * kDeskMaxMemo, 'x'), &chips, &why));
}

TEST(DeskGeometry, Arithmetic) {
  struct {
    int value, dpi, scaled, back;
  } dpis[] = {{-16, 96, -16, -16}, {-16, 144, -24, -16}, {-15, 120, -19, -15}, {-16, 192, -32, -16},
              {13, 168, 23, 13},   {-16, 0, -16, -16}};
  for (auto& d : dpis) {
    EXPECT_EQ(d.scaled, ScaleForDpi(d.value, d.dpi)) << d.value << " at " << d.dpi;
    EXPECT_EQ(d.back, UnscaleForDpi(d.scaled, d.dpi)) << d.scaled << " at " << d.dpi;
  }

  const DeskRect work = {0, 0, 1280, 994};
  struct {
    DeskRect chip;
    bool moved;
    DeskRect placed;
  } places[] = {
      {{100, 100, 300, 250}, false, {100, 100, 300, 250}},      // inside
      {{-900, 228, -700, 378}, true, {0, 228, 200, 378}},       // on a monitor to the left, gone
      {{2400, 900, 2600, 1050}, true, {1080, 844, 1280, 994}},  // right and below
      {{1200, -50, 1400, 100}, true, {1080, 0, 1280, 150}},     // half off the top right
      {{-10, -10, 1990, 1490}, true, {0, 0, 2000, 1500}},       // larger than the area
  };
  for (auto& p : places) {
    DeskRect placed;
    EXPECT_EQ(p.moved, KeepInWorkArea(p.chip, work, &placed)) << p.chip.left << "," << p.chip.top;
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
  for (auto& n : nights)
    EXPECT_EQ(n.wait, MsUntilAfterMidnight(n.h, n.m, n.s, n.ms)) << n.h << ":" << n.m << ":" << n.s;
}
