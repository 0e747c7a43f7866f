// Reloading the scheduler's files when they cannot be read, and a chip
// window whose hook cannot be taken out, through the built library.
#include "tests/host/reload_fixture.h"

namespace {

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
