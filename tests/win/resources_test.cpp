// The library's resources as the code page 932 system sees them.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "plugin/globals.h"
#include "resources/resource.h"

namespace {

std::string Load(UINT id) {
  char buf[256];
  int n = LoadStringA(g_hInstance, id, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

TEST(Resources, ShiftJisStrings) {
  ASSERT_EQ(932u, GetACP()) << "tests run with the Japanese code page";
  struct Case {
    UINT id;
    const char* bytes;
  } cases[] = {
      {IDS_PRODUCT, "\x83\x5E\x83\x8B\x83\x6A\x83\x94\x83\x46\x83\x8B"},
      {IDS_SUBSTITUTE_HOLIDAY, "\x90\x55\x91\xD6\x8B\x78\x93\xFA"},
      {IDS_TITLE_JAPANESE, "%d \x94\x4E  %d \x8C\x8E"},
      {301, "\x93\xFA"},
      {307, "\x93\x79"},
      {IDS_STYLE_BOLD, "\x91\xBE\x8E\x9A"},
      {IDS_DEFAULT_EDITOR, "NOTEPAD.EXE"},
      {IDS_SECTION_TODAYTEMP, "$TodayTemp"},
      {IDS_KEY_SCHEDULEFILE, "ScheduleFile%d"},
      {212, "December %d"},
      {314, "Sat"},
  };
  for (const Case& c : cases) EXPECT_EQ(std::string(c.bytes), Load(c.id)) << "string " << c.id;
  EXPECT_EQ(59u, Load(IDS_FILTER_CNF).size()) << "the filter fills its 60-byte buffer";
  EXPECT_EQ(8u, Load(IDS_SUBSTITUTE_HOLIDAY).size());
  for (UINT id : {10u, 11u, 20u, 21u, 22u, 23u, 24u, 25u, 27u, 28u, 29u, 51u, 52u, 53u, 54u, 61u, 62u, 63u, 64u,
                  201u, 308u, 1001u, 1003u, 1004u}) {
    EXPECT_FALSE(Load(id).empty()) << "string " << id;
  }
}

TEST(Resources, EquinoxTableIsJapaneseRcdataOf300Bytes) {
  HRSRC res = FindResourceExA(g_hInstance, RT_RCDATA, MAKEINTRESOURCEA(IDR_EQUINOX),
                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(nullptr, res);
  EXPECT_EQ(300u, SizeofResource(g_hInstance, res));
  const unsigned char* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(g_hInstance, res)));
  ASSERT_NE(nullptr, bytes);
  EXPECT_EQ(0x11, bytes[0]);     // 1851
  EXPECT_EQ(0xFF, bytes[241]);   // 2092
  EXPECT_EQ(0x10, bytes[299]);   // 2150
}

TEST(Resources, ChipMenu) {
  HMENU menu = LoadMenuA(g_hInstance, MAKEINTRESOURCEA(IDM_CHIP));
  ASSERT_NE(nullptr, menu);
  ASSERT_EQ(1, GetMenuItemCount(menu));
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  const int ids[] = {IDM_TWO_MONTHS, IDM_STACKED, 0, -1, IDM_RELOAD_TABLES, IDM_RELOAD_CNF, 0, IDM_HELP, IDM_ABOUT};
  ASSERT_EQ(9, GetMenuItemCount(popup));
  for (int i = 0; i < 9; ++i) EXPECT_EQ((UINT)ids[i], GetMenuItemID(popup, i)) << "position " << i;
  HMENU files = GetSubMenu(popup, 3);
  ASSERT_NE(nullptr, files);
  ASSERT_EQ(1, GetMenuItemCount(files));
  EXPECT_EQ((UINT)IDM_EDIT_CNF, GetMenuItemID(files, 0));
  char text[64];
  GetMenuStringA(files, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("TODAY.CNF", text);
  GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("2\x83\x96\x8C\x8E\x95\x5C\x8E\xA6(&T)", text);
  DestroyMenu(menu);
}

}  // namespace
