#include <gtest/gtest.h>

#include <string>

#include "plugin/help.h"

TEST(HelpViewerCommand, QuotesViewerAndFile) {
  struct {
    const char* folder;
    const char* file;
    int size;
    const char* expected;  // null: refused, out empty
  } cases[] = {
      {"C:\\WINDOWS", "C:\\Program Files\\memo\\Tarnivel.chm", 260,
       "\"C:\\WINDOWS\\hh.exe\" \"C:\\Program Files\\memo\\Tarnivel.chm\""},
      {"C:\\", "D:\\x.chm", 260, "\"C:\\hh.exe\" \"D:\\x.chm\""},
      // The last byte is the second byte of a double-byte character, not a backslash.
      {"C:\\\x95\x5C", "a.chm", 260, "\"C:\\\x95\x5C\\hh.exe\" \"a.chm\""},
      {"C:\\W", "a.chm", 22, "\"C:\\W\\hh.exe\" \"a.chm\""},  // exactly fits with its terminator
      {"C:\\W", "a.chm", 21, nullptr},
      {"", "a.chm", 260, nullptr},
      {"C:\\W", "", 260, nullptr},
  };
  for (auto& c : cases) {
    char out[300];
    memset(out, 'x', sizeof out);
    int ok = BuildHelpViewerCommand(c.folder, c.file, out, c.size);
    EXPECT_EQ(c.expected != nullptr, ok != 0) << c.folder << " " << c.file << " size " << c.size;
    EXPECT_EQ(std::string(c.expected ? c.expected : ""), out) << c.folder << " size " << c.size;
    EXPECT_EQ('x', out[c.size]) << "written past the buffer, size " << c.size;
  }
}

TEST(HelpPopupPlace, BesideTheControlInsideTheWorkArea) {
  const HelpRect work = {0, 0, 1280, 1000};
  const HelpRect second = {1280, -200, 2560, 800};  // a monitor right of the first, higher up
  struct {
    HelpRect control;
    const HelpRect* area;
    int width, height;
    int x, y;
  } cases[] = {
      {{100, 100, 200, 120}, &work, 300, 80, 100, 122},      // below the control
      {{100, 900, 200, 920}, &work, 300, 80, 100, 818},      // no room below: above
      {{1100, 100, 1200, 120}, &work, 300, 80, 980, 122},    // kept left of the right edge
      {{-50, 100, 20, 120}, &work, 300, 80, 0, 122},         // kept right of the left edge
      {{100, 40, 200, 960}, &work, 300, 80, 100, 920},       // no room either way: at the bottom
      {{2400, 700, 2500, 720}, &second, 300, 80, 2260, 618}, // on the second monitor
  };
  for (auto& c : cases) {
    int x = -1, y = -1;
    PlaceHelpPopup(&c.control, c.area, c.width, c.height, MonitorScaledDpi(96), &x, &y);
    EXPECT_EQ(c.x, x) << "control at " << c.control.left << "," << c.control.top;
    EXPECT_EQ(c.y, y) << "control at " << c.control.left << "," << c.control.top;
  }
}
