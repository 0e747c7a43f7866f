// The chip settings dialog run for real through EditHelper, driven from its
// own thread; what it leaves in the host's memo block and payload is checked.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/chipsettings_win.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "tests/common/dialog_driver.h"

namespace {

const COLORREF kCyan = 0xFFFF00, kRed = 0x0000FF, kBlue = 0xFF0000;
typedef std::vector<uint8_t> Bytes;

Bytes Payload(COLORREF today, COLORREF sunday, COLORREF saturday, COLORREF holiday, uint8_t style, uint8_t view) {
  Bytes p(24, 0);
  memcpy(&p[4], &today, 4);
  memcpy(&p[8], &sunday, 4);
  memcpy(&p[12], &saturday, 4);
  memcpy(&p[16], &holiday, 4);
  p[20] = style;
  p[21] = view;
  return p;
}

const Bytes kDefaultPayload = Payload(kCyan, kRed, kBlue, kRed, 1, 0);

HGLOBAL Block(const void* data, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (h && size) {
    memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
  }
  return h;
}

Bytes Contents(HGLOBAL h) {
  Bytes b;
  if (!h) return b;
  const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(h));
  if (p) b.assign(p, p + GlobalSize(h));
  GlobalUnlock(h);
  return b;
}

std::string MemoText(HGLOBAL h) {
  Bytes b = Contents(h);
  return std::string(b.begin(), std::find(b.begin(), b.end(), 0));
}

