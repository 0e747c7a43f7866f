// TarnivelDesk.exe driven as a user drives it: real windows, the real
// cursor, real messages, its kept file in an APPDATA of the test's own.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "dxlhost/capture.h"
#include "dxlhost/paint.h"
#include "resources/resource.h"
#include "tests/common/deskprogram.h"

namespace {

// What the chip's client area shows on the screen.
std::vector<uint8_t> Pixels(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  CaptureScreen(r, &w, &h, &rgb);
  return rgb;
}

// The chips' places and pictures, in the order of their places.
std::vector<std::pair<std::vector<LONG>, std::vector<uint8_t>>> Shown(const DeskProgram& desk) {
  std::vector<std::pair<std::vector<LONG>, std::vector<uint8_t>>> shown;
  for (HWND chip : desk.Chips()) {
    RECT r = WindowRect(chip);
    shown.push_back({{r.left, r.top, r.right, r.bottom}, Pixels(chip)});
  }
  std::sort(shown.begin(), shown.end());
  return shown;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// A fresh profile shows this month; a new chip, dragged, and both come back
// after 終了 as they were: places, months, views and colours.
TEST(Desk, ChipsComeBackWhereTheyWereLeft) {
  DeskProgram desk;
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(1)) << "a fresh profile gives one chip";
  HWND first = desk.Chips()[0];
  {
    // The library's own picture of this month, painted here for the same font.
    DxlApi api;
    ASSERT_TRUE(LoadDxl(desk.library().c_str(), &api));
    PaintOptions o;
    DefaultPaintOptions(&o);
    HostChip reference;
    ASSERT_TRUE(CreatePaintChip(&api, o, &reference));
    int w, h;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(PaintChipPixels(&api, &reference, &w, &h, &rgb));
    EXPECT_EQ(rgb, Pixels(first)) << "the chip shows this month as the library paints it";
    HostDestroy(&api, &reference);
    HostChipFree(&reference);
    UnloadDxl(&api);
  }

  ASSERT_TRUE(desk.ChooseFromEnd(first, kNewChip));
  ASSERT_TRUE(desk.WaitChips(2)) << "新しいチップ gives a second chip";
  HWND second = desk.Chips()[0] == first ? desk.Chips()[1] : desk.Chips()[0];
  RECT before = WindowRect(second);
  POINT moved = desk.Drag(second, 220, 160);
  RECT after = WindowRect(second);
  EXPECT_EQ(std::vector<LONG>({before.left + moved.x, before.top + moved.y}), std::vector<LONG>({after.left, after.top}))
      << moved.x << "," << moved.y << desk.Log();
  EXPECT_GT(moved.x, 100);
  RECT firstPlace = WindowRect(first);
  desk.Drag(first, 1, -1);
  RECT still = WindowRect(first);
  EXPECT_TRUE(EqualRect(&firstPlace, &still)) << "a press that moves less than the drag distance is a click";

  auto shown = Shown(desk);
  ASSERT_TRUE(desk.ChooseFromEnd(first, kQuit));
  EXPECT_EQ(0, desk.WaitExit());
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(2));
  EXPECT_TRUE(Shown(desk) == shown) << "places, months, views and colours as before";
}

