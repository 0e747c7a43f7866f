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
  const struct {
    UINT id;  // 0 separator, -1 popup
    const char* text;
  } items[] = {
      {IDM_TWO_MONTHS, "2\x83\x96\x8C\x8E\x95\x5C\x8E\xA6(&T)"},
      {IDM_STACKED, "\x8F\x63\x82\xC9\x95\xC0\x82\xD7\x82\xE9(&V)"},
      {0, ""},
      {(UINT)-1, "\x83t\x83@\x83\x43\x83\x8B\x82\xCC\x95\xD2\x8FW(&E)"},
      {IDM_RELOAD_TABLES, "\x93o\x98^\x83t\x83@\x83\x43\x83\x8B\x82\xCC\x8D\xC4\x93\xC7\x82\xDD\x8D\x9E\x82\xDD(&R)"},
      {IDM_RELOAD_CNF,
       "\x8A\xC2\x8B\xAB\x93o\x98^\x83t\x83@\x83\x43\x83\x8B\x82\xCC\x8D\xC4\x93\xC7\x82\xDD\x8D\x9E\x82\xDD(&C)"},
      {0, ""},
      {IDM_HELP, "\x83w\x83\x8B\x83v(&H)"},
      {IDM_ABOUT, "\x83^\x83\x8B\x83j\x83\x94\x83\x46\x83\x8B\x82\xC9\x82\xC2\x82\xA2\x82\xC4(&A)..."},
  };
  ASSERT_EQ(9, GetMenuItemCount(popup));
  char text[64];
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(items[i].id, GetMenuItemID(popup, i)) << "position " << i;
    GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(items[i].text, text) << "position " << i;
  }
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("Tarnivel", text);
  HMENU files = GetSubMenu(popup, 3);
  ASSERT_NE(nullptr, files);
  ASSERT_EQ(1, GetMenuItemCount(files));
  EXPECT_EQ((UINT)IDM_EDIT_CNF, GetMenuItemID(files, 0));
  GetMenuStringA(files, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ("TODAY.CNF", text);
  DestroyMenu(menu);
}

// Icons 10 and 11: one 32 x 32 picture in 16 colours each.
TEST(Resources, IconsOf32PixelsIn16Colours) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
  };
#pragma pack(pop)
  for (UINT id : {IDI_CALENDAR, IDI_PICTURE}) {
    HRSRC group = FindResourceA(g_hInstance, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    ASSERT_NE(nullptr, group) << "icon " << id;
    const WORD* dir = static_cast<const WORD*>(LockResource(LoadResource(g_hInstance, group)));
    ASSERT_NE(nullptr, dir);
    ASSERT_EQ(1, dir[2]) << "icon " << id << ": pictures";
    const GroupEntry* e = reinterpret_cast<const GroupEntry*>(dir + 3);
    EXPECT_EQ(32, e->width) << "icon " << id;
    EXPECT_EQ(32, e->height) << "icon " << id;
    EXPECT_EQ(16, e->colorCount) << "icon " << id;
    EXPECT_EQ(4, e->bitCount) << "icon " << id;
    HRSRC image = FindResourceA(g_hInstance, MAKEINTRESOURCEA(e->id), RT_ICON);
    ASSERT_NE(nullptr, image);
    const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(g_hInstance, image)));
    EXPECT_EQ(32, h->biWidth);
    EXPECT_EQ(64, h->biHeight) << "picture and mask";
    EXPECT_EQ(4, h->biBitCount);
  }
}

}  // namespace
