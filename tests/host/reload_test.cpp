// Reloading the scheduler's files when they cannot be read, and a chip
// window whose hook cannot be taken out, through the built library.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/hover.h"
#include "dxlhost/paint.h"
#include "host/loader.h"
#include "host/menu.h"
#include "host/pump.h"
#include "soak/accounting.h"
#include "soak/faults.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

namespace {

class Reload : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib_.ok());
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    cwd_ = cwd;
    SetCurrentDirectoryA(lib_.path().c_str());  // per-month schedule files
    ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api_));
    ASSERT_GT(SoakInstallHooks(api_.module), 0);
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &chip_));
  }
  void TearDown() override {
    SoakSetFault(nullptr, 0);
    if (chip_.chip) HostDestroy(&api_, &chip_);
    HostChipFree(&chip_);
    if (api_.module) UnloadDxl(&api_);
    SetCurrentDirectoryA(cwd_.c_str());
  }
  // The library loaded afresh, with a new chip of the same month.
  void Restart() {
    HostDestroy(&api_, &chip_);
    HostChipFree(&chip_);
    UnloadDxl(&api_);
    ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api_));
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &chip_));
  }
  void ReloadCnf() { ApplyMenuResult(&api_, &chip_, api_.DoDrawExMenu(chip_.chip, chip_.window, 10004)); }
  std::vector<uint32_t> Masks() {
    HostChipPeek peek;
    EXPECT_TRUE(HostPeekChip(chip_.chip, &peek));
    return {peek.holidayMask[0], peek.scheduleMask[0]};
  }
  std::string Section() {
    char text[4096];
    DWORD n = GetPrivateProfileSectionA("$TodayTemp", text, sizeof text, lib_.SettingsFile().c_str());
    return std::string(text, n);
  }
  // The chip and the tip over 11 February (a holiday and a schedule day),
  // built afresh: the cursor rests on 3 February (no marks) first.
  std::vector<uint8_t> Tip() {
    POINT plain;
    if (FindDayOnScreen(&chip_, HoverDate{1998, 2, 3}, &plain)) SetCursorPos(plain.x, plain.y);
    PumpMessagesFor(100);
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const char* why = "";
    EXPECT_TRUE(HoverAndCapture(&chip_, HoverDate{1998, 2, 11}, 40, 40, &w, &h, &rgb, &why)) << why;
    return rgb;
  }

  LibraryCopy lib_{true};
  DxlApi api_ = DxlApi();
  HostChip chip_ = HostChip();
  std::string cwd_;
};

