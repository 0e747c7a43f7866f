// TarnivelDesk's kept file as a person meets it: edited by hand, damaged,
// changed while the program runs, refused.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "tests/common/deskprogram.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char kBad[] = "AppData\\Tarnivel\\TarnivelDesk.ini.bad";

}  // namespace

// What a person's editor and hands make of the file is read with every chip:
// blanks around "=" and at line ends, comments, LF line ends, keys in any
// order, a file of the earlier version with its colours, Notepad's UTF-8.
TEST(DeskKeptFile, HandEditsKeepEveryChip) {
  const struct {
    const char* name;
    std::string text;
    size_t chips;
  } cases[] = {
      {"edited by hand",
       "; my chips\n[Desk]\nVersion = 1\nChips = 2\n\n# the first\n[Chip1]\nTop=120\t\nLeft = 400   \n"
       "BackColor = 0000FF\nMemo=1998/2\n[Chip2]\nLeft=100\nTop=400\n[End]\n",
       2},
      {"UTF-8 with its mark",
       "\xEF\xBB\xBF[Desk]\r\nVersion=2\r\nChips=1\r\n[Chip1]\r\nLeft=400\r\nTop=120\r\nMemo=\xE3\x83\xA1\xE3\x83\xA2\r\n"
       "[End]\r\n",
       1},
  };
  for (const auto& c : cases) {
    DeskProgram desk;
    ASSERT_TRUE(desk.Keep(c.text));
    ASSERT_TRUE(desk.Start());
    EXPECT_TRUE(desk.WaitChips(c.chips)) << c.name;
    EXPECT_EQ(nullptr, desk.Dialog(0)) << c.name << ": no message";
    EXPECT_EQ("", desk.Read(kBad)) << c.name;
    RECT first = WindowRect(desk.Chips()[0]);
    for (HWND chip : desk.Chips())
      if (WindowRect(chip).top == 120) first = WindowRect(chip);
    EXPECT_EQ(std::vector<LONG>({400, 120}), std::vector<LONG>({first.left, first.top})) << c.name;
    std::string kept = desk.Kept();
    if (c.chips == 2) {
      HDC screen = GetDC(nullptr);
      EXPECT_EQ(RGB(255, 0, 0), GetPixel(screen, first.left + 2, first.top + 2)) << "0000FF of the earlier version is red";
      ReleaseDC(nullptr, screen);
      EXPECT_TRUE(Has(kept, "BackColor=#FF0000") && Has(kept, "Version=2")) << kept;
    } else {
      EXPECT_TRUE(Has(kept, "Memo=\x83\x81\x83\x82")) << "the memo in the program's code page: " << kept;
    }
  }
}

// A damaged chip is set aside and the user told which chip and line; the
// chips that read whole come up; the whole original is kept beside, each
// failure under a name of its own.
TEST(DeskKeptFile, DamageKeepsTheRestAndEveryOriginal) {
  const struct {
    std::string text;
    const char* told;
    size_t chips;
  } cases[] = {
      {"[Desk]\r\nVersion=2\r\nChips=3\r\n\r\n[Chip1]\r\nLeft=100\r\nTop=100\r\n\r\n[Chip2]\r\nLeft=400\r\nTop=abc\r\n\r\n"
       "[Chip3]\r\nLeft=700\r\nTop=100\r\n\r\n[End]\r\n",
       "チップ 2 (11 行目)", 2},
      {"[Desk]\r\nVersion=2\r\nChips=2\r\n\r\n[Chip1]\r\nLeft=100\r\nTop=100\r\n", "途中で切れて", 1},
      {"[Desk]\r\nVersion=2\r\nChips=1\r\n\r\n[Chip1]\r\nLeft 100\r\nTop=100\r\n[End]\r\n", "チップ 1 (6 行目)", 1},
  };
  DeskProgram desk;
  const char* kept[] = {kBad, "AppData\\Tarnivel\\TarnivelDesk.ini.bad2", "AppData\\Tarnivel\\TarnivelDesk.ini.bad3"};
  for (size_t i = 0; i < 3; ++i) {
    const auto& c = cases[i];
    ASSERT_TRUE(desk.Keep(c.text));
    ASSERT_TRUE(desk.Start());
    std::string text = desk.AnswerBox(IDOK);
    EXPECT_TRUE(Has(text, c.told) && Has(text, desk.File(kept[i]))) << text;
    EXPECT_TRUE(desk.WaitChips(c.chips)) << c.told;
    for (size_t j = 0; j <= i; ++j) EXPECT_EQ(cases[j].text, desk.Read(kept[j])) << "after failure " << i + 1;
    desk.Kill();
  }
}

// A file that could not be kept aside is never written, though a second
// start, a change of the display and the end of the session come while the
// program says so.
TEST(DeskKeptFile, RefusedFileIsNeverWritten) {
  DeskProgram desk;
  const std::string damaged = "[Desk]\r\nVersion=2\r\nChips=1\r\n[Chip1]\r\nMemo=precious\r\nLeft=1";
  ASSERT_TRUE(desk.Keep(damaged));
  for (int n = 1; n <= 99; ++n)
    CreateDirectoryA(desk.File(std::string(kBad) + (n > 1 ? std::to_string(n) : "")).c_str(), nullptr);
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(WaitUntil([&] { return desk.Dialog(0) != nullptr; }));
  EXPECT_EQ(0, desk.StartAgain());
  PostMessageA(desk.MainWindow(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
  PostMessageA(desk.MainWindow(), WM_ENDSESSION, TRUE, 0);
  Sleep(1000);
  std::string text = desk.AnswerBox(IDOK);
  EXPECT_TRUE(Has(text, "上書きしない")) << text;
  EXPECT_EQ(1, desk.WaitExit());
  EXPECT_EQ(damaged, desk.Kept());
}

// An edit made while the program runs is kept beside the file at the next
// save, and the user is told where.
TEST(DeskKeptFile, EditWhileRunningIsKeptBeside) {
  DeskProgram desk;
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(1));
  std::string edited = desk.Kept();
  size_t left = edited.find("Left=");
  ASSERT_NE(std::string::npos, left) << edited;
  edited.replace(left, edited.find('\r', left) - left, "Left=400");
  ASSERT_TRUE(desk.Keep(edited));
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kNewChip));
  std::string text = desk.AnswerBox(IDOK);
  EXPECT_TRUE(Has(text, desk.KeptPath() + ".edited")) << text;
  EXPECT_EQ(edited, desk.Read("AppData\\Tarnivel\\TarnivelDesk.ini.edited"));
  EXPECT_TRUE(WaitUntil([&] { return Has(desk.Kept(), "Chips=2"); })) << desk.Kept();
}
