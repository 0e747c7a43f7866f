// The scheduler's data coming back by itself, and reloads reaching every
// chip, with no Update or hover where a host would not call one.
#include <functional>

#include "soak/iat.h"
#include "tests/common/dialog_driver.h"
#include "tests/host/reload_fixture.h"

namespace {

// Shown and painted: what is invalid later was made so since.
void ShowPainted(HWND window) {
  SetWindowPos(window, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  ValidateRect(window, nullptr);
}

bool Invalid(HWND window) {
  RECT rect;
  return GetUpdateRect(window, &rect, FALSE) != 0;
}

// The host's message loop with paint messages left queued, until done().
bool LoopUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD start = GetTickCount(); !done(); Sleep(20)) {
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
           PeekMessageA(&msg, nullptr, WM_PAINT + 1, 0xFFFF, PM_REMOVE))
      DispatchMessageA(&msg);
  }
  return true;
}

// TODAY.CNF named in a folder renamed away while the library loads, then
// back; the search would find another one beside the library.
TEST_F(Reload, TodayCnfOutOfReachHealsItself) {
  const std::vector<uint32_t> masks = Masks();
  const std::string share = lib_.File("share"), cnf = share + "\\TODAY.CNF";
  ASSERT_TRUE(CreateDirectoryA(share.c_str(), nullptr) && MoveFileA(lib_.File("TODAY.CNF").c_str(), cnf.c_str()));
  ASSERT_TRUE(lib_.Write("TODAY.CNF", "schedule=no\r\n") && lib_.WriteUserSetting("TodayCnf", cnf.c_str()));
  for (bool tips : {true, false}) {
    lib_.WriteUserSetting("Flags", tips ? "3" : "1");
    ASSERT_TRUE(MoveFileA(share.c_str(), (share + "~").c_str()));
    Restart();
    EXPECT_EQ(std::vector<uint32_t>({0, 0}), Masks()) << tips;
    ASSERT_TRUE(MoveFileA((share + "~").c_str(), share.c_str()));
    ShowPainted(chip_.window);
    if (tips) {
      Sleep(1500);
      HostUpdate(&api_, &chip_);
    }
    EXPECT_TRUE(LoopUntil([&] { return Masks() == masks; }, 45000)) << "tips " << tips;
    EXPECT_TRUE(Invalid(chip_.window)) << "tips " << tips;
  }
}

int g_nameFailures;
decltype(&GetModuleFileNameA) g_getModuleFileNameA;

DWORD WINAPI GetModuleFileNameFailing(HMODULE module, LPSTR name, DWORD size) {
  if (g_nameFailures == 0) return g_getModuleFileNameA(module, name, size);
  --g_nameFailures;
  SetLastError(ERROR_INVALID_HANDLE);
  return 0;
}

TEST_F(Reload, LibraryFolderUnnamedDuringAReloadHealsItself) {
  SetCurrentDirectoryA(cwd_.c_str());  // the tables lie beside the library alone
  Restart();
  const std::vector<uint32_t> masks = Masks();
  void* real = nullptr;
  void* failing = reinterpret_cast<void*>(&GetModuleFileNameFailing);
  g_nameFailures = 1;
  ASSERT_EQ(1, PatchImport(api_.module, "GetModuleFileNameA", failing, &real));
  g_getModuleFileNameA = reinterpret_cast<decltype(&GetModuleFileNameA)>(real);
  ReloadCnf();
  PatchImport(api_.module, "GetModuleFileNameA", real, &real);
  ASSERT_EQ(0, g_nameFailures) << "the reload did not look beside the library";
  Sleep(1200);
  HostDestroy(&api_, &chip_);
  HostChipFree(&chip_);
  ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &chip_));
  EXPECT_EQ(masks, Masks());
}

// Reloads and a new TODAY.CNF chosen on another chip reach this one, which
// gets no Update: its marks and a repaint.
TEST_F(Reload, ReloadOnAnotherChipReachesThisOne) {
  TempFolder other;
  ASSERT_TRUE(other.Write("TODAY.CNF", "schedule_file1=SCHEDULE.TBL\r\n"));
  HostChip acting = HostChip();
  ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &acting));
  const uint32_t holidays = Masks()[0] | 1u << 3;  // and 3 February
  auto check = [&](const char* what, bool schedules) {
    EXPECT_EQ(holidays, Masks()[0]) << what;
    EXPECT_EQ(schedules, Masks()[1] != 0) << what;
    EXPECT_TRUE(Invalid(chip_.window)) << what << ": not repainted";
    ShowPainted(chip_.window);
  };
  ShowPainted(chip_.window);
  lib_.Write("HOLIDAY.TBL", lib_.Read("HOLIDAY.TBL") + "2/3 1998 X\r\n");
  api_.DoDrawExMenu(acting.chip, acting.window, 10003);
  check("tables reloaded", true);
  lib_.Write("TODAY.CNF", "schedule=no\r\n");
  api_.DoDrawExMenu(acting.chip, acting.window, 10004);
  check("TODAY.CNF reloaded", false);
  DialogDriver::Run(1103, [&] { api_.DrawExConfigure(acting.window); }, {[&](HWND d) {
                      SetDlgItemTextA(d, 1103, other.File("TODAY.CNF").c_str());
                      return PostMessageA(d, WM_COMMAND, IDOK, 0) != 0;
                    }});
  check("another TODAY.CNF chosen", true);
  HostDestroy(&api_, &acting);
  HostChipFree(&acting);
}

}  // namespace
