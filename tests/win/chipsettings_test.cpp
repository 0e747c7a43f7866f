// The chip settings dialog run for real through EditHelper: the month it opens
// on and what OK writes to the memo block.
#include "chipsettings_fixture.h"

using namespace chipsettingstest;

namespace {

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

// The host's text may end with its block: no terminator, and digits in the
// memory just past the block.
TEST_F(ChipSettings, MemoWithoutTerminatorIsReadToTheEndOfItsBlock) {
  params_.memoHandle = Block("1999/5777777777777777", 22);
  ASSERT_NE(nullptr, params_.memoHandle);
  params_.memoHandle = GlobalReAlloc(params_.memoHandle, 6, 0);
  ASSERT_EQ(6u, GlobalSize(params_.memoHandle));
  SetPayload(kDefaultPayload);
  driver_.Add([](HWND d) {
    EXPECT_TRUE(Checked(d, IDC_CHIP_GIVENMONTH));
    EXPECT_EQ("1999", DialogDriver::Text(d, IDC_CHIP_YEAR));
    EXPECT_EQ("5", DialogDriver::Text(d, IDC_CHIP_MONTH));
  });
  driver_.Add(PressOk);
  ASSERT_EQ(1, Run());
  EXPECT_EQ(0, memcmp("1999/05\0", Contents(params_.memoHandle).data(), 8)) << "the block is enlarged";
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

TEST_F(ChipSettings, GivenMonthIsWrittenAsFourAndTwoDigits) {
  const struct {
    const char* year;
    const char* month;
    const char* written;
  } cases[] = {{"5", "3", "0005/03"}, {"9999", "1", "9999/01"}, {"2000", "12", "2000/12"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("year ") + c.year + " month " + c.month);
    EditHelperParams p = {};
    p.memoHandle = Block("Tarnevel", 9);
    DialogDriver driver(IDC_CHIP_YEAR);
    driver.Add([&c](HWND d) {
      SetFields(d, c.year, c.month);
      EXPECT_TRUE(Enabled(d, IDC_CHIP_YEAR) && Enabled(d, IDC_CHIP_MONTH)) << "choosing a given month enables them";
    });
    driver.Add(PressOk);
    EXPECT_EQ(1, RunWith(&driver, &p));
    EXPECT_EQ(c.written, MemoText(p.memoHandle));
    FreeBlocks(&p);
  }
}

TEST_F(ChipSettings, NullRecordBeepsAndEndsBeforeShowing) {
  EXPECT_EQ(2, Run(nullptr));
  EXPECT_FALSE(driver_.sawDialog());
}

}  // namespace
