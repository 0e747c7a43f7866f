// The chip's context menu as a host receives it, and its commands.
#include <string.h>

#include <string>
#include <vector>

#include "../native/marks_lists.h"
#include "month/dates.h"
#include "plugin/exports.h"
#include "tests/win/menu_support.h"
#include "today/todayconfig.h"

namespace {

struct Item {
  UINT id;
  std::string text;
};

// The items of the file-editing submenu.
std::vector<Item> FileItems(HMENU popup) {
  std::vector<Item> items;
  HMENU files = GetSubMenu(popup, 3);
  for (int i = 0; files && i < GetMenuItemCount(files); ++i) {
    char text[64] = "";
    GetMenuStringA(files, i, text, sizeof text, MF_BYPOSITION);
    items.push_back({GetMenuItemID(files, i), text});
  }
  return items;
}

std::string Show(const std::vector<Item>& items) {
  std::string s;
  for (const Item& i : items) s += " " + std::to_string(i.id) + "=" + i.text;
  return s;
}

bool Checked(HMENU m, UINT id) { return (GetMenuState(m, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
bool Grayed(HMENU m, UINT id) { return (GetMenuState(m, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

// Live menus of this process, counted through the USER handle table: a
// handle's low word is its table index, and a handle without its upper
// (generation) word names whatever object holds that index.
int CountLiveMenus() {
  int n = 0;
  for (UINT_PTR h = 0x20; h < 0x10000; h += 2) n += IsMenu((HMENU)h) != 0;
  return n;
}

using ChipMenu = MenuChip;

TEST_F(ChipMenu, ChecksAndGraysOfEveryViewAndFlags) {
  WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, "C:\\TODAY\\TODAY.CNF");
  const struct {
    uint8_t view;
    bool twoChecked, stackChecked, stackGrayed;
  } views[] = {
      {0x00, false, false, true},  {0x02, false, false, true}, {0x01, true, false, false},
      {0x03, true, false, false},  {0xF1, true, true, false},  {0x10, false, true, true},
  };
  for (int flags : {0, 1, 2, 3}) {
    WriteSettingInt(kUserSection, IDS_KEY_FLAGS, flags);
    bool todayOff = !(flags & 1);
    for (const auto& v : views) {
      SetView(1998, 5, v.view);
      HMENU m = GetDrawExMenu(chip_);
      ASSERT_NE(nullptr, m);
      std::string at = "flags " + std::to_string(flags) + " view " + std::to_string(v.view);
      EXPECT_EQ(v.twoChecked, Checked(m, IDM_TWO_MONTHS)) << at;
      EXPECT_FALSE(Grayed(m, IDM_TWO_MONTHS)) << at;
      EXPECT_EQ(v.stackChecked, Checked(m, IDM_STACKED)) << at;
      EXPECT_EQ(v.stackGrayed, Grayed(m, IDM_STACKED)) << at;
      for (UINT id : {IDM_RELOAD_TABLES, IDM_RELOAD_CNF, IDM_EDIT_CNF})
        EXPECT_EQ(todayOff, Grayed(m, id)) << at << " item " << id;
      for (UINT id : {IDM_HELP, IDM_ABOUT}) EXPECT_EQ(0u, GetMenuState(m, id, MF_BYCOMMAND)) << at << " item " << id;
      DestroyMenu(m);
    }
  }
}

TEST_F(ChipMenu, ScheduleFilesListedByTheirNamesUpToTheFirstGap) {
  SetScheduleFile(1, "C:\\TODAY\\MEMO.TBL");
  SetScheduleFile(2, "NOPATH.TBL");               // no backslash: no item, the list goes on
  SetScheduleFile(3, "D:\\\x95\x5C\\\x95\x5C.TBL");  // 0x5C inside a double-byte character
  SetScheduleFile(4, "E:\\DATA\\WORK.TBL");
  SetScheduleFile(6, "E:\\DATA\\AFTER_GAP.TBL");
  HMENU m = GetDrawExMenu(chip_);
  ASSERT_NE(nullptr, m);
  std::vector<Item> items = FileItems(m);
  EXPECT_EQ(" 10007=TODAY.CNF 10008=MEMO.TBL 10010=\x95\x5C.TBL 10011=WORK.TBL", Show(items));
  EXPECT_TRUE(Grayed(m, IDM_EDIT_CNF)) << "no TodayCnf";
  EXPECT_FALSE(Grayed(m, 10008)) << "schedule items are listed all the same";
  DestroyMenu(m);

  // A new request starts from the resource again.
  SetScheduleFile(3, nullptr);
  WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, "C:\\TODAY\\TODAY.CNF");
  m = GetDrawExMenu(chip_);
  EXPECT_EQ(" 10007=TODAY.CNF 10008=MEMO.TBL", Show(FileItems(m)));
  EXPECT_FALSE(Grayed(m, IDM_EDIT_CNF));
  DestroyMenu(m);

  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagPopupTips);
  m = GetDrawExMenu(chip_);
  EXPECT_EQ(" 10007=TODAY.CNF", Show(FileItems(m))) << "without TODAY use no file is listed";
  DestroyMenu(m);
}

TEST_F(ChipMenu, SixteenScheduleFilesAtMost) {
  for (int n = 1; n <= 17; ++n) SetScheduleFile(n, ("C:\\T\\F" + std::to_string(n) + ".TBL").c_str());
  HMENU m = GetDrawExMenu(chip_);
  std::vector<Item> items = FileItems(m);
  ASSERT_EQ(17u, items.size());
  EXPECT_EQ(10023u, items.back().id);
  EXPECT_EQ("F16.TBL", items.back().text);
  DestroyMenu(m);
}

TEST_F(ChipMenu, HostOwnsExactlyThePopup) {
  // The counter sees menus: a loaded bar and its popup are two.
  int before = CountLiveMenus();
  HMENU bar = LoadMenuA(g_hInstance, MAKEINTRESOURCEA(IDM_CHIP));
  ASSERT_NE(nullptr, bar);
  EXPECT_EQ(before + 3, CountLiveMenus()) << "bar, popup and file submenu";
  DestroyMenu(bar);
  ASSERT_EQ(before, CountLiveMenus());

  SetScheduleFile(1, "C:\\TODAY\\MEMO.TBL");
  for (int i = 0; i < 1000; ++i) {
    HMENU m = GetDrawExMenu(chip_);
    ASSERT_NE(nullptr, m) << "request " << i;
    if (i == 0) {
      EXPECT_EQ(before + 2, CountLiveMenus()) << "the popup and its file submenu, no bar";
      EXPECT_EQ(9, GetMenuItemCount(m));
    }
    DestroyMenu(m);  // as the host does
  }
  EXPECT_EQ(before, CountLiveMenus()) << "menus left behind by 1000 requests";
}

TEST_F(ChipMenu, StateThatCannotBeLocked) {
  EXPECT_EQ(nullptr, GetDrawExMenu(nullptr));
  // The action is skipped, not the result.
  EXPECT_EQ(2, DoDrawExMenu(nullptr, window_, IDM_TWO_MONTHS));
  EXPECT_EQ(2, DoDrawExMenu(nullptr, window_, IDM_STACKED));
  EXPECT_EQ(1, DoDrawExMenu(nullptr, window_, IDM_RELOAD_TABLES));
  EXPECT_EQ(1, DoDrawExMenu(nullptr, window_, IDM_RELOAD_CNF));
}

TEST_F(ChipMenu, LayoutCommands) {
  SetView(1998, 5, 0);
  EXPECT_EQ(2, DoDrawExMenu(chip_, window_, IDM_STACKED)) << "one month";
  EXPECT_EQ(0xF0, State().viewFlags) << "the stacking bits flip even in one-month view";
  EXPECT_EQ(2, DoDrawExMenu(chip_, window_, IDM_TWO_MONTHS));
  EXPECT_EQ(0xF1, State().viewFlags);
  EXPECT_EQ(2, DoDrawExMenu(chip_, window_, IDM_STACKED));
  EXPECT_EQ(0x01, State().viewFlags);
  SetView(1998, 5, 0x12);
  EXPECT_EQ(2, DoDrawExMenu(chip_, window_, IDM_STACKED));
  EXPECT_EQ(0xE2, State().viewFlags) << "the four bits flip together, the English bit stays";

  SetView(1998, 5, 0x01);
  for (UINT other : {0u, 9999u, 10002u, 10024u, 0xE000u}) {
    EXPECT_EQ(0, DoDrawExMenu(chip_, window_, other)) << "command " << other;
    EXPECT_EQ(0x01, State().viewFlags) << "command " << other;
  }
}

// TODAY files in the scratch folder, found through the table path.
class MenuToday : public MenuChip {
 protected:
  void SetUp() override {
    MenuChip::SetUp();
    WriteFile("A.TBL", "*/*/20 A\r\n");
    WriteFile("B.TBL", "*/*/9 B\r\n");
    cnf_ = WriteFile("TODAY.CNF", Cnf("A.TBL"));
    WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagUseToday);
    WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, cnf_.c_str());
    ASSERT_EQ(1, LoadTodayConfig());
  }
  std::string Cnf(const char* scheduleFile) {
    std::string forward = dir_;
    for (char& c : forward)
      if (c == '\\') c = '/';
    return "$common\r\nschedule=yes\r\nschedule_file1=" + std::string(scheduleFile) + "\r\ntable_path=" + forward +
           "\r\n";
  }
  std::string cnf_;
};

TEST_F(MenuToday, TwoMonthsComputesTheSecondMonth) {
  SetView(1998, 5, 0);
  EXPECT_EQ(1, DoDrawExMenu(chip_, window_, IDM_RELOAD_TABLES));
  ChipState s = State();
  EXPECT_EQ(Bits({20}), s.scheduleMask[0]);
  EXPECT_EQ(kMaskUnknown, s.scheduleMask[1]);
  EXPECT_EQ(2, DoDrawExMenu(chip_, window_, IDM_TWO_MONTHS));
  s = State();
  EXPECT_EQ(Bits({20}), s.scheduleMask[1]) << "June";
  EXPECT_NE(kMaskUnknown, s.holidayMask[1]);
  EXPECT_EQ(1998, s.year);
  EXPECT_EQ(5, s.month);
}

TEST_F(MenuToday, ReloadsRecomputeAndReadTheChangedConfiguration) {
  SetView(1998, 5, 0x01);
  EXPECT_EQ(1, DoDrawExMenu(chip_, window_, IDM_RELOAD_TABLES));
  EXPECT_EQ(Bits({20}), State().scheduleMask[1]);

  WriteFile("A.TBL", "*/*/21 A\r\n");
  WriteFile("TODAY.CNF", Cnf("B.TBL"));
  EXPECT_EQ(1, DoDrawExMenu(chip_, window_, IDM_RELOAD_TABLES));
  ChipState s = State();
  EXPECT_EQ(Bits({21}), s.scheduleMask[0]) << "the tables are read again, TODAY.CNF is not";
  EXPECT_EQ(Bits({21}), s.scheduleMask[1]);

  EXPECT_EQ(1, DoDrawExMenu(chip_, window_, IDM_RELOAD_CNF));
  s = State();
  EXPECT_EQ(Bits({9}), s.scheduleMask[0]) << "TODAY.CNF now names B.TBL";
  EXPECT_EQ(Bits({9}), s.scheduleMask[1]);
  HMENU m = GetDrawExMenu(chip_);
  EXPECT_EQ(" 10007=TODAY.CNF 10008=B.TBL", Show(FileItems(m)));
  DestroyMenu(m);
}

}  // namespace
