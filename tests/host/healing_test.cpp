// The scheduler's data coming back by itself after its place was out of
// reach, and a reload reaching every chip, through the built library as a
// host drives it: no Update or hover where a host would not call one.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "host/hover.h"
#include "host/loader.h"
#include "host/menu.h"
#include "soak/iat.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

namespace {

// February 1998 from the samples: 11 February is a holiday, 14 February a
// day of SCHEDULE.TBL.
const uint32_t kFebruaryHolidays = 1u << 11;
const uint32_t kValentine = 1u << 14;
const UINT kReloadTables = 10003, kReloadCnf = 10004;
const int kTodayCnfEdit = 1103;

struct Marks {
  uint32_t holidays, schedules;
};

Marks MarksOf(const HostChip& chip) {
  HostChipPeek peek;
  EXPECT_TRUE(HostPeekChip(chip.chip, &peek));
  return {peek.holidayMask[0], peek.scheduleMask[0]};
}

bool HasFebruaryMarks(const HostChip& chip) {
  Marks m = MarksOf(chip);
  return m.holidays == kFebruaryHolidays && (m.schedules & kValentine);
}

// The host's message loop, paint messages left in the queue, until done()
// or ms milliseconds have passed.
bool RunLoopWithoutPaintUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_PAINT + 1, 0xFFFF, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
  }
  return false;
}

// Shown, with its first paint done: what is invalid later was made so since.
void ShowPainted(HWND window, int x) {
  SetWindowPos(window, HWND_TOP, x, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  UpdateWindow(window);
  ValidateRect(window, nullptr);
}

bool HasUpdateRegion(HWND window) {
  RECT rect;
  return GetUpdateRect(window, &rect, FALSE) != 0;
}

class SampleChips : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib_.ok());
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    cwd_ = cwd;
    // No sample file is found in the current folder instead of beside the library.
    SetCurrentDirectoryA(elsewhere_.path().c_str());
  }
  void TearDown() override {
    Unload();
    SetCurrentDirectoryA(cwd_.c_str());
  }
  bool Load() { return LoadDxl(lib_.library().c_str(), &api_); }
  // The chips freed and the library unloaded, as a host ends.
  void Unload() {
    for (HostChip* chip : {&first_, &second_}) {
      if (chip->chip) HostDestroy(&api_, chip);
      HostChipFree(chip);
      *chip = HostChip();
    }
    if (api_.module) UnloadDxl(&api_);
    api_ = DxlApi();
  }
  void Menu(UINT command) { ApplyMenuResult(&api_, &first_, api_.DoDrawExMenu(first_.chip, first_.window, command)); }
  std::string UserSetting(const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(UserSection().c_str(), key, "", value, sizeof value, lib_.SettingsFile().c_str());
    return value;
  }

  LibraryCopy lib_{true};
  TempFolder elsewhere_;
  DxlApi api_ = DxlApi();
  HostChip first_ = HostChip(), second_ = HostChip();
  std::string cwd_;
};

// TODAY.CNF named by the settings in a folder "share" that is renamed away
// while the library loads; beside the library lies another TODAY.CNF.
class Healing : public SampleChips {
 protected:
  void SetUp() override {
    SampleChips::SetUp();
    share_ = lib_.File("share");
    ASSERT_TRUE(CreateDirectoryA(share_.c_str(), nullptr));
    ASSERT_TRUE(MoveFileA(lib_.File("TODAY.CNF").c_str(), (share_ + "\\TODAY.CNF").c_str()));
    ASSERT_TRUE(lib_.Write("TODAY.CNF", "schedule=no\r\n"));
    ASSERT_TRUE(lib_.WriteUserSetting("TodayCnf", (share_ + "\\TODAY.CNF").c_str()));
    ASSERT_TRUE(MoveFileA(share_.c_str(), (share_ + ".away").c_str()));
  }
  void TearDown() override {
    SampleChips::TearDown();
    MoveFileA((share_ + ".away").c_str(), share_.c_str());
  }
  // Loaded while the share is away, with a chip of February 1998; then the
  // share comes back.
  void LoadWhileAway() {
    ASSERT_TRUE(Load());
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &first_));
    Marks m = MarksOf(first_);
    EXPECT_EQ(0u, m.holidays | m.schedules) << "marks while the share is away";
    EXPECT_EQ(share_ + "\\TODAY.CNF", UserSetting("TodayCnf")) << "the search took another file";
    ASSERT_TRUE(MoveFileA((share_ + ".away").c_str(), share_.c_str()));
  }
  std::string share_;
};

TEST_F(Healing, ShareBackShowsTheMarksAtTheNextUpdate) {
  LoadWhileAway();
  Sleep(1500);
  HostUpdate(&api_, &first_);
  EXPECT_TRUE(HasFebruaryMarks(first_)) << std::hex << MarksOf(first_).holidays << " " << MarksOf(first_).schedules;
}

