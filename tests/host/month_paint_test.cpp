// Chips painted through the built library, and the PNG files of dxlhost paint.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/paint.h"
#include "dxlhost/png.h"
#include "host/loader.h"
#include "tests/common/runprogram.h"
#include "tests/common/tempfolder.h"

namespace {

// Pictures written by the system's codec come back unchanged and compressed.
TEST(MonthHostPng, WrittenPicturesReadBack) {
  TempFolder folder("tarnivel_png");
  const struct { int w, h; } sizes[] = {{1, 1}, {2, 3}, {200, 120}, {300, 400}};
  for (const auto& s : sizes) {
    std::vector<uint8_t> rgb((size_t)s.w * s.h * 3);
    // Bands of colour, each row different from the one above, as a chip's are.
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = (uint8_t)((i / 3 / s.w / 8) * 37 + i % 3 * 90);
    std::string path = folder.File(std::to_string(s.w) + "x" + std::to_string(s.h) + ".png");
    ASSERT_TRUE(WritePng(path.c_str(), s.w, s.h, rgb.data())) << path;
    std::string bytes = folder.Read(path.substr(folder.path().size()));
    EXPECT_EQ(0, bytes.compare(0, 8, "\x89PNG\r\n\x1a\n", 8)) << path << ": no PNG signature";
    if (rgb.size() > 10000) {
      EXPECT_LT(bytes.size(), rgb.size() / 10) << path << " is not compressed";
    }
    int w = 0, h = 0;
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadPng(path.c_str(), &w, &h, &back)) << path;
    EXPECT_TRUE(w == s.w && h == s.h) << "expected " << s.w << "x" << s.h << " got " << w << "x" << h;
    EXPECT_TRUE(back == rgb) << path << ": pixels differ";
  }
  uint8_t px[3] = {0, 0, 0};
  for (const auto& bad : {std::make_pair(0, 1), std::make_pair(1, -1), std::make_pair(0x4001, 1)}) {
    std::string path = folder.File("bad.png");
    EXPECT_FALSE(WritePng(path.c_str(), bad.first, bad.second, px)) << bad.first << "x" << bad.second;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
  }
  EXPECT_FALSE(WritePng(folder.File("no such folder\\x.png").c_str(), 1, 1, px));
  ASSERT_TRUE(folder.Write("not.png", "not a picture"));
  int w = 0, h = 0;
  std::vector<uint8_t> back;
  EXPECT_FALSE(ReadPng(folder.File("not.png").c_str(), &w, &h, &back));
  EXPECT_FALSE(ReadPng(folder.File("missing.png").c_str(), &w, &h, &back));
}

class MonthHostPaint : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lib_ = new LibraryCopy();
    lib_->WriteUserSetting("Flags", "0");
    ASSERT_TRUE(LoadDxl(lib_->library().c_str(), &api_)) << lib_->library();
  }
  static void TearDownTestSuite() {
    UnloadDxl(&api_);
    delete lib_;
    lib_ = nullptr;
  }

  static LibraryCopy* lib_;
  static DxlApi api_;
};

LibraryCopy* MonthHostPaint::lib_;
DxlApi MonthHostPaint::api_;

struct Painted {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  int CountColor(COLORREF c, int* minX, int* maxX) const {
    int n = 0;
    *minX = width;
    *maxX = -1;
    for (int i = 0; i < width * height; ++i) {
      if (RGB(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]) != c) continue;
      ++n;
      int x = i % width;
      if (x < *minX) *minX = x;
      if (x > *maxX) *maxX = x;
    }
    return n;
  }
};

bool PaintWith(const DxlApi* api, const PaintOptions& o, Painted* out, SIZE* proposed) {
  HostChip chip;
  bool ok = CreatePaintChip(api, o, &chip);
  if (ok && proposed) api->CalcDefaultRect(chip.chip, chip.window, proposed);
  ok = ok && PaintChipPixels(api, &chip, &out->width, &out->height, &out->rgb);
  if (chip.chip) HostDestroy(api, &chip);
  HostChipFree(&chip);
  return ok;
}

