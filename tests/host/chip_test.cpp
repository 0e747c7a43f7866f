// The built Tarnivel.dxl driven through its exports, as a host drives it.
#include "chip_fixture.h"

using namespace hostchiptest;

namespace {

TEST_F(HostChipTest, SpecInfoBytes) {
  unsigned char spec[72];
  memset(spec, 0xCC, sizeof spec);
  ASSERT_EQ(1, api_.DrawExSpecification(spec));
  int32_t v;
  const int32_t expected[][2] = {{0, 256}, {4, 256}, {60, 101}, {64, 2}, {68, 158}};
  for (const auto& e : expected) {
    memcpy(&v, spec + e[0], 4);
    EXPECT_EQ(e[1], v) << "offset " << e[0];
  }
  const char name[] = "\x83\x5E\x83\x8B\x83\x6A\x83\x94\x83\x46\x83\x8B";  // the product name in cp932
  EXPECT_EQ(0, memcmp(spec + 8, name, sizeof name)) << std::string((char*)spec + 8);
  EXPECT_EQ(0xCC, spec[58]);
  EXPECT_EQ(0xCC, spec[59]);
}

TEST_F(HostChipTest, MemoTextNamesTheMonth) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char current[16];
  wsprintfA(current, "%04d/%02d", now.wYear, now.wMonth);
  struct Case {
    const char* memo;
    int year, month, today;
  } cases[] = {
      {"2000/2", 2000, 2, 0},
      {"2000-02", 2000, 2, 0},
      {"1998/2/15 extra", 1998, 2, 0},
      {current, now.wYear, now.wMonth, 0},  // a fixed month is never marked
      {"", now.wYear, now.wMonth, now.wDay},
      {"Tarnevel", now.wYear, now.wMonth, now.wDay},
      {"10000/1", now.wYear, now.wMonth, now.wDay},
      {"1999/13", now.wYear, now.wMonth, now.wDay},
      {"0/5", now.wYear, now.wMonth, now.wDay},
      {"1999/0", now.wYear, now.wMonth, now.wDay},
  };
  for (const Case& c : cases) {
    HostChipPeek peek = Create(c.memo);
    EXPECT_EQ(c.year, peek.year) << "memo " << c.memo;
    EXPECT_EQ(c.month, peek.month) << "memo " << c.memo;
    EXPECT_EQ(c.today, peek.today) << "memo " << c.memo;
    HostDestroy(&api_, &chip_);
  }
}

TEST_F(HostChipTest, NullRecordFieldsAreEmptyTextAndNoSavedData) {
  Create("2000/2");
  HostChipRecord record;
  memset(&record, 0, sizeof record);
  record.textColor = 0x123456;
  EXPECT_EQ(0, api_.Update(chip_.chip, chip_.window, &record));
  HostChipPeek p;
  ASSERT_TRUE(HostPeekChip(chip_.chip, &p));
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(now.wYear, p.year);
  EXPECT_EQ(now.wDay, p.today);
  EXPECT_EQ(0xFFFF00u, p.todayColor);
  EXPECT_EQ(0x123456u, p.textColor);
  EXPECT_EQ(0, api_.Update(chip_.chip, chip_.window, nullptr));
}

TEST_F(HostChipTest, HandlesThatCannotBeLockedFailQuietly) {
  HGLOBAL discarded = GlobalAlloc(GMEM_MOVEABLE | GMEM_DISCARDABLE, 64);
  ASSERT_NE(nullptr, discarded);
  discarded = GlobalReAlloc(discarded, 0, GMEM_MOVEABLE);
  ASSERT_NE(nullptr, discarded);
  ASSERT_EQ(nullptr, GlobalLock(discarded)) << "a discarded block cannot be locked";

  HostChipRecord record;
  memset(&record, 0, sizeof record);
  for (HGLOBAL bad : {(HGLOBAL) nullptr, discarded}) {
    EXPECT_EQ(0, api_.Update(bad, chip_.window, &record));
    HGLOBAL block = (HGLOBAL)0x1234;
    EXPECT_EQ(0, api_.GetSaveData(bad, chip_.window, &block));
    EXPECT_EQ((HGLOBAL)0x1234, block) << "the host's block is not touched";
    if (api_.CalcDefaultRect) {
      SIZE size = {-1, -1};
      EXPECT_EQ(0, api_.CalcDefaultRect(bad, chip_.window, &size));
      EXPECT_EQ(-1, size.cx);
    }
    if (api_.DrawChip) {
      HDC dc = GetDC(chip_.window);
      EXPECT_EQ(0, api_.DrawChip(bad, chip_.window, dc));
      ReleaseDC(chip_.window, dc);
    }
    if (api_.MouseClik) {
      POINT pt = {10, 40};
      EXPECT_EQ(0, api_.MouseClik(bad, chip_.window, &pt));
    }
  }
  EXPECT_EQ(1, api_.UnInitializeChip(nullptr, chip_.window));
  EXPECT_EQ(0, api_.InitializeChip(nullptr, chip_.window, &record)) << "no place for the handle";
  GlobalFree(discarded);
}

TEST_F(HostChipTest, SmallEntryPoints) {
  char buf[4] = {'x', 'y', 'z', 'w'};
  EXPECT_EQ(0, api_.GetMemoString(nullptr, buf, 0));
  EXPECT_EQ('x', buf[0]) << "size 0 writes nothing";
  EXPECT_EQ(0, api_.GetMemoString(nullptr, buf, -1));
  EXPECT_EQ('x', buf[0]);
  EXPECT_EQ(0, api_.GetMemoString(nullptr, nullptr, 4));
  EXPECT_EQ(0, api_.GetMemoString(nullptr, buf, 4));
  EXPECT_EQ('\0', buf[0]);
  EXPECT_EQ('y', buf[1]);
  EXPECT_EQ(-1, api_.GetTimerSpan());
  EXPECT_EQ(-1, api_.ExchangeSendString());
  EXPECT_EQ(0, api_.DoTimer());
  api_.Zoom();
}

}  // namespace