TEST_F(Healing, ShareBackShowsTheMarksWithTipsOffInTheHostsLoopAlone) {
  ASSERT_TRUE(lib_.WriteUserSetting("Flags", "1"));
  LoadWhileAway();
  ShowPainted(first_.window, 40);
  EXPECT_TRUE(RunLoopWithoutPaintUntil([&] { return HasFebruaryMarks(first_); }, 45000))
      << std::hex << MarksOf(first_).holidays << " " << MarksOf(first_).schedules;
  EXPECT_TRUE(HasUpdateRegion(first_.window)) << "the chip is not repainted";
}

// GetModuleFileNameA of the library's imports failing once during a reload.
struct NameFault {
  const char* what;
  DWORD result;  // 0, or the buffer's size: the name cut short
  DWORD error;
};
const NameFault* g_nameFault;
int g_nameFaultsLeft;
decltype(&GetModuleFileNameA) g_realGetModuleFileNameA;

DWORD WINAPI FailingGetModuleFileNameA(HMODULE module, LPSTR name, DWORD size) {
  DWORD n = g_realGetModuleFileNameA(module, name, size);
  if (g_nameFaultsLeft == 0) return n;
  --g_nameFaultsLeft;
  SetLastError(g_nameFault->error);
  return g_nameFault->result ? size : 0;
}

TEST_F(SampleChips, LibraryFolderThatCannotBeNamedDuringAReloadHealsItself) {
  const NameFault kFaults[] = {{"fails", 0, ERROR_INVALID_HANDLE}, {"cut short", 1, ERROR_INSUFFICIENT_BUFFER}};
  for (const NameFault& fault : kFaults) {
    ASSERT_TRUE(Load());
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &first_));
    ASSERT_TRUE(HasFebruaryMarks(first_));
    g_nameFault = &fault;
    g_nameFaultsLeft = 1;
    void* real = nullptr;
    ASSERT_EQ(1, PatchImport(api_.module, "GetModuleFileNameA", reinterpret_cast<void*>(&FailingGetModuleFileNameA),
                             &real));
    g_realGetModuleFileNameA = reinterpret_cast<decltype(&GetModuleFileNameA)>(real);
    Menu(kReloadCnf);
    void* hook = nullptr;
    PatchImport(api_.module, "GetModuleFileNameA", real, &hook);
    EXPECT_EQ(0, g_nameFaultsLeft) << fault.what;
    Sleep(1200);
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &second_));
    EXPECT_TRUE(HasFebruaryMarks(second_)) << fault.what;
    Unload();
  }
}

// Two chips of February 1998; what is done on the first reaches the second,
// which gets no Update: its marks, its tip and a repaint.
TEST_F(SampleChips, ReloadOnOneChipReachesEveryChip) {
  TempFolder other;
  ASSERT_TRUE(other.Write("TODAY.CNF", "schedule=no\r\n"));
  const std::string holidays = lib_.Read("HOLIDAY.TBL");
  const std::string cnf = lib_.Read("TODAY.CNF");
  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<void()> act;
    Marks expected;
  };
  const Case kCases[] = {
      {"tables reloaded", [&] { lib_.Write("HOLIDAY.TBL", holidays + "2/3 1998 Testday\r\n"); },
       [&] { Menu(kReloadTables); }, {kFebruaryHolidays | 1u << 3, kValentine}},
      {"TODAY.CNF reloaded", [&] { lib_.Write("TODAY.CNF", "schedule=no\r\n"); }, [&] { Menu(kReloadCnf); },
       {kFebruaryHolidays, 0}},
      {"another TODAY.CNF chosen", [] {},
       [&] {
         EXPECT_TRUE(DialogDriver::Run(kTodayCnfEdit, [&] { api_.DrawExConfigure(first_.window); },
                                       {[&](HWND dialog) {
                                         SetDlgItemTextA(dialog, kTodayCnfEdit, other.File("TODAY.CNF").c_str());
                                         PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                                         return true;
                                       }}));
       },
       {kFebruaryHolidays, 0}},
  };
  for (const Case& c : kCases) {
    lib_.Write("HOLIDAY.TBL", holidays);
    lib_.Write("TODAY.CNF", cnf);
    lib_.WriteUserSetting("TodayCnf", nullptr);
    ASSERT_TRUE(Load());
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &first_));
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &second_));
    ASSERT_TRUE(HasFebruaryMarks(second_)) << c.what;
    ShowPainted(first_.window, 400);
    ShowPainted(second_.window, 40);
    c.change();
    c.act();
    Marks m = MarksOf(second_);
    EXPECT_EQ(c.expected.holidays, m.holidays) << c.what;
    EXPECT_EQ(c.expected.schedules, m.schedules & kValentine) << c.what;
    EXPECT_TRUE(HasUpdateRegion(second_.window)) << c.what << ": the second chip is not repainted";
    if (c.expected.holidays & (1u << 3)) {
      int w = 0, h = 0;
      std::vector<uint8_t> rgb;
      const char* why = "";
      EXPECT_TRUE(HoverAndCapture(&second_, HoverDate{1998, 2, 3}, 40, 40, &w, &h, &rgb, &why)) << why;
    }
    Unload();
  }
}

}  // namespace