std::string Load(UINT id) {
  char buf[256];
  int n = LoadStringA(g_hInstance, id, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

COLORREF SelectedColor(HWND dialog, int id) {
  LRESULT i = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  return i == CB_ERR ? 0xDEADBEEF : (COLORREF)SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, i, 0);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

// The host's side of one EditHelper call: its record and blocks.
class ChipSettings : public testing::Test {
 protected:
  void TearDown() override { FreeBlocks(&params_); }

  void SetMemo(const std::string& text) { params_.memoHandle = Block(text.c_str(), text.size() + 1); }
  void SetPayload(const Bytes& payload, uint32_t length) {
    params_.saveHandle = Block(payload.data(), payload.size());
    params_.saveLength = length;
  }
  void SetPayload(const Bytes& payload) { SetPayload(payload, (uint32_t)payload.size()); }

  static int RunWith(DialogDriver* driver, EditHelperParams* params) {
    driver->Start();
    int result = EditHelper(nullptr, params);
    driver->Stop();
    EXPECT_FALSE(driver->timedOut()) << "the dialog had to be closed by the safety timer";
    return result;
  }
  int Run(EditHelperParams* params) { return RunWith(&driver_, params); }
  int Run() { return Run(&params_); }
  static void FreeBlocks(EditHelperParams* p) {
    if (p->memoHandle) GlobalFree(p->memoHandle);
    if (p->saveHandle) GlobalFree(p->saveHandle);
  }

  static void PressOk(HWND dialog) { DialogDriver::Click(dialog, IDOK); }
  static void PressCancel(HWND dialog) { DialogDriver::Click(dialog, IDCANCEL); }
  static void SetFields(HWND dialog, const char* year, const char* month) {
    DialogDriver::Click(dialog, IDC_CHIP_GIVENMONTH);
    SetDlgItemTextA(dialog, IDC_CHIP_YEAR, year);
    SetDlgItemTextA(dialog, IDC_CHIP_MONTH, month);
  }

  EditHelperParams params_ = {};
  DialogDriver driver_{IDC_CHIP_YEAR};
};

TEST_F(ChipSettings, DatedMemoOpensTheGivenMonthAndOkWritesItBack) {
  SetMemo("1999/5\r\nmore text");
  SetPayload(kDefaultPayload);
  driver_.Add([](HWND d) {
    EXPECT_TRUE(Checked(d, IDC_CHIP_GIVENMONTH));
    EXPECT_FALSE(Checked(d, IDC_CHIP_THISMONTH));
    EXPECT_EQ("1999", DialogDriver::Text(d, IDC_CHIP_YEAR));
    EXPECT_EQ("5", DialogDriver::Text(d, IDC_CHIP_MONTH));
    EXPECT_TRUE(Enabled(d, IDC_CHIP_YEAR) && Enabled(d, IDC_CHIP_MONTH));
  });
  driver_.Add(PressOk);
  HGLOBAL memo = params_.memoHandle;
  ASSERT_EQ(1, Run());
  EXPECT_EQ(memo, params_.memoHandle) << "a block large enough is written in place";
  EXPECT_EQ(0, memcmp("1999/05\0", Contents(params_.memoHandle).data(), 8));
  EXPECT_EQ(kDefaultPayload, Contents(params_.saveHandle));
  EXPECT_EQ(24u, params_.saveLength);
  EXPECT_TRUE(driver_.boxes().empty());
}

TEST_F(ChipSettings, UndatedMemoOpensThisMonthAndOkWritesTheMarker) {
  const char* const memos[] = {"", "Tarnevel", "1999/", "memo 1999/5", "0/5"};
  for (const char* memo : memos) {
    SCOPED_TRACE(std::string("memo \"") + memo + "\"");
    EditHelperParams p = {};
    p.memoHandle = Block(memo, strlen(memo) + 1);
    DialogDriver driver(IDC_CHIP_YEAR);
    driver.Add([](HWND d) {
      EXPECT_TRUE(Checked(d, IDC_CHIP_THISMONTH));
      EXPECT_FALSE(Enabled(d, IDC_CHIP_YEAR) || Enabled(d, IDC_CHIP_MONTH));
      EXPECT_EQ("", DialogDriver::Text(d, IDC_CHIP_YEAR));
      EXPECT_EQ("", DialogDriver::Text(d, IDC_CHIP_MONTH));
    });
    driver.Add(PressOk);
    EXPECT_EQ(1, RunWith(&driver, &p));
    EXPECT_GE(GlobalSize(p.memoHandle), 9u) << "the block is enlarged for the marker";
    EXPECT_EQ(0, memcmp("Tarnevel\0", Contents(p.memoHandle).data(), 9));
    FreeBlocks(&p);
  }
}

TEST_F(ChipSettings, MissingBlocksAreAllocated) {
  params_.saveLength = 24;  // but no block
  driver_.Add([](HWND d) { SetFields(d, "2026", "12"); });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  ASSERT_NE(nullptr, params_.memoHandle);
  EXPECT_EQ("2026/12", MemoText(params_.memoHandle));
  EXPECT_EQ(24u, params_.saveLength);
  EXPECT_EQ(kDefaultPayload, Contents(params_.saveHandle));
}

TEST_F(ChipSettings, RefusedYearOrMonthKeepsTheDialogOpenAndWritesNothing) {
  struct Case {
    const char* year;
    const char* month;
    UINT message;
    int field;
  };
  static const Case cases[] = {
      {"0", "5", IDS_BAD_YEAR, IDC_CHIP_YEAR},       {"", "5", IDS_BAD_YEAR, IDC_CHIP_YEAR},
      {"10000", "5", IDS_BAD_YEAR, IDC_CHIP_YEAR},   {"0", "13", IDS_BAD_YEAR, IDC_CHIP_YEAR},
      {"1999", "", IDS_BAD_MONTH, IDC_CHIP_MONTH},   {"1999", "13", IDS_BAD_MONTH, IDC_CHIP_MONTH},
  };
  const Bytes stored = Payload(0x00FF00, kRed, kBlue, kRed, 2, 0x01);
  SetMemo("1998/2");
  SetPayload(stored);
  driver_.Add([](HWND d) {
    // Other settings changed too: none of them may be written either.
    DialogDriver::Click(d, IDC_CHIP_ENGLISH);
    SendDlgItemMessageA(d, IDC_CHIP_SCHEDULESTYLE, CB_SETCURSEL, 3, 0);
  });
  for (const Case& c : cases) {
    driver_.Add([&c](HWND d) {
      SetFields(d, c.year, c.month);
      PressOk(d);
    });
    driver_.Add([&c](HWND d) {
      SCOPED_TRACE(std::string("year \"") + c.year + "\" month \"" + c.month + "\"");
      HWND field = GetDlgItem(d, c.field);
      EXPECT_EQ(field, GetFocus()) << "focus on the field to correct";
      DWORD from = 1, to = 0;
      SendMessageA(field, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
      EXPECT_EQ(0u, from);
      EXPECT_EQ(GetWindowTextLengthA(field), (int)to) << "its whole text selected";
    });
  }
  driver_.Add(PressCancel);
  EXPECT_EQ(2, Run());
  EXPECT_EQ(2 + 2 * (sizeof cases / sizeof cases[0]), driver_.stepsRun());
  ASSERT_EQ(sizeof cases / sizeof cases[0], driver_.boxes().size()) << "one message for each refused OK";
  for (size_t i = 0; i < driver_.boxes().size(); ++i)
    EXPECT_EQ(Load(cases[i].message), driver_.boxes()[i]) << "year \"" << cases[i].year << "\" month \"" << cases[i].month << "\"";
  EXPECT_EQ("1998/2", MemoText(params_.memoHandle));
  EXPECT_EQ(7u, GlobalSize(params_.memoHandle));
  EXPECT_EQ(stored, Contents(params_.saveHandle));
}

TEST_F(ChipSettings, YearAboveTheFieldLimitFromTheMemoIsShownAndRefused) {
  SetMemo("12345/1");
  SetPayload(kDefaultPayload);
  driver_.Add([](HWND d) { EXPECT_EQ("12345", DialogDriver::Text(d, IDC_CHIP_YEAR)); });
  driver_.Add(PressOk);
  driver_.Add(PressCancel);
  EXPECT_EQ(2, Run());
  ASSERT_EQ(1u, driver_.boxes().size());
  EXPECT_EQ(Load(IDS_BAD_YEAR), driver_.boxes()[0]);
  EXPECT_EQ("12345/1", MemoText(params_.memoHandle));
}

TEST_F(ChipSettings, SmallYearIsWrittenWithFourDigits) {
  SetMemo("Tarnevel");
  SetPayload(kDefaultPayload);
  driver_.Add([](HWND d) {
    SetFields(d, "5", "3");
    EXPECT_TRUE(Enabled(d, IDC_CHIP_YEAR) && Enabled(d, IDC_CHIP_MONTH)) << "choosing a given month enables the fields";
  });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  EXPECT_EQ("0005/03", MemoText(params_.memoHandle));
}

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
    HPALETTE palette = (HPALETTE)GetStockObject(DEFAULT_PALETTE);
    PALETTEENTRY entries[256];
    UINT n = GetPaletteEntries(palette, 0, 256, entries);
    ASSERT_GT(n, 0u);
    for (int id : {IDC_CHIP_TODAYCOLOR, IDC_CHIP_SUNDAYCOLOR, IDC_CHIP_SATURDAYCOLOR, IDC_CHIP_HOLIDAYCOLOR}) {
      ASSERT_EQ((LRESULT)n, SendDlgItemMessageA(d, id, CB_GETCOUNT, 0, 0)) << "combo " << id;
      for (UINT i = 0; i < n; ++i) {
        const PALETTEENTRY& e = entries[n - 1 - i];
        EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), (COLORREF)SendDlgItemMessageA(d, id, CB_GETITEMDATA, i, 0))
            << "combo " << id << " item " << i;
      }
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
  struct Case {
    uint8_t stored;
    bool uncheckTwoMonths;
    uint8_t written;
  } cases[] = {
      {0x10, false, 0xF0},  // one stacking bit shows checked, OK sets all four
      {0x0D, false, 0x0D},  // bits 2 and 3 survive
      {0xF3, true, 0xF2},   // unchecking 1205 disables 1206 but keeps its check
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "viewFlags 0x" << std::hex << (int)c.stored);
    const Bytes stored = Payload(kCyan, kRed, kBlue, kRed, 1, c.stored);
    EditHelperParams p = {};
    p.saveHandle = Block(stored.data(), stored.size());
    p.saveLength = 24;
    DialogDriver driver(IDC_CHIP_YEAR);
    driver.Add([&](HWND d) {
      EXPECT_EQ((c.stored & 0xF0) != 0, Checked(d, IDC_CHIP_STACKED));
      EXPECT_EQ((c.stored & 0x01) != 0, Enabled(d, IDC_CHIP_STACKED));
      if (c.uncheckTwoMonths) {
        DialogDriver::Click(d, IDC_CHIP_TWOMONTHS);
        EXPECT_FALSE(Enabled(d, IDC_CHIP_STACKED));
        EXPECT_TRUE(Checked(d, IDC_CHIP_STACKED));
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

TEST_F(ChipSettings, NullRecordBeepsAndEndsBeforeShowing) {
  EXPECT_EQ(2, Run(nullptr));
  EXPECT_FALSE(driver_.sawDialog());
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

// Dialog 102 as the template lays it out: every control in tab order.
class TemplateReader {
 public:
  explicit TemplateReader(const uint8_t* p) : p_(p) {}
  uint16_t Word() { uint16_t v; memcpy(&v, p_, 2); p_ += 2; return v; }
  uint32_t Dword() { uint32_t v; memcpy(&v, p_, 4); p_ += 4; return v; }
  uint8_t Byte() { return *p_++; }
  std::u16string String() {
    std::u16string s;
    for (uint16_t c; (c = Word()) != 0;) s += (char16_t)c;
    return s;
  }
  // A name or an ordinal: 0xFFFF and the ordinal, or a string.
  std::u16string NameOrOrdinal() {
    uint16_t first;
    memcpy(&first, p_, 2);
    if (first == 0xFFFF) {
      p_ += 2;
      return std::u16string(1, (char16_t)Word()) + u"#";
    }
    return String();
  }
  void AlignDword(const uint8_t* base) { p_ += (4 - (p_ - base) % 4) % 4; }
  void Skip(size_t n) { p_ += n; }
  const uint8_t* at() const { return p_; }

 private:
  const uint8_t* p_;
};

// A predefined class given by name is the same as its ordinal.
std::u16string ClassOrdinal(const std::u16string& cls) {
  const std::pair<const char16_t*, char16_t> known[] = {
      {u"button", 0x80}, {u"edit", 0x81}, {u"static", 0x82}, {u"combobox", 0x85}};
  std::u16string lower;
  for (char16_t c : cls) lower += (c >= u'A' && c <= u'Z') ? (char16_t)(c + 32) : c;
  for (const auto& k : known)
    if (lower == k.first) return std::u16string(1, k.second) + u"#";
  return cls;
}

TEST(ChipSettingsResource, Dialog102AsLaidOut) {
  HRSRC res = FindResourceExA(g_hInstance, RT_DIALOG, MAKEINTRESOURCEA(IDD_CHIPSETTINGS),
                              MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  ASSERT_NE(nullptr, res);
  const uint8_t* base = static_cast<const uint8_t*>(LockResource(LoadResource(g_hInstance, res)));
  ASSERT_NE(nullptr, base);
  TemplateReader r(base);
  ASSERT_EQ(1, r.Word());
  ASSERT_EQ(0xFFFF, r.Word()) << "an extended template";
  r.Dword();  // help id
  EXPECT_EQ((uint32_t)WS_EX_CONTEXTHELP, r.Dword());
  EXPECT_EQ((uint32_t)(WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), r.Dword());
  const uint16_t count = r.Word();
  uint16_t box[4];
  for (uint16_t& v : box) v = r.Word();
  EXPECT_TRUE(box[0] == 0 && box[1] == 0 && box[2] == 219 && box[3] == 148);
  EXPECT_EQ(u"", r.NameOrOrdinal()) << "no menu";
  EXPECT_EQ(u"", r.NameOrOrdinal()) << "the standard class";
  EXPECT_EQ(u"入力ヘルパー", r.String());
  EXPECT_EQ(9, r.Word()) << "points";
  r.Word();  // weight
  r.Byte();  // italic
  r.Byte();  // character set
  EXPECT_EQ(u"ＭＳ Ｐゴシック", r.String());

  const std::u16string button = u"\x80#", edit = u"\x81#", stat = u"\x82#", combo = u"\x85#";
  const DWORD colorCombo = CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL | WS_TABSTOP;
  struct Control {
    int id;
    std::u16string cls;
    std::u16string text;
    DWORD style;
    uint16_t at[4];
  } controls[] = {
      {-1, button, u"表示する年月", BS_GROUPBOX | WS_GROUP, {7, 7, 88, 60}},
      {IDC_CHIP_THISMONTH, button, u"今月(&M)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, {13, 20, 40, 10}},
      {IDC_CHIP_GIVENMONTH, button, u"指定(&O):", BS_AUTORADIOBUTTON, {13, 32, 40, 10}},
      {IDC_CHIP_YEAR, edit, u"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_GROUP | WS_TABSTOP, {24, 45, 22, 13}},
      {-1, stat, u"年", SS_LEFT | WS_GROUP, {49, 47, 12, 8}},
      {IDC_CHIP_MONTH, edit, u"", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, {62, 45, 14, 13}},
      {-1, stat, u"月", SS_LEFT | WS_GROUP, {79, 47, 12, 8}},
      {IDC_CHIP_TWOMONTHS, button, u"2ヶ月表示(&T)", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, {7, 74, 60, 10}},
      {IDC_CHIP_STACKED, button, u"縦に並べる(&V)", BS_AUTOCHECKBOX | WS_TABSTOP, {7, 87, 58, 10}},
      {IDC_CHIP_ENGLISH, button, u"月/曜日を英語で表示(&E)", BS_AUTOCHECKBOX | WS_TABSTOP, {7, 101, 90, 10}},
      {-1, button, u"色と書体", BS_GROUPBOX | WS_GROUP, {102, 7, 110, 107}},
      {-1, stat, u"今日の背景(&G):", SS_LEFT | WS_GROUP, {109, 22, 52, 8}},
      {IDC_CHIP_TODAYCOLOR, combo, u"", colorCombo, {164, 20, 40, 100}},
      {-1, stat, u"日曜日(&S):", SS_LEFT | WS_GROUP, {109, 40, 52, 8}},
      {IDC_CHIP_SUNDAYCOLOR, combo, u"", colorCombo, {164, 38, 40, 100}},
      {-1, stat, u"土曜日(&U):", SS_LEFT | WS_GROUP, {109, 58, 52, 8}},
      {IDC_CHIP_SATURDAYCOLOR, combo, u"", colorCombo, {164, 56, 40, 100}},
      {-1, stat, u"休日/祝日(&H):", SS_LEFT | WS_GROUP, {109, 76, 52, 8}},
      {IDC_CHIP_HOLIDAYCOLOR, combo, u"", colorCombo, {164, 74, 40, 100}},
      {-1, stat, u"スケジュール(&D):", SS_LEFT | WS_GROUP, {109, 94, 52, 8}},
      {IDC_CHIP_SCHEDULESTYLE, combo, u"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, {164, 92, 40, 80}},
      {IDOK, button, u"OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, {118, 126, 45, 14}},
      {IDCANCEL, button, u"キャンセル", BS_PUSHBUTTON | WS_TABSTOP, {167, 126, 45, 14}},
  };
  ASSERT_EQ(sizeof controls / sizeof controls[0], count);
  for (const Control& c : controls) {
    r.AlignDword(base);
    r.Dword();  // help id
    EXPECT_EQ(0u, r.Dword()) << "control " << c.id << ": extended style";
    EXPECT_EQ(c.style | WS_CHILD | WS_VISIBLE, r.Dword()) << "control " << c.id;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.at[i], r.Word()) << "control " << c.id << " position " << i;
    EXPECT_EQ(c.id, (int)r.Dword());
    EXPECT_TRUE(c.cls == ClassOrdinal(r.NameOrOrdinal())) << "control " << c.id << ": class";
    EXPECT_TRUE(c.text == r.NameOrOrdinal()) << "control " << c.id << ": text";
    r.Skip(r.Word());  // creation data
  }
}

}  // namespace