TEST_F(Reload, TodayCnfHeldOpenKeepsMarksAndTips) {
  const std::vector<uint32_t> masks = Masks();
  ASSERT_NE(0u, masks[1]);
  const std::vector<uint8_t> tip = Tip();
  HANDLE held = CreateFileA(lib_.File("TODAY.CNF").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  const char kNoSchedules[] = "schedule=no\r\nschedule_file1=SCHEDULE.TBL\r\n";
  DWORD written = 0;
  WriteFile(held, kNoSchedules, sizeof kNoSchedules - 1, &written, nullptr);
  SetEndOfFile(held);
  ReloadCnf();
  EXPECT_EQ(masks, Masks());
  EXPECT_TRUE(tip == Tip()) << "the tip or the chip changed";
  CloseHandle(held);
  ReloadCnf();
  EXPECT_EQ(std::vector<uint32_t>({masks[0], 0}), Masks()) << "the file's change was not picked up";
  EXPECT_FALSE(tip == Tip());
}

// A folder that cannot be entered (under Wine Z:\proc\1\root) on PATH, in
// TODAYTBL and in table_path costs that folder, not the calendar.
TEST_F(Reload, FolderThatCannotBeEnteredIsAMiss) {
  const std::vector<uint32_t> masks = Masks();
  const std::vector<uint8_t> tip = Tip();
  const std::string shut = "Z:\\proc\\1\\root";
  WIN32_FIND_DATAA found;
  ASSERT_TRUE(FindFirstFileA((shut + "\\*").c_str(), &found) == INVALID_HANDLE_VALUE &&
              GetLastError() == ERROR_ACCESS_DENIED);
  ASSERT_TRUE(lib_.Write("TODAY.CNF", lib_.Read("TODAY.CNF") + "$common\r\ntable_path=Z:/proc/1/root\r\n"));
  std::string path(32767, '\0');
  path.resize(GetEnvironmentVariableA("PATH", &path[0], (DWORD)path.size()));
  SetEnvironmentVariableA("PATH", (shut + ";" + path).c_str());
  SetEnvironmentVariableA("TODAYTBL", shut.c_str());
  Restart();
  SetEnvironmentVariableA("PATH", path.c_str());
  SetEnvironmentVariableA("TODAYTBL", nullptr);
  EXPECT_NE(std::string::npos, Section().find("TablePath=Z:/proc/1/root")) << Section();
  EXPECT_EQ(masks, Masks());
  EXPECT_TRUE(tip == Tip()) << "the tip or the chip changed";
}

// TODAY.CNF held open by the scheduler while the library loads: no marks;
// once it is closed, the chip's next Update shows them, or a hover at once,
// with no menu command.
TEST_F(Reload, LoadThatFailedHealsItself) {
  const std::vector<uint32_t> masks = Masks();
  for (bool hover : {false, true}) {
    HANDLE held = CreateFileA(lib_.File("TODAY.CNF").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Restart();
    EXPECT_EQ(std::vector<uint32_t>({0, 0}), Masks()) << hover;
    CloseHandle(held);
    Sleep(1100);  // a load is tried at most once a second
    if (hover)
      Tip();
    else
      HostUpdate(&api_, &chip_);
    EXPECT_EQ(masks, Masks()) << (hover ? "after a hover" : "after an Update");
  }
}

// A reload that fails anywhere on the way leaves the section and the marks
// of the last one that worked.
TEST_F(Reload, FailedReloadKeepsWhatWorked) {
  const std::string section = Section();
  const std::vector<uint32_t> masks = Masks();
  ASSERT_NE(std::string::npos, section.find("ScheduleFile1=")) << section;
  for (const char* fault : {"CreateFileA@TODAY.CNF", "GetFileSize@TODAY.CNF", "ReadFile@TODAY.CNF",
                            "FindFirstFileA@TODAY.CNF", "FindFirstFileA@SCHEDULE.TBL", "FindFirstFileA@GENGO.TBL",
                            "LoadStringA", "WritePrivateProfileSectionA"}) {
    for (long n : {1, 3}) {
      ASSERT_TRUE(SoakSetFault(fault, n)) << fault;
      ReloadCnf();
      SoakSetFault(nullptr, 0);
      EXPECT_EQ(section, Section()) << fault << ":" << n;
      EXPECT_EQ(masks, Masks()) << fault << ":" << n;
    }
  }
}

// The chip keeps its tips while the holiday table cannot be read: 11
// February is a schedule day too.
TEST_F(Reload, TableThatCannotBeReadKeepsTheTips) {
  HostChipSetMemo(&chip_, "1998/1");
  HostUpdate(&api_, &chip_);
  HostChipSetMemo(&chip_, "1998/2");
  ASSERT_TRUE(SoakSetFault("ReadFile@HOLIDAY.TBL", 1));
  HostUpdate(&api_, &chip_);
  ASSERT_TRUE(SoakFaultFired());
  SoakSetFault(nullptr, 0);
  EXPECT_NE(nullptr, GetDlgItem(chip_.window, 46)) << "the tag window";
  Tip();
}

// An unhook that fails does not leave the window calling into a library
// that is gone: the library stays until the hook is out (at one of the
// window's later messages) and an unhook lets it go.
TEST_F(Reload, WindowStillHookedKeepsTheLibrary) {
  HWND window = chip_.window;
  const char* base = reinterpret_cast<const char*>(api_.module);
  const char* end = base + reinterpret_cast<const IMAGE_NT_HEADERS*>(
                               base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew)
                               ->OptionalHeader.SizeOfImage;
  ASSERT_TRUE(SoakSetFault("SetWindowLongA", 1));
  api_.UnInitializeChip(chip_.chip, window);
  ASSERT_TRUE(SoakFaultFired());
  SoakSetFault(nullptr, 0);
  chip_.chip = nullptr;
  UnloadDxl(&api_);
  auto inLibrary = [&] {
    const char* proc = reinterpret_cast<const char*>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    return proc >= base && proc < end;
  };
  if (inLibrary() && !GetModuleHandleA(lib_.library().c_str())) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    FAIL() << "the window calls into a library that is gone";
  }
  SendMessageA(window, WM_NULL, 0, 0);
  EXPECT_FALSE(inLibrary());
  ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api_));
  api_.UnInitializeChip(nullptr, nullptr);
  UnloadDxl(&api_);
  EXPECT_EQ(nullptr, GetModuleHandleA(lib_.library().c_str())) << "the library was kept after the hook came out";
}

}  // namespace
