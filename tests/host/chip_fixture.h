// A chip of the built library in a window of its own, driven through its
// exports as a host drives them.
#pragma once

#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/loader.h"
#include "tests/common/tempfolder.h"

namespace hostchiptest {

inline std::vector<unsigned char> Block(uint32_t length, std::vector<unsigned char> payload) {
  std::vector<unsigned char> b(4 + payload.size());
  memcpy(b.data(), &length, 4);
  if (!payload.empty()) memcpy(b.data() + 4, payload.data(), payload.size());
  return b;
}

inline void PutColor(std::vector<unsigned char>* p, size_t at, COLORREF c) { memcpy(p->data() + at, &c, 4); }

// A 24-byte payload in the current layout.
inline std::vector<unsigned char> CurrentPayload(COLORREF today, COLORREF sunday, COLORREF saturday, COLORREF holiday,
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
    lib_->WriteUserSetting("Flags", "0");
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

  static inline LibraryCopy* lib_ = nullptr;
  static inline DxlApi api_;
  HostChip chip_;
};


}  // namespace hostchiptest
