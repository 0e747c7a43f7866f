// Calls of the library made to fail on purpose, through its import address
// table: what a host sees afterwards.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/paint.h"
#include "host/loader.h"
#include "soak/accounting.h"
#include "soak/faults.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

namespace {

class FaultTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    copy_ = new LibraryCopy(true);
    ASSERT_TRUE(copy_->ok());
    ASSERT_TRUE(LoadDxl(copy_->library().c_str(), &api_)) << "error " << GetLastError();
    ASSERT_GT(SoakInstallHooks(api_.module), 0);
  }
  static void TearDownTestSuite() {
    SoakSetFault(nullptr, 0);
    UnloadDxl(&api_);
    delete copy_;
    copy_ = nullptr;
  }

  void SetUp() override {
    SoakSetFault(nullptr, 0);
    SoakReset();
    memset(&chip_, 0, sizeof chip_);
  }
  void TearDown() override {
    SoakSetFault(nullptr, 0);
    if (chip_.chip) HostDestroy(&api_, &chip_);
    HostChipFree(&chip_);
    SoakSettle();
    const SoakCount* counts = SoakCounts();
    for (int k = 0; k < kSoakKindCount; ++k) EXPECT_EQ(0, counts[k].live) << SoakKindName(k) << " left live";
  }

  // February and March 1998: sample holidays and schedules in both.
  bool Make() {
    return CreateMemoChip(&api_, "1998/2", 2, &chip_);
  }

  HostChipPeek Peek() {
    HostChipPeek peek;
    memset(&peek, 0, sizeof peek);
    EXPECT_TRUE(HostPeekChip(chip_.chip, &peek));
    return peek;
  }

  static LibraryCopy* copy_;
  static DxlApi api_;
  HostChip chip_;
};

LibraryCopy* FaultTest::copy_ = nullptr;
DxlApi FaultTest::api_;

// The counts see what the library makes: a chip not yet freed is live, and
// painting creates and deletes its fonts and selections within the call.
TEST_F(FaultTest, CountsFollowTheLibrarysObjects) {
  ASSERT_TRUE(Make());
  SoakSettle();
  const SoakCount* counts = SoakCounts();
  EXPECT_EQ(1, counts[kSoakGlobalMovable].live);
  EXPECT_EQ(1, counts[kSoakWindow].live) << "the tag window";
  EXPECT_EQ(0, counts[kSoakGlobalLock].live);
  EXPECT_GT(counts[kSoakFile].created, 0);

  SoakCount before = counts[kSoakFont];
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(PaintChipPixels(&api_, &chip_, &w, &h, &rgb));
  EXPECT_GT(counts[kSoakFont].created, before.created);
  EXPECT_EQ(0, counts[kSoakFont].live);
  EXPECT_EQ(0, counts[kSoakSelection].live);
  EXPECT_GT(counts[kSoakSelection].peak, 0);

  HostDestroy(&api_, &chip_);
  HostChipFree(&chip_);
  SoakSettle();
  EXPECT_EQ(0, counts[kSoakGlobalMovable].live);
  EXPECT_EQ(0, counts[kSoakWindow].live) << "the tag window goes with the chip window";
}

// Only the Nth call fails, and only once.
TEST_F(FaultTest, OnlyTheNthCallFails) {
  ASSERT_TRUE(Make());
  ASSERT_TRUE(SoakSetFault("GlobalLock", 2));
  SIZE size = {0, 0};
  EXPECT_EQ(1, api_.CalcDefaultRect(chip_.chip, chip_.window, &size));
  EXPECT_FALSE(SoakFaultFired());
  EXPECT_EQ(0, api_.CalcDefaultRect(chip_.chip, chip_.window, &size));
  EXPECT_TRUE(SoakFaultFired());
  EXPECT_EQ(1, api_.CalcDefaultRect(chip_.chip, chip_.window, &size));
  EXPECT_EQ(3, SoakFaultCalls());
  EXPECT_FALSE(SoakSetFault("NoSuchCall", 1));
}

TEST_F(FaultTest, ChipWhoseStateCannotBeFilledIsNotCreated) {
  HostChipInit(&chip_, CreateChipWindow(160, 120, false));
  HostChipSetMemo(&chip_, "1998/2");
  ASSERT_TRUE(SoakSetFault("GlobalLock", 1));
  chip_.chip = reinterpret_cast<HGLOBAL>(1);
  EXPECT_EQ(0, HostCreate(&api_, &chip_));
  EXPECT_TRUE(SoakFaultFired());
  EXPECT_EQ(nullptr, chip_.chip) << "a chip that would show year 0 handed out";
  ASSERT_EQ(1u, SoakMessages().size());
  EXPECT_NE(std::string::npos, SoakMessages()[0].find("メモリが不足しています。")) << SoakMessages()[0];
  // The next try works.
  SoakSetFault(nullptr, 0);
  EXPECT_EQ(1, HostCreate(&api_, &chip_));
  EXPECT_EQ(1998, Peek().year);
}

