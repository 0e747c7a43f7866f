// The built Tarnivel.dxl driven through its exports, as a host drives it.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/loader.h"
#include "tests/common/tempfolder.h"

namespace {

std::string UserName() {
  char user[64];
  DWORD size = sizeof user;
  if (!GetUserNameA(user, &size) || strlen(user) >= 32) return "Default";
  return user;
}

std::vector<unsigned char> Block(uint32_t length, std::vector<unsigned char> payload) {
  std::vector<unsigned char> b(4 + payload.size());
  memcpy(b.data(), &length, 4);
  if (!payload.empty()) memcpy(b.data() + 4, payload.data(), payload.size());
  return b;
}

void PutColor(std::vector<unsigned char>* p, size_t at, COLORREF c) { memcpy(p->data() + at, &c, 4); }

// A 24-byte payload in the current layout.
std::vector<unsigned char> CurrentPayload(COLORREF today, COLORREF sunday, COLORREF saturday, COLORREF holiday,
                                          uint8_t style, uint8_t view) {
  std::vector<unsigned char> p(24, 0);
  PutColor(&p, 4, today);
  PutColor(&p, 8, sunday);
  PutColor(&p, 12, saturday);
  PutColor(&p, 16, holiday);
  p[20] = style;
  p[21] = view;
  return p;
}

class HostChipTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lib_ = new LibraryCopy();
    // Plain months: no scheduler data, no tips.
    WritePrivateProfileStringA(UserName().c_str(), "Flags", "0", lib_->SettingsFile().c_str());
    ASSERT_TRUE(LoadDxl(lib_->library().c_str(), &api_)) << lib_->library() << ": error " << GetLastError();
  }
  static void TearDownTestSuite() {
    UnloadDxl(&api_);
    delete lib_;
    lib_ = nullptr;
  }

  void SetUp() override { HostChipInit(&chip_, CreateChipWindow(160, 120, false)); }
  void TearDown() override {
    if (chip_.chip) HostDestroy(&api_, &chip_);
    HostChipFree(&chip_);
  }

  HostChipPeek Create(const char* memo) {
    HostChipSetMemo(&chip_, memo);
    EXPECT_EQ(1, HostCreate(&api_, &chip_)) << "memo " << memo;
    HostChipPeek peek;
    memset(&peek, 0, sizeof peek);
    EXPECT_TRUE(HostPeekChip(chip_.chip, &peek));
    return peek;
  }

  HostChipPeek UpdateWith(const std::vector<unsigned char>& block) {
    HostChipSetSaveData(&chip_, block.data(), block.size());
    EXPECT_EQ(0, HostUpdate(&api_, &chip_));
    HostChipPeek peek;
    memset(&peek, 0, sizeof peek);
    EXPECT_TRUE(HostPeekChip(chip_.chip, &peek));
    return peek;
  }

  static LibraryCopy* lib_;
  static DxlApi api_;
  HostChip chip_;
};

LibraryCopy* HostChipTest::lib_;
DxlApi HostChipTest::api_;

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

TEST_F(HostChipTest, SaveDataLayouts) {
  Create("2000/2");
  HostChipPeek p = UpdateWith(Block(0, {}));
  EXPECT_EQ(0xFFFF00u, p.todayColor);
  EXPECT_EQ(0x0000FFu, p.sundayColor);
  EXPECT_EQ(0xFF0000u, p.saturdayColor);
  EXPECT_EQ(0x0000FFu, p.holidayColor);
  EXPECT_EQ(1, p.scheduleStyle);
  EXPECT_EQ(0, p.viewFlags);

  p = UpdateWith(Block(24, CurrentPayload(0x010203, 0x040506, 0x070809, 0x0A0B0C, 3, 0xF3)));
  EXPECT_EQ(0x010203u, p.todayColor);
  EXPECT_EQ(0x040506u, p.sundayColor);
  EXPECT_EQ(0x070809u, p.saturdayColor);
  EXPECT_EQ(0x0A0B0Cu, p.holidayColor);
  EXPECT_EQ(3, p.scheduleStyle);
  EXPECT_EQ(0xF3, p.viewFlags);

  // Any unknown length: defaults, the view kept.
  for (uint32_t length : {20u, 12u, 14u, 23u}) {
    std::vector<unsigned char> payload = CurrentPayload(1, 2, 3, 4, 0, 0x01);
    p = UpdateWith(Block(length, payload));
    EXPECT_EQ(0xFFFF00u, p.todayColor) << "length " << length;
    EXPECT_EQ(1, p.scheduleStyle) << "length " << length;
    EXPECT_EQ(0xF3, p.viewFlags) << "length " << length;
  }

  // Longer than the current layout reads as the current layout.
  std::vector<unsigned char> longer = CurrentPayload(0x111111, 0x222222, 0x333333, 0x444444, 2, 0x01);
  longer.resize(30, 0xEE);
  for (uint32_t length : {30u, 0x80000000u}) {  // compared unsigned
    p = UpdateWith(Block(length, longer));
    EXPECT_EQ(0x111111u, p.todayColor) << "length " << length;
    EXPECT_EQ(0x444444u, p.holidayColor) << "length " << length;
    EXPECT_EQ(2, p.scheduleStyle) << "length " << length;
    EXPECT_EQ(0x01, p.viewFlags) << "length " << length;
  }

  // The older layout: Sunday's colour for holidays, bold schedule days.
  std::vector<unsigned char> older(13, 0);
  PutColor(&older, 0, 0x00AA00);
  PutColor(&older, 4, 0x0000BB);
  PutColor(&older, 8, 0xCC0000);
  older[12] = 0x03;
  p = UpdateWith(Block(13, older));
  EXPECT_EQ(0x00AA00u, p.todayColor);
  EXPECT_EQ(0x0000BBu, p.sundayColor);
  EXPECT_EQ(0xCC0000u, p.saturdayColor);
  EXPECT_EQ(0x0000BBu, p.holidayColor);
  EXPECT_EQ(1, p.scheduleStyle);
  EXPECT_EQ(0x03, p.viewFlags);
}

