// A chip's saved data: the layouts it reads, and the block GetSaveData writes.
#include <stdio.h>

#include "chip_fixture.h"
#include "dxlhost/commandhelpers.h"

using namespace hostchiptest;

namespace {

// What the saved data sets: the four colours, the schedule style, the view.
std::string Saved(const HostChipPeek& p) {
  char text[96];
  snprintf(text, sizeof text, "today %06lx sunday %06lx saturday %06lx holiday %06lx style %d view %02x",
           (unsigned long)p.todayColor, (unsigned long)p.sundayColor, (unsigned long)p.saturdayColor,
           (unsigned long)p.holidayColor, p.scheduleStyle, p.viewFlags);
  return text;
}

TEST_F(HostChipTest, SaveDataLayouts) {
  Create("2000/2");
  HostChipPeek p = UpdateWith(Block(0, {}));
  EXPECT_EQ("today ffff00 sunday 0000ff saturday ff0000 holiday 0000ff style 1 view 00", Saved(p));

  p = UpdateWith(Block(24, CurrentPayload(0x010203, 0x040506, 0x070809, 0x0A0B0C, 3, 0xF3)));
  EXPECT_EQ("today 010203 sunday 040506 saturday 070809 holiday 0a0b0c style 3 view f3", Saved(p));

  // Any unknown length: defaults, the view kept.
  for (uint32_t length : {20u, 12u, 14u, 23u}) {
    std::vector<unsigned char> payload = CurrentPayload(1, 2, 3, 4, 0, 0x01);
    p = UpdateWith(Block(length, payload));
    EXPECT_EQ("today ffff00 sunday 0000ff saturday ff0000 holiday 0000ff style 1 view f3", Saved(p))
        << "length " << length;
  }

  // Longer than the current layout reads as the current layout.
  std::vector<unsigned char> longer = CurrentPayload(0x111111, 0x222222, 0x333333, 0x444444, 2, 0x01);
  longer.resize(30, 0xEE);
  for (uint32_t length : {30u, 0x80000000u}) {  // compared unsigned
    p = UpdateWith(Block(length, longer));
    EXPECT_EQ("today 111111 sunday 222222 saturday 333333 holiday 444444 style 2 view 01", Saved(p))
        << "length " << length;
  }

  // The older layout: Sunday's colour for holidays, bold schedule days.
  std::vector<unsigned char> older(13, 0);
  PutColor(&older, 0, 0x00AA00);
  PutColor(&older, 4, 0x0000BB);
  PutColor(&older, 8, 0xCC0000);
  older[12] = 0x03;
  p = UpdateWith(Block(13, older));
  EXPECT_EQ("today 00aa00 sunday 0000bb saturday cc0000 holiday 0000bb style 1 view 03", Saved(p));
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
  EXPECT_EQ("today 010203 sunday 040506 saturday 070809 holiday 0a0b0c style 2 view f1", Saved(UpdateWith(bytes)));
}

// The bytes the payload does not set tell a reused block from a new one.
TEST_F(HostChipTest, GetSaveDataKeepsA32ByteBlockAndReplacesOthers) {
  Create("2000/2");
  for (size_t size : {32u, 4u, 16u, 28u, 33u, 64u}) {
    std::vector<unsigned char> block(size, 0xAB);
    HostChipSetSaveData(&chip_, block.data(), block.size());
    HGLOBAL before = chip_.saveData;
    ASSERT_EQ(1, HostGetSaveData(&api_, &chip_)) << "size " << size;
    std::vector<unsigned char> bytes = HostChipSaveBytes(&chip_);
    ASSERT_EQ(32u, bytes.size()) << "size " << size;
    EXPECT_TRUE(bytes[0] == 24 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 0) << "size " << size;
    const bool reused = size == 32;
    EXPECT_TRUE(!reused || before == chip_.saveData) << "a 32-byte block is written in place";
    for (int i : {4, 5, 6, 7, 26, 27, 28, 29, 30, 31})
      EXPECT_EQ(reused ? 0xAB : 0, bytes[i]) << "offset " << i << ", size " << size;
  }
}

}  // namespace