TEST_F(FaultTest, SaveDataBlockThatCannotBeWrittenIsNotReported) {
  ASSERT_TRUE(Make());
  // No block yet: the library makes one, then cannot lock it.
  GlobalFree(chip_.saveData);
  chip_.saveData = nullptr;
  HGLOBAL chipHandle = chip_.chip;
  ASSERT_TRUE(SoakSetFault("GlobalLock", 2));  // the state, then the new block
  EXPECT_EQ(0, HostGetSaveData(&api_, &chip_));
  EXPECT_TRUE(SoakFaultFired());
  EXPECT_EQ(nullptr, chip_.saveData);
  EXPECT_EQ(chipHandle, chip_.chip);

  // A block of the host's that cannot be locked keeps its handle and contents.
  const unsigned char kept[32] = {24, 0, 0, 0, 0xAB};
  HostChipSetSaveData(&chip_, kept, sizeof kept);
  HGLOBAL hostBlock = chip_.saveData;
  ASSERT_TRUE(SoakSetFault("GlobalLock", 2));
  EXPECT_EQ(0, HostGetSaveData(&api_, &chip_));
  EXPECT_EQ(hostBlock, chip_.saveData);
  EXPECT_EQ(std::vector<unsigned char>(kept, kept + 32), HostChipSaveBytes(&chip_));

  SoakSetFault(nullptr, 0);
  EXPECT_EQ(1, HostGetSaveData(&api_, &chip_));
  EXPECT_EQ(24, HostChipSaveBytes(&chip_)[0]);
}

TEST_F(FaultTest, DefaultSizeNeedsTheFontsMeasure) {
  ASSERT_TRUE(Make());
  SIZE size = {-7, -7};
  ASSERT_TRUE(SoakSetFault("GetDC", 1));
  EXPECT_EQ(0, api_.CalcDefaultRect(chip_.chip, chip_.window, &size));
  EXPECT_TRUE(SoakFaultFired());
  EXPECT_EQ(-7, size.cx);
  EXPECT_EQ(-7, size.cy);
  SoakSetFault(nullptr, 0);
  EXPECT_EQ(1, api_.CalcDefaultRect(chip_.chip, chip_.window, &size));
  EXPECT_GT(size.cx, 100);
}

// A table that exists but cannot be opened or read leaves marks that are
// computed again at the next Update, even for the same months.
TEST_F(FaultTest, MarksFromAFailedReadAreComputedAgain) {
  ASSERT_TRUE(Make());
  const HostChipPeek fresh = Peek();
  ASSERT_NE(0u, fresh.holidayMask[0]);
  ASSERT_NE(0u, fresh.scheduleMask[0]);
  for (const char* call : {"ReadFile", "CreateFileA"}) {
    HostChipSetMemo(&chip_, "1998/1");
    HostUpdate(&api_, &chip_);
    HostChipSetMemo(&chip_, "1998/2");
    ASSERT_TRUE(SoakSetFault(call, 1));  // the holiday table
    HostUpdate(&api_, &chip_);
    ASSERT_TRUE(SoakFaultFired()) << call;
    EXPECT_NE(fresh.holidayMask[0], Peek().holidayMask[0]) << call << ": the holidays were read after all";
    SoakSetFault(nullptr, 0);
    HostUpdate(&api_, &chip_);
    HostChipPeek again = Peek();
    EXPECT_EQ(fresh.holidayMask[0], again.holidayMask[0]) << call;
    EXPECT_EQ(fresh.holidayMask[1], again.holidayMask[1]) << call;
    EXPECT_EQ(fresh.scheduleMask[0], again.scheduleMask[0]) << call;
    EXPECT_EQ(fresh.scheduleMask[1], again.scheduleMask[1]) << call;
  }
}

// The control-help popup's font goes with the popup even where the window
// could not be given it (TearDown counts the fonts left).
TEST_F(FaultTest, HelpPopupFontGoesWithThePopup) {
  ASSERT_TRUE(SoakSetFault("SetWindowLongA", 1));
  HELPINFO info = {sizeof info, HELPINFO_WINDOW, 1107, nullptr, 0, {0, 0}};
  auto help = [&](HWND d) {
    SendMessageA(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    return FindWindowA("TarDxlHelpPopup", nullptr) != nullptr;
  };
  auto cancel = [](HWND d) { return PostMessageA(d, WM_COMMAND, IDCANCEL, 0) != 0; };
  EXPECT_TRUE(DialogDriver::Run(1101, [] { api_.DrawExConfigure(nullptr); }, {help, cancel}));
}

int g_dialogTicks = 0;

// Cancels a dialog that is still open after two seconds.
void CALLBACK CancelLateDialog(HWND, UINT, UINT_PTR, DWORD) {
  if (++g_dialogTicks < 100) return;
  HWND dialog = FindWindowA("#32770", nullptr);
  if (dialog && GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId())
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// A settings dialog that cannot keep its record closes at once instead of
// leaving an OK that does nothing.
TEST_F(FaultTest, SettingsDialogWithoutItsRecordCloses) {
  ASSERT_NE(nullptr, api_.EditHelper);
  HostEditRecord record;
  memset(&record, 0, sizeof record);
  record.memoHandle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
  ASSERT_TRUE(SoakSetFault("SetWindowLongA", 1));
  g_dialogTicks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, CancelLateDialog);
  EXPECT_EQ(IDCANCEL, api_.EditHelper(nullptr, &record));
  KillTimer(nullptr, timer);
  EXPECT_TRUE(SoakFaultFired());
  EXPECT_LT(g_dialogTicks, 100) << "the dialog waited for a Cancel";
  EXPECT_EQ(1, SoakBeeps());
  if (record.saveHandle) GlobalFree(record.saveHandle);
  GlobalFree(record.memoHandle);
  SoakSettle();
}

}  // namespace