TEST_F(HostChipTest, CutSavedDataIsFilledUpWithZeros) {
  Create("2000/2");
  struct Case {
    std::vector<unsigned char> block;
    size_t expectedSize;
  } cases[] = {
      {Block(24, {}), 28},
      {Block(24, {0x11, 0x22}), 28},
      {Block(13, {0x11}), 17},
      {Block(30, {}), 28},
      {{24, 0}, 28},  // even the length word cut
      {Block(0, {}), 4},
      {Block(24, std::vector<unsigned char>(30, 0)), 34},
  };
  for (const Case& c : cases) {
    HostChipPeek p = UpdateWith(c.block);
    std::vector<unsigned char> held = HostChipSaveBytes(&chip_);
    std::vector<unsigned char> expected = c.block;
    expected.resize(c.expectedSize, 0);
    EXPECT_EQ(HexBytes(expected), HexBytes(held)) << "given " << HexBytes(c.block);
    if (c.expectedSize == 28) {
      EXPECT_EQ(0u, p.holidayColor) << "given " << HexBytes(c.block);
      EXPECT_EQ(0, p.viewFlags) << "given " << HexBytes(c.block);
    }
  }
}

TEST_F(HostChipTest, GetSaveDataWritesCurrentLayout) {
  Create("2000/2");
  UpdateWith(Block(24, CurrentPayload(0x010203, 0x040506, 0x070809, 0x0A0B0C, 2, 0xF1)));
  GlobalFree(chip_.saveData);
  chip_.saveData = nullptr;
  ASSERT_EQ(1, HostGetSaveData(&api_, &chip_));
  ASSERT_NE(nullptr, chip_.saveData);
  std::vector<unsigned char> bytes = HostChipSaveBytes(&chip_);
  std::vector<unsigned char> expected = Block(24, CurrentPayload(0x010203, 0x040506, 0x070809, 0x0A0B0C, 2, 0xF1));
  expected.resize(32, 0);
  EXPECT_EQ(HexBytes(expected), HexBytes(bytes));

  // What was written reads back the same.
  HostChipPeek p = UpdateWith(bytes);
  EXPECT_EQ(0x010203u, p.todayColor);
  EXPECT_EQ(0x0A0B0Cu, p.holidayColor);
  EXPECT_EQ(2, p.scheduleStyle);
  EXPECT_EQ(0xF1, p.viewFlags);
}

TEST_F(HostChipTest, GetSaveDataKeepsA32ByteBlock) {
  Create("2000/2");
  std::vector<unsigned char> block(32, 0xAB);
  HostChipSetSaveData(&chip_, block.data(), block.size());
  HGLOBAL before = chip_.saveData;
  ASSERT_EQ(1, HostGetSaveData(&api_, &chip_));
  EXPECT_EQ(before, chip_.saveData) << "a 32-byte block is reused in place";
  std::vector<unsigned char> bytes = HostChipSaveBytes(&chip_);
  ASSERT_EQ(32u, bytes.size());
  for (int i : {4, 5, 6, 7, 26, 27, 28, 29, 30, 31}) EXPECT_EQ(0xAB, bytes[i]) << "offset " << i;
  EXPECT_EQ(24, bytes[0]);
  EXPECT_EQ(0, bytes[1]);
}

TEST_F(HostChipTest, GetSaveDataReplacesOtherBlocks) {
  Create("2000/2");
  for (size_t size : {4u, 16u, 28u, 33u, 64u}) {
    std::vector<unsigned char> block(size, 0xAB);
    HostChipSetSaveData(&chip_, block.data(), block.size());
    ASSERT_EQ(1, HostGetSaveData(&api_, &chip_)) << "size " << size;
    std::vector<unsigned char> bytes = HostChipSaveBytes(&chip_);
    ASSERT_EQ(32u, bytes.size()) << "size " << size;
    EXPECT_EQ(0, bytes[4]) << "a new block is zero-filled, size " << size;
    EXPECT_EQ(0, bytes[31]) << "size " << size;
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
  std::string user = UserName();
  WritePrivateProfileStringA(user.c_str(), "Version", nullptr, ini.c_str());
  WritePrivateProfileStringA(user.c_str(), "Flags", "0", ini.c_str());
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

}  // namespace

namespace {

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

}  // namespace

namespace {

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