// Colours land in their columns; today is marked only in the current month.
TEST_F(MonthHostPaint, ColoursThroughTheLibrary) {
  const struct { const char* memo; int months; bool today; } cases[] = {
      {"1998/2", 1, false}, {"1998/2", 2, false}, {"", 1, true}, {"", 2, true}};
  for (const auto& c : cases) {
    PaintOptions o;
    DefaultPaintOptions(&o);
    o.memo = c.memo;
    o.months = c.months;
    o.todayColor = RGB(0, 200, 200);
    Painted pic;
    SIZE proposed = {0, 0};
    ASSERT_TRUE(PaintWith(&api_, o, &pic, &proposed)) << "memo \"" << c.memo << "\"";
    RECT border = {0, 0, pic.width, pic.height};
    AdjustWindowRectEx(&border, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
    EXPECT_TRUE(border.right - border.left == proposed.cx && border.bottom - border.top == proposed.cy)
        << "memo \"" << c.memo << "\": client " << pic.width << "x" << pic.height << " does not give the proposed "
        << proposed.cx << "x" << proposed.cy;
    int minX, maxX;
    int today = pic.CountColor(o.todayColor, &minX, &maxX);
    EXPECT_EQ(c.today, today > 0) << "memo \"" << c.memo << "\": " << today << " marker pixels";
    int blockWidth = c.months == 2 ? pic.width / 2 : pic.width;
    for (int block = 0; block < c.months; ++block) {
      // Sunday and Saturday colours only near the block's left and right edges.
      int left = block * blockWidth;
      int sundayMin = pic.width, sundayMax = -1, n = 0;
      for (int y = 0; y < pic.height; ++y)
        for (int x = left; x < left + blockWidth; ++x) {
          const uint8_t* p = &pic.rgb[((size_t)y * pic.width + x) * 3];
          if (RGB(p[0], p[1], p[2]) != o.sundayColor) continue;
          ++n;
          if (x < sundayMin) sundayMin = x;
          if (x > sundayMax) sundayMax = x;
        }
      EXPECT_GT(n, 0) << "memo \"" << c.memo << "\" block " << block << ": no Sunday colour";
      EXPECT_LT(sundayMax, left + blockWidth / 7 + 8) << "memo \"" << c.memo << "\" block " << block;
    }
    pic.CountColor(o.saturdayColor, &minX, &maxX);
    EXPECT_GT(minX, blockWidth * 5 / 7) << "memo \"" << c.memo << "\": Saturday colour left of the last column";
  }
}

TEST_F(MonthHostPaint, PaintCommandWritesThePicture) {
  std::string out = lib_->File("month_paint_test.png");
  std::string command = "\"" + ProgramDirectory() + "dxlhost.exe\" paint \"" + lib_->library() +
                        "\" --memo 1998/2 --months 2 --stacked --english --size 250x300 --out \"" + out + "\"";
  EXPECT_EQ(0, RunProgram(command, lib_->path())) << command;
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(ReadPng(out.c_str(), &w, &h, &rgb)) << "no picture at " << out;
  EXPECT_TRUE(w == 250 && h == 300) << "expected 250x300 got " << w << "x" << h;
  size_t ink = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    if (rgb[i] != 255 || rgb[i + 1] != 255 || rgb[i + 2] != 255) ++ink;
  EXPECT_GT(ink, 500u) << "the picture is nearly blank";
}

TEST_F(MonthHostPaint, PaintCommandRefusesSizesFontHeightsAndPlacesOutOfBounds) {
  std::string out = lib_->File("refused.png");
  std::vector<std::string> refused;
  for (const char* size : {"0x100", "100x0", "-5x100", "4097x100", "100x4097", "100x99999999999", "100x", "x100",
                           "100x100x", "100", "big"})
    refused.push_back(std::string("--size ") + size);
  for (const char* height : {"257", "-257", "-99999999999", "16px", "", "x"})
    refused.push_back(std::string("--font-height \"") + height + "\"");
  for (const char* at : {"10", "10,", ",10", "10,10,", "40000,10", "10,-40000", "a,b"})
    refused.push_back(std::string("--at ") + at);
  for (const std::string& option : refused) {
    std::string command = "\"" + ProgramDirectory() + "dxlhost.exe\" paint \"" + lib_->library() + "\" " + option +
                          " --out \"" + out + "\"";
    EXPECT_EQ(2, RunProgram(command, lib_->path())) << option;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(out.c_str())) << option;
    DeleteFileA(out.c_str());
  }
}

}  // namespace
