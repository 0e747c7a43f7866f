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

  ASSERT_TRUE(desk.ChooseFromEnd(chip, kColorsAndFont));
  ASSERT_TRUE(WaitUntil([&] { return (dialog = desk.Dialog(1136)) != nullptr; })) << "the font dialog";
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return (dialog = desk.Dialog(706)) != nullptr; })) << "the colour dialog";
  const int rgb[3][2] = {{706, 40}, {707, 200}, {708, 120}};
  for (auto& c : rgb) SetDlgItemInt(dialog, c[0], c[1], FALSE);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return Has(desk.Kept(), "BackColor=78C828"); })) << desk.Kept();
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

  ASSERT_EQ("(none)", RunValue());
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kStartWithWindows));
  EXPECT_TRUE(WaitUntil([&] { return RunValue() == "\"" + desk.File("TarnivelDesk.exe") + "\""; })) << RunValue();
  ASSERT_TRUE(desk.ChooseFromEnd(desk.Chips()[0], kStartWithWindows));
  EXPECT_TRUE(WaitUntil([&] { return RunValue() == "(none)"; })) << RunValue();
}

// A chip kept on a monitor that is no longer there comes back inside a work
// area; one on a monitor that is there stays.
TEST(Desk, ChipOfAGoneMonitorComesBack) {
  DeskProgram desk;
  const int right = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  char kept[512];
  snprintf(kept, sizeof kept,
           "[Desk]\r\nVersion=1\r\nChips=2\r\n[Chip1]\r\nLeft=%d\r\nTop=300\r\nWidth=100\r\nHeight=100\r\n"
           "[Chip2]\r\nLeft=100\r\nTop=120\r\nWidth=100\r\nHeight=100\r\n[End]\r\n",
           right + 400);
  ASSERT_TRUE(desk.Keep(kept));
  ASSERT_TRUE(desk.Start());
  ASSERT_TRUE(desk.WaitChips(2));
  for (HWND chip : desk.Chips()) {
    RECT r = WindowRect(chip), inside;
    MONITORINFO info = {sizeof info};
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info));
    IntersectRect(&inside, &r, &info.rcWork);
    EXPECT_TRUE(EqualRect(&inside, &r)) << r.left << "," << r.top << " in a work area";
    if (r.left < right / 2) {
      EXPECT_EQ(std::vector<LONG>({100, 120}), std::vector<LONG>({r.left, r.top})) << "on a monitor that is there";
    }
  }
}
