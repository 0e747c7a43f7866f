// The chip settings dialog and the payload: colours, schedule style, view flags
// and blocks of other lengths.
#include "chipsettings_fixture.h"

using namespace chipsettingstest;

namespace {

TEST_F(ChipSettings, ShortPayloadIsReplacedByDefaultsWhicheverButtonEndsIt) {
  Bytes older(13, 0);
  const COLORREF green = 0x00FF00;
  memcpy(&older[0], &green, 4);
  older[12] = 0x01;
  for (bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    EditHelperParams p = {};
    p.memoHandle = Block("", 1);
    p.saveHandle = Block(older.data(), older.size());
    p.saveLength = 13;
    DialogDriver driver(IDC_CHIP_YEAR);
    driver.Add([](HWND d) {
      EXPECT_EQ(kCyan, SelectedColor(d, IDC_CHIP_TODAYCOLOR));
      EXPECT_EQ(kRed, SelectedColor(d, IDC_CHIP_SUNDAYCOLOR));
      EXPECT_EQ(kBlue, SelectedColor(d, IDC_CHIP_SATURDAYCOLOR));
      EXPECT_EQ(kRed, SelectedColor(d, IDC_CHIP_HOLIDAYCOLOR));
      EXPECT_EQ(1, SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_GETCURSEL, 0, 0));
      EXPECT_FALSE(Checked(d, IDC_CHIP_TWOMONTHS));
    });
    driver.Add(ok ? PressOk : PressCancel);
    EXPECT_EQ(ok ? 1 : 2, RunWith(&driver, &p));
    EXPECT_EQ(24u, p.saveLength);
    EXPECT_EQ(kDefaultPayload, Contents(p.saveHandle));
    FreeBlocks(&p);
  }
}

TEST_F(ChipSettings, PayloadBlockSmallerThanItsLengthIsReplaced) {
  // The length says 24, the block holds 8 bytes: nothing may be written past them.
  Bytes eight(8, 0x55);
  SetPayload(eight, 24);
  SetMemo("");
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  EXPECT_EQ(24u, params_.saveLength);
  EXPECT_EQ(kDefaultPayload, Contents(params_.saveHandle));
}

TEST_F(ChipSettings, LongerPayloadKeepsItsLengthAndTail) {
  Bytes thirty = Payload(kCyan, kRed, kBlue, kRed, 1, 0);
  thirty.resize(30, 0x77);
  SetPayload(thirty);
  SetMemo("2000/1");
  driver_.Add([](HWND d) { SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_SETCURSEL, 0, 0); });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  Bytes expected = thirty;
  expected[20] = 0;
  EXPECT_EQ(30u, params_.saveLength);
  EXPECT_EQ(expected, Contents(params_.saveHandle));
}

TEST_F(ChipSettings, StoredColoursAndStyleAreSelectedAndKeptByOk) {
  // Black is the first palette entry, so the last item of each list.
  const Bytes stored = Payload(0x00FF00, 0x000000, 0x808080, 0xFFFFFF, 3, 0x03);
  SetPayload(stored);
  SetMemo("2001/4");
  driver_.Add([](HWND d) {
    EXPECT_EQ(0x00FF00u, SelectedColor(d, IDC_CHIP_TODAYCOLOR));
    EXPECT_EQ(0x000000u, SelectedColor(d, IDC_CHIP_SUNDAYCOLOR));
    LRESULT count = SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETCOUNT, 0, 0);
    EXPECT_EQ(count - 1, SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0x808080u, SelectedColor(d, IDC_CHIP_SATURDAYCOLOR));
    EXPECT_EQ(0xFFFFFFu, SelectedColor(d, IDC_CHIP_HOLIDAYCOLOR));
    EXPECT_EQ(3, SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(Checked(d, IDC_CHIP_TWOMONTHS) && Checked(d, IDC_CHIP_ENGLISH));
    EXPECT_FALSE(Checked(d, IDC_CHIP_STACKED));
    EXPECT_TRUE(Enabled(d, IDC_CHIP_STACKED));
  });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  EXPECT_EQ(stored, Contents(params_.saveHandle));
}

TEST_F(ChipSettings, ListsOfferTheDefaultPaletteLastEntryFirst) {
  SetPayload(kDefaultPayload);
  driver_.Add([](HWND d) {
    // The system's twenty static colours, white (its last entry) first.
    const COLORREF kOffered[] = {
        RGB(255, 255, 255), RGB(0, 255, 255), RGB(255, 0, 255), RGB(0, 0, 255),     RGB(255, 255, 0),
        RGB(0, 255, 0),     RGB(255, 0, 0),   RGB(128, 128, 128), RGB(160, 160, 164), RGB(255, 251, 240),
        RGB(166, 202, 240), RGB(192, 220, 192), RGB(192, 192, 192), RGB(0, 128, 128), RGB(128, 0, 128),
        RGB(0, 0, 128),     RGB(128, 128, 0), RGB(0, 128, 0),     RGB(128, 0, 0),     RGB(0, 0, 0),
    };
    const int n = sizeof kOffered / sizeof kOffered[0];
    for (int id : {IDC_CHIP_TODAYCOLOR, IDC_CHIP_SUNDAYCOLOR, IDC_CHIP_SATURDAYCOLOR, IDC_CHIP_HOLIDAYCOLOR}) {
      ASSERT_EQ(n, SendDlgItemMessageA(d, id, CB_GETCOUNT, 0, 0)) << "combo " << id;
      for (int i = 0; i < n; ++i)
        EXPECT_EQ(kOffered[i], (COLORREF)SendDlgItemMessageA(d, id, CB_GETITEMDATA, i, 0))
            << "combo " << id << " item " << i;
    }
    const char* names[] = {"\x95\x81\x92\xCA", "\x91\xBE\x8E\x9A", "\x8E\xCE\x91\xCC", "\x89\xBA\x90\xFC"};
    ASSERT_EQ(4, SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < 4; ++i) {
      char name[32] = "";
      SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_GETLBTEXT, i, (LPARAM)name);
      EXPECT_STREQ(names[i], name) << "style " << i;
    }
  });
  driver_.Add(PressCancel);
  EXPECT_EQ(2, Run());
}

