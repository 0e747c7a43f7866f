// The built library as a file: loaded by its full path, its settings file
// beside it, its version block.
#include "chip_fixture.h"

using namespace hostchiptest;

namespace {

TEST(HostLoader, PeekReadsOnlyBlocksHoldingAWholeState) {
  // dxlhost peeks at the chips of any library; a smaller state must not be read past its end.
  const size_t sizes[] = {0, 8, sizeof(HostChipPeek) - 1, sizeof(HostChipPeek)};
  for (size_t size : sizes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    ASSERT_NE(nullptr, block) << "size " << size;
    if (size >= 2) {
      uint16_t year = 1998;
      memcpy(GlobalLock(block), &year, sizeof year);
      GlobalUnlock(block);
    }
    HostChipPeek peek;
    memset(&peek, 0xCC, sizeof peek);
    bool expected = size >= sizeof(HostChipPeek);
    EXPECT_EQ(expected, HostPeekChip(block, &peek)) << "block of " << size << " bytes";
    EXPECT_EQ(expected ? 1998 : 0xCCCC, peek.year) << "block of " << size << " bytes";
    GlobalFree(block);
  }
  HostChipPeek peek;
  EXPECT_FALSE(HostPeekChip(nullptr, &peek));
}

TEST(HostLibrary, SettingsFileBesideTheLibrary) {
  LibraryCopy lib;
  std::string ini = lib.SettingsFile();
  std::string user = UserSection();
  lib.WriteUserSetting("Version", nullptr);
  lib.WriteUserSetting("Flags", "0");
  WritePrivateProfileStringA("$TodayTemp", "HolidayTbl", "C:\\stale.tbl", ini.c_str());

  DxlApi api;
  ASSERT_TRUE(LoadDxl(lib.library().c_str(), &api)) << lib.library();
  EXPECT_STRCASEEQ(lib.library().c_str(), api.file) << "the copy itself is loaded";
  EXPECT_EQ(2, (int)GetPrivateProfileIntA(user.c_str(), "Version", -1, ini.c_str()));
  UnloadDxl(&api);

  char buf[64];
  EXPECT_EQ(0u, GetPrivateProfileSectionA("$TodayTemp", buf, sizeof buf, ini.c_str()))
      << "the cache section is gone after unload";
  EXPECT_EQ(0, (int)GetPrivateProfileIntA(user.c_str(), "Flags", -1, ini.c_str()));
}

TEST(HostLibrary, VersionBlock) {
  std::string dll = ProgramDirectory() + "Tarnivel.dxl";
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(dll.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(dll.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(MAKELONG(0, 2), fixed->dwFileVersionMS);
  EXPECT_EQ(MAKELONG(0, 1320), fixed->dwFileVersionLS);
  char* text = nullptr;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\041104B0\\ProductVersion",
                             reinterpret_cast<void**>(&text), &len));
  EXPECT_STREQ("2.0b", text);
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\041104B0\\FileVersion",
                             reinterpret_cast<void**>(&text), &len));
  EXPECT_STREQ("2.0.1320", text);
}

// A name without a folder is the file in the current folder, never the
// library beside the host program that the system's search would find first.
TEST(HostLibrary, LoadedByItsFullPath) {
  LibraryCopy lib;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(lib.path().c_str()));
  DxlApi api;
  bool loaded = LoadDxl("Tarnivel.dxl", &api);
  SetCurrentDirectoryA(previous);
  ASSERT_TRUE(loaded);
  EXPECT_STRCASEEQ(lib.library().c_str(), api.file);
  UnloadDxl(&api);
  EXPECT_FALSE(LoadDxl(lib.File("missing.dxl").c_str(), &api));
}

}  // namespace
