// Chips painted through the built library, and the PNG files of dxlhost paint.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/loader.h"
#include "host/paint.h"
#include "host/png.h"

namespace {

uint32_t Be32(const uint8_t* p) { return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3]; }

// Reads a PNG of stored blocks back: size and the unfiltered RGB rows.
bool DecodeStoredPng(const std::vector<uint8_t>& png, int* width, int* height, std::vector<uint8_t>* rgb,
                     std::string* error) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 8 || memcmp(png.data(), kSignature, 8)) return *error = "no PNG signature", false;
  std::vector<uint8_t> z;
  size_t pos = 8;
  bool ended = false;
  while (pos + 12 <= png.size() && !ended) {
    uint32_t length = Be32(&png[pos]);
    if (pos + 12 + length > png.size()) return *error = "chunk past the end", false;
    std::string type(png.begin() + pos + 4, png.begin() + pos + 8);
    if (Crc32(&png[pos + 4], length + 4) != Be32(&png[pos + 8 + length])) return *error = "bad CRC of " + type, false;
    const uint8_t* data = &png[pos + 8];
    if (type == "IHDR") {
      *width = (int)Be32(data);
      *height = (int)Be32(data + 4);
      if (data[8] != 8 || data[9] != 2) return *error = "not 8-bit RGB", false;
    } else if (type == "IDAT") {
      z.insert(z.end(), data, data + length);
    } else if (type == "IEND") {
      ended = true;
    }
    pos += 12 + length;
  }
  if (!ended) return *error = "no IEND", false;
  if (z.size() < 6 || z[0] != 0x78 || (z[0] * 256 + z[1]) % 31) return *error = "bad zlib header", false;
  std::vector<uint8_t> raw;
  size_t at = 2;
  for (bool last = false; !last;) {
    if (at + 5 > z.size()) return *error = "stored block past the end", false;
    last = z[at] & 1;
    if ((z[at] >> 1) != 0) return *error = "not a stored block", false;
    unsigned n = z[at + 1] | z[at + 2] << 8, nn = z[at + 3] | z[at + 4] << 8;
    if ((n ^ 0xFFFF) != nn || at + 5 + n > z.size()) return *error = "bad block length", false;
    raw.insert(raw.end(), z.begin() + at + 5, z.begin() + at + 5 + n);
    at += 5 + n;
  }
  if (at + 4 != z.size() || Adler32(raw.data(), raw.size()) != Be32(&z[at])) return *error = "bad Adler-32", false;
  size_t row = (size_t)*width * 3 + 1;
  if (raw.size() != row * *height) return *error = "wrong amount of pixel data", false;
  rgb->clear();
  for (int y = 0; y < *height; ++y) {
    if (raw[y * row] != 0) return *error = "filtered row", false;
    rgb->insert(rgb->end(), raw.begin() + y * row + 1, raw.begin() + (y + 1) * row);
  }
  return true;
}

TEST(MonthHostPng, Checksums) {
  EXPECT_EQ(0xCBF43926u, Crc32((const uint8_t*)"123456789", 9));
  EXPECT_EQ(0x11E60398u, Adler32((const uint8_t*)"Wikipedia", 9));
  EXPECT_EQ(1u, Adler32(nullptr, 0));
}

TEST(MonthHostPng, EncodedPicturesDecodeBack) {
  const struct { int w, h; } sizes[] = {{1, 1}, {2, 3}, {200, 120}, {300, 400}};  // the larger need several blocks
  for (const auto& s : sizes) {
    std::vector<uint8_t> rgb((size_t)s.w * s.h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = (uint8_t)(i * 7 + i / 3);
    std::vector<uint8_t> png, back;
    ASSERT_TRUE(EncodePng(s.w, s.h, rgb.data(), &png)) << s.w << "x" << s.h;
    int w = 0, h = 0;
    std::string error;
    ASSERT_TRUE(DecodeStoredPng(png, &w, &h, &back, &error)) << s.w << "x" << s.h << ": " << error;
    EXPECT_TRUE(w == s.w && h == s.h) << "expected " << s.w << "x" << s.h << " got " << w << "x" << h;
    EXPECT_TRUE(back == rgb) << s.w << "x" << s.h << ": pixels differ";
  }
  std::vector<uint8_t> png;
  uint8_t px[3] = {0, 0, 0};
  EXPECT_FALSE(EncodePng(0, 1, px, &png));
  EXPECT_FALSE(EncodePng(1, -1, px, &png));
}

class MonthHostPaint : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    char user[64];
    DWORD size = sizeof user;
    std::string section = GetUserNameA(user, &size) && strlen(user) < 32 ? user : "Default";
    WritePrivateProfileStringA(section.c_str(), "Flags", "0", (ProgramDirectory() + "Tarnivel.ini").c_str());
    ASSERT_TRUE(LoadDxl((ProgramDirectory() + "Tarnivel.dxl").c_str(), &api_));
  }
  static void TearDownTestSuite() { UnloadDxl(&api_); }

  static DxlApi api_;
};

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
  std::string out = ProgramDirectory() + "month_paint_test.png";
  DeleteFileA(out.c_str());
  std::string command = "\"" + ProgramDirectory() + "dxlhost.exe\" paint \"" + ProgramDirectory() + "Tarnivel.dxl\" --memo 1998/2 --months 2 "
                        "--stacked --english --size 250x300 --out \"" + out + "\"";
  STARTUPINFOA si;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(0u, code) << command;

  std::vector<uint8_t> png;
  HANDLE f = CreateFileA(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f) << "no picture at " << out;
  png.resize(GetFileSize(f, nullptr));
  DWORD n = 0;
  ReadFile(f, png.data(), (DWORD)png.size(), &n, nullptr);
  CloseHandle(f);
  DeleteFileA(out.c_str());
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  std::string error;
  ASSERT_TRUE(DecodeStoredPng(png, &w, &h, &rgb, &error)) << error;
  EXPECT_TRUE(w == 250 && h == 300) << "expected 250x300 got " << w << "x" << h;
  size_t ink = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    if (rgb[i] != 255 || rgb[i + 1] != 255 || rgb[i + 2] != 255) ++ink;
  EXPECT_GT(ink, 500u) << "the picture is nearly blank";
}

}  // namespace