// チップを削除, チップの設定 and 色とフォント are kept across a restart.
TEST(Desk, ChangesAreKept) {
  DeskProgram desk;
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(1));
  HWND chip = desk.Chips()[0];
  ASSERT_TRUE(desk.ChooseFromEnd(chip, kNewChip));
  ASSERT_TRUE(desk.WaitChips(2));
  HWND extra = desk.Chips()[0] == chip ? desk.Chips()[1] : desk.Chips()[0];
  ASSERT_TRUE(desk.ChooseFromEnd(extra, kDelete));
  EXPECT_TRUE(Has(desk.AnswerBox(IDYES), "削除")) << "asks first";
  ASSERT_TRUE(desk.WaitChips(1));

  RECT oneMonth = WindowRect(chip);
  ASSERT_TRUE(desk.ChooseFromEnd(chip, kChipSettings));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = desk.Dialog(1205)) != nullptr; }));
  SendMessageA(GetDlgItem(dialog, 1205), BM_CLICK, 0, 0);  // two months
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowRect(chip).right - WindowRect(chip).left > oneMonth.right - oneMonth.left; }));

  // The font dialog opens on the chip's font: the system's face at 12 points
  // (16 pixels at 96 DPI), without vertical faces; underline is kept.
  std::string kept = desk.Kept();
  size_t at = kept.find("FontFace=") + 9;
  const std::string chipFace = kept.substr(at, kept.find('\r', at) - at);
  ASSERT_FALSE(chipFace.empty()) << kept;
  ASSERT_TRUE(desk.ChooseFromEnd(chip, kFont));
  ASSERT_TRUE(WaitUntil([&] { return (dialog = desk.Dialog(1136)) != nullptr; })) << "the font dialog";
  char face[64] = "", size[16] = "";
  GetDlgItemTextA(dialog, 1136, face, sizeof face);
  GetDlgItemTextA(dialog, 1138, size, sizeof size);
  EXPECT_EQ(std::vector<std::string>({chipFace, "12", "文字の色とフォント"}),
            std::vector<std::string>({face, size, DeskProgram::Caption(dialog)}));
  HWND faces = GetDlgItem(dialog, 1136);
  for (int i = 0, n = (int)SendMessageA(faces, CB_GETCOUNT, 0, 0); i < n; ++i) {
    char item[64] = "";
    if (SendMessageA(faces, CB_GETLBTEXTLEN, i, 0) < (LRESULT)sizeof item) SendMessageA(faces, CB_GETLBTEXT, i, (LPARAM)item);
    EXPECT_NE('@', item[0]) << item;
  }
  SendMessageA(GetDlgItem(dialog, 1041), BM_CLICK, 0, 0);  // underline
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return Has(desk.Kept(), "FontUnderline=1"); })) << desk.Kept();
  EXPECT_TRUE(Has(desk.Kept(), "FontHeight=-16\r\n")) << "OK on the chip's own font keeps its size: " << desk.Kept();
  EXPECT_TRUE(Has(desk.Kept(), "FontFace=" + chipFace + "\r\n")) << desk.Kept();

  ASSERT_TRUE(desk.ChooseFromEnd(chip, kBackground));
  ASSERT_TRUE(WaitUntil([&] { return (dialog = desk.Dialog(706)) != nullptr; })) << "the colour dialog";
  EXPECT_EQ("背景の色", DeskProgram::Caption(dialog));
  const int rgb[3][2] = {{706, 40}, {707, 200}, {708, 120}};
  for (auto& c : rgb) SetDlgItemInt(dialog, c[0], c[1], FALSE);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return Has(desk.Kept(), "BackColor=#28C878"); })) << desk.Kept();
  Sleep(300);
  RECT changed = WindowRect(chip);

  desk.Kill();
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(1));
  RECT now = WindowRect(desk.Chips()[0]);
  EXPECT_TRUE(EqualRect(&changed, &now)) << "two months in the chosen font, the size they need";
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(RGB(40, 200, 120), GetPixel(screen, changed.left + 2, changed.top + 2)) << "the chosen background";
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(Has(desk.Kept(), "FontUnderline=1")) << "underline read back and written again";
}

// While chips change, the kept file is always whole to a reader; killed
// right after a change, the program finds the state before or after it,
// never a damaged file.
TEST(Desk, KilledAfterAChangeKeepsAWholeFile) {
  DeskProgram desk;
  std::atomic<bool> stop(false);
  std::atomic<int> reads(0), torn(0);
  auto whole = [](const std::string& k) { return k.rfind("[Desk]", 0) == 0 && k.size() > 7 && k.substr(k.size() - 7) == "[End]\r\n"; };
  for (DWORD delay : {0, 2, 10, 30, 80}) {
    ASSERT_TRUE(desk.Start());
    ASSERT_TRUE(WaitUntil([&] { return !desk.Chips().empty(); }));
    Sleep(300);
    size_t before = desk.Chips().size();
    std::thread reader([&] {
      while (!stop) ++reads, torn += !whole(desk.Kept());
    });
    ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kNewChip));
    Sleep(delay);
    desk.Kill();
    stop = true;
    reader.join();
    stop = false;
    ASSERT_TRUE(desk.Start());
    ASSERT_TRUE(WaitUntil([&] { size_t n = desk.Chips().size(); return n == before || n == before + 1; }));
    EXPECT_EQ(nullptr, desk.Dialog(0)) << "no message after " << delay << " ms";
    EXPECT_EQ("", desk.Read("AppData\\Tarnivel\\TarnivelDesk.ini.bad")) << delay;
    desk.Kill();
  }
  EXPECT_EQ(0, torn.load()) << "of " << reads.load() << " reads";
}