TEST_F(ChipSettings, ColourOutsideThePaletteIsOfferedAndKept) {
  const Bytes stored = Payload(0x123456, kRed, 0x02FF0000, kRed, 1, 0);
  SetPayload(stored);
  driver_.Add([](HWND d) {
    LRESULT plain = SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETCOUNT, 0, 0);
    EXPECT_EQ(plain + 1, SendDlgItemMessageA(d, IDC_CHIP_TODAYCOLOR, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(plain + 1, SendDlgItemMessageA(d, IDC_CHIP_SATURDAYCOLOR, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0x123456u, SelectedColor(d, IDC_CHIP_TODAYCOLOR));
    EXPECT_EQ(0x02FF0000u, SelectedColor(d, IDC_CHIP_SATURDAYCOLOR));
  });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  EXPECT_EQ(stored, Contents(params_.saveHandle));
}

TEST_F(ChipSettings, UserChoicesAreWrittenFieldByField) {
  SetPayload(kDefaultPayload);
  SetMemo("1998/2");
  driver_.Add([](HWND d) {
    // Item 0 is the last palette entry (white).
    SendDlgItemMessageA(d, IDC_CHIP_TODAYCOLOR, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(d, IDC_CHIP_HOLIDAYCOLOR, CB_SETCURSEL, (WPARAM)-1, 0);
    SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_SETCURSEL, 2, 0);
    DialogDriver::Click(d, IDC_CHIP_TWOMONTHS);
    EXPECT_TRUE(Enabled(d, IDC_CHIP_STACKED));
    DialogDriver::Click(d, IDC_CHIP_STACKED);
    DialogDriver::Click(d, IDC_CHIP_THISMONTH);
    EXPECT_FALSE(Enabled(d, IDC_CHIP_YEAR));
  });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  EXPECT_EQ(Payload(0xFFFFFF, kRed, kBlue, kRed, 2, 0xF1), Contents(params_.saveHandle))
      << "no holiday selection stores the Sunday colour";
  EXPECT_EQ("Tarnevel", MemoText(params_.memoHandle));
}

TEST_F(ChipSettings, ViewFlags) {
  const int kTwo = IDC_CHIP_TWOMONTHS, kStacked = IDC_CHIP_STACKED, kEnglish = IDC_CHIP_ENGLISH;
  struct Case {
    uint8_t stored;
    std::vector<int> clicks;
    uint8_t written;
  } cases[] = {
      {0x10, {}, 0xF0},                          // one stacking bit shows checked, OK sets all four
      {0x0D, {}, 0x0D},                          // bits 2 and 3 survive
      {0xF3, {kTwo}, 0xF2},                      // unchecking 1205 disables 1206 but keeps its check
      {0x0C, {kTwo, kStacked, kEnglish}, 0xFF},  // each check sets its bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "viewFlags 0x" << std::hex << (int)c.stored);
    const Bytes stored = Payload(kCyan, kRed, kBlue, kRed, 1, c.stored);
    EditHelperParams p = {};
    p.saveHandle = Block(stored.data(), stored.size());
    p.saveLength = 24;
    DialogDriver driver(IDC_CHIP_YEAR);
    driver.Add([&](HWND d) {
      EXPECT_EQ((c.stored & 0xF0) != 0, Checked(d, kStacked));
      EXPECT_EQ((c.stored & 0x01) != 0, Enabled(d, kStacked));
      EXPECT_EQ((c.stored & 0x02) != 0, Checked(d, kEnglish));
      for (int id : c.clicks) DialogDriver::Click(d, id);
      if (c.clicks.size() == 1 && c.clicks[0] == kTwo) {
        EXPECT_FALSE(Enabled(d, kStacked));
        EXPECT_TRUE(Checked(d, kStacked));
      }
    });
    driver.Add(PressOk);
    EXPECT_EQ(1, RunWith(&driver, &p));
    EXPECT_EQ(c.written, Contents(p.saveHandle)[21]);
    FreeBlocks(&p);
  }
}

TEST_F(ChipSettings, UnknownStyleLeavesNoSelectionAndOkStoresBold) {
  SetPayload(Payload(kCyan, kRed, kBlue, kRed, 5, 0));
  driver_.Add([](HWND d) { EXPECT_EQ(CB_ERR, SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_GETCURSEL, 0, 0)); });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  EXPECT_EQ(1, Contents(params_.saveHandle)[20]);
}

TEST_F(ChipSettings, SwatchesAreDrawnInTheItemColour) {
  SetPayload(Payload(0x00FF00, kRed, kBlue, kRed, 1, 0));
  driver_.Add([](HWND d) {
    HWND combo = GetDlgItem(d, IDC_CHIP_TODAYCOLOR);
    LONG units = GetDialogBaseUnits();
    EXPECT_EQ(HIWORD(units) * 7 / 8, SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    RECT r;
    GetClientRect(combo, &r);
    HDC dc = GetDC(combo);
    COLORREF seen = GetPixel(dc, 6, r.bottom / 2);
    ReleaseDC(combo, dc);
    EXPECT_EQ(0x00FF00u, seen) << "the selection field shows the swatch";
  });
  driver_.Add(PressCancel);
  EXPECT_EQ(2, Run());
}

}  // namespace