// A damaged file: the message names it, it is kept as .bad, one new chip.
// A missing library or one without the chip's exports: the message, exit 1.
TEST(Desk, DamageAndMissingPartsAreToldAbout) {
  DeskProgram desk;
  const std::string damaged = "[Desk]\r\nVersion=1\r\nChips=1\r\n[Chip1]\r\nLeft=1";
  ASSERT_TRUE(desk.Keep(damaged));
  ASSERT_TRUE(desk.Start());
  std::string text = desk.AnswerBox(IDOK);
  EXPECT_TRUE(Has(text, desk.KeptPath()) && Has(text, ".bad")) << text;
  EXPECT_EQ(damaged, desk.Read("AppData\\Tarnivel\\TarnivelDesk.ini.bad"));
  EXPECT_TRUE(desk.WaitChips(1));
  EXPECT_TRUE(Has(desk.Kept(), "Chips=1"));

  DeskProgram missing(false);
  DeskProgram lacking(false);
  lacking.CopyIn(BuildFolder() + "recordargs.exe", "Tarnivel.dxl");
  struct {
    DeskProgram* desk;
    const char* told;
  } cases[] = {{&missing, "Tarnivel.dxl"}, {&lacking, "InitializeChip, UnInitializeChip, Update, GetSaveData"}};
  for (auto& c : cases) {
    ASSERT_TRUE(c.desk->Start());
    text = c.desk->AnswerBox(IDOK);
    EXPECT_TRUE(Has(text, c.desk->library()) && Has(text, c.told)) << text;
    EXPECT_EQ(1, c.desk->WaitExit()) << c.told;
  }
}

// A second start leaves one instance, which shows a chip again when it had none.
TEST(Desk, SecondStartLeavesOneInstance) {
  DeskProgram desk;
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(1));
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kDelete));
  desk.AnswerBox(IDYES);
  ASSERT_TRUE(desk.WaitChips(0));
  EXPECT_EQ(0, desk.StartAgain());
  EXPECT_TRUE(desk.WaitChips(1)) << "the running one shows a new chip";
  int mains = 0;
  for (HWND w = FindWindowExA(nullptr, nullptr, "TarnivelDeskMain", nullptr); w;
       w = FindWindowExA(nullptr, w, "TarnivelDeskMain", nullptr))
    ++mains;
  EXPECT_EQ(1, mains);
}

namespace {

// The program's value under the user's Run key; with remove, taken out.
std::string RunValue(bool remove = false) {
  char value[MAX_PATH + 4] = "(none)";
  DWORD size = sizeof value - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_READ | KEY_SET_VALUE, &key))
    return value;
  if (remove) RegDeleteValueA(key, "TarnivelDesk");
  else if (RegQueryValueExA(key, "TarnivelDesk", nullptr, nullptr, (BYTE*)value, &size)) strcpy(value, "(none)");
  RegCloseKey(key);
  return value;
}

bool SetRunValue(const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr))
    return false;
  bool set = !RegSetValueExA(key, "TarnivelDesk", 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
  RegCloseKey(key);
  return set;
}

struct RunValueRemoved {
  ~RunValueRemoved() { RunValue(true); }
};

}  // namespace

// WM_TIMECHANGE gives every chip an Update; the menu item writes the Run
// value with the program's quoted path and removes it again.
TEST(Desk, TimeChangeAndStartWithWindows) {
  RunValueRemoved removed;
  DeskProgram desk;
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(1));
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kNewChip));
  ASSERT_TRUE(desk.WaitChips(2));
  EXPECT_FALSE(Has(desk.Log(), "(time change)"));
  PostMessageA(FindWindowA("TarnivelDeskMain", nullptr), WM_TIMECHANGE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return Has(desk.Log(), "update chip 1 (time change)") && Has(desk.Log(), "update chip 2 (time change)"); }))
      << desk.Log();

  // A value left by a copy that was moved is not this copy's: choosing the
  // item registers this one, choosing it again removes it.
  ASSERT_TRUE(SetRunValue("\"C:\\moved\\TarnivelDesk.exe\""));
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kStartWithWindows));
  EXPECT_TRUE(WaitUntil([&] { return RunValue() == "\"" + desk.File("TarnivelDesk.exe") + "\""; })) << RunValue();
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kStartWithWindows));
  EXPECT_TRUE(WaitUntil([&] { return RunValue() == "(none)"; })) << RunValue();
}

namespace {

bool InAWorkArea(HWND chip) {
  RECT r = WindowRect(chip), inside;
  MONITORINFO info = {sizeof info};
  if (!GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return false;
  IntersectRect(&inside, &r, &info.rcWork);
  return EqualRect(&inside, &r) != 0;
}

}  // namespace

// A chip kept on a monitor that is no longer there, or with its month row
// below the screen's edge, comes back inside a work area at start, after a
// change of the display and from the icon; one in sight stays. A new chip
// goes beside the chip it was asked from, not on it.
TEST(Desk, ChipsStayInSight) {
  DeskProgram desk;
  const int right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int bottom = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  char kept[512];
  snprintf(kept, sizeof kept,
           "[Desk]\r\nVersion=2\r\nChips=3\r\n[Chip1]\r\nLeft=%d\r\nTop=300\r\n[Chip2]\r\nLeft=100\r\nTop=120\r\n"
           "[Chip3]\r\nLeft=600\r\nTop=%d\r\n[End]\r\n",
           right + 400, bottom - 3);
  ASSERT_TRUE(desk.Keep(kept));
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(3));
  HWND stays = nullptr;
  for (HWND chip : desk.Chips()) {
    RECT r = WindowRect(chip);
    EXPECT_TRUE(InAWorkArea(chip)) << r.left << "," << r.top << " in a work area";
    if (r.left == 100 && r.top == 120) stays = chip;
  }
  ASSERT_NE(nullptr, stays) << "a chip in sight stays where it was";

  const struct {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } brings[] = {{WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024)}, {WM_APP + 3, 0, WM_LBUTTONUP}};
  for (const auto& b : brings) {
    SetWindowPos(stays, nullptr, 300, bottom - 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(desk.MainWindow(), b.message, b.wParam, b.lParam);
    EXPECT_TRUE(WaitUntil([&] { return InAWorkArea(stays); })) << "message " << b.message;
  }

  ASSERT_TRUE(desk.ChooseFromEnd(stays, kNewChip));
  ASSERT_TRUE(desk.WaitChips(4));
  std::vector<HWND> chips = desk.Chips();
  for (size_t i = 0; i < chips.size(); ++i)
    for (size_t j = i + 1; j < chips.size(); ++j) {
      RECT a = WindowRect(chips[i]), b = WindowRect(chips[j]), both;
      EXPECT_FALSE(IntersectRect(&both, &a, &b)) << a.left << "," << a.top << " and " << b.left << "," << b.top;
    }
}

// 終了 while a chip's dialog is open closes the dialog as Cancel and ends
// cleanly, the chips kept as they were.
TEST(Desk, QuitWithADialogOpen) {
  const struct {
    int item, control;
  } dialogs[] = {{kChipSettings, 1205}, {kFont, 1136}, {kBackground, 706}};
  DeskProgram desk;
  for (const auto& d : dialogs) {
    ASSERT_TRUE(desk.Start());
    ASSERT_TRUE(desk.WaitChips(1));
    std::string before = desk.Kept();
    ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], d.item));
    ASSERT_TRUE(WaitUntil([&] { return desk.Dialog(d.control) != nullptr; })) << d.control;
    PostMessageA(desk.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, desk.WaitExit(10000)) << "dialog " << d.control;
    EXPECT_EQ(before, desk.Kept()) << "dialog " << d.control;
  }
}

// Started from the Run key at logon (the current folder is the Windows
// folder), the program reads the scheduler's files named relative to its
// own folder, as when started by a double-click.
TEST(Desk, SameDataHoweverStarted) {
  DeskProgram desk(true, true);
  ASSERT_TRUE(desk.Keep("[Desk]\r\nVersion=2\r\nChips=1\r\n[Chip1]\r\nLeft=100\r\nTop=100\r\nMemo=2026/12\r\n[End]\r\n"));
  char windows[MAX_PATH];
  ASSERT_TRUE(GetWindowsDirectoryA(windows, sizeof windows));
  std::vector<std::vector<uint8_t>> pictures;
  for (const char* folder : {(const char*)nullptr, (const char*)windows, (const char*)nullptr}) {
    if (pictures.size() == 2) DeleteFileA(desk.File("S202612.TBL").c_str());  // no marks of the month's file
    ASSERT_TRUE(desk.Start(folder));
    ASSERT_TRUE(desk.WaitChips(1));
    pictures.push_back(Pixels(desk.Chips()[0]));
    desk.Kill();
  }
  EXPECT_TRUE(pictures[0] == pictures[1]) << "started in the Windows folder";
  EXPECT_FALSE(pictures[0] == pictures[2]) << "the month's schedule file marks days";
}

// バージョン情報 names the program and the library, each with its version.
TEST(Desk, AboutNamesBothVersions) {
  DeskProgram desk;
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(1));
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kAbout));
  std::string text = desk.AnswerBox(IDOK);
  const std::string version = "(ファイルの版 " TARNIVEL_FILEVERSION_STR ")";
  size_t first = text.find(version);
  EXPECT_TRUE(Has(text, "TarnivelDesk " TARNIVEL_PRODUCTVERSION_STR) && Has(text, desk.library()) &&
              first != std::string::npos && text.find(version, first + 1) != std::string::npos)
      << text;
}
