// The about box, shown for real and closed from its own thread by a timer.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "plugin/chipmenu.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"

namespace {

enum CloseBy { kOkButton, kEscapeKey, kCloseBox };

struct Control {
  std::string className;
  int id;
  DWORD style;
  RECT rect;  // in the dialog's client area
  std::string text;
  HICON icon;
};

struct SeenBox {
  CloseBy closeBy;
  HWND dialog = nullptr;
  HWND owner = nullptr;
  std::string caption;
  DWORD style = 0, exStyle = 0;
  int focusId = 0;
  LOGFONTA font = {};
  std::vector<Control> controls;
  RECT base = {0, 0, 4, 8};  // dialog base units, from MapDialogRect
  bool timedOut = false;
};
SeenBox* g_seen;

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  char name[16];
  if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) && !strcmp(name, "#32770")) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleBox() {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

void Record(HWND box, SeenBox* seen) {
  seen->dialog = box;
  seen->owner = GetWindow(box, GW_OWNER);
  char text[256];
  GetWindowTextA(box, text, sizeof text);
  seen->caption = text;
  seen->style = (DWORD)GetWindowLongA(box, GWL_STYLE);
  seen->exStyle = (DWORD)GetWindowLongA(box, GWL_EXSTYLE);
  seen->focusId = GetDlgCtrlID(GetFocus());
  MapDialogRect(box, &seen->base);
  HFONT font = (HFONT)SendMessageA(box, WM_GETFONT, 0, 0);
  if (font) GetObjectA(font, sizeof seen->font, &seen->font);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    Control c;
    char name[32];
    GetClassNameA(child, name, sizeof name);
    c.className = name;
    c.id = GetDlgCtrlID(child);
    c.style = (DWORD)GetWindowLongA(child, GWL_STYLE);
    GetWindowRect(child, &c.rect);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&c.rect), 2);
    GetWindowTextA(child, text, sizeof text);
    c.text = text;
    c.icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
    seen->controls.push_back(c);
  }
}

VOID CALLBACK DriveBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = VisibleBox();
  if (!box) return;
  KillTimer(nullptr, timer);
  Record(box, g_seen);
  switch (g_seen->closeBy) {
    case kOkButton:
      PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
      break;
    case kEscapeKey:
      PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      break;
    case kCloseBox:
      PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

// Ends the box if the driver failed, so that the modal loop never hangs.
VOID CALLBACK Safety(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_seen->timedOut = true;
  if (HWND box = VisibleBox()) EndDialog(box, 0);
}

// Runs the box through run() while a timer inspects and closes it.
template <typename Run>
SeenBox ShowBox(CloseBy closeBy, Run run) {
  SeenBox seen;
  seen.closeBy = closeBy;
  g_seen = &seen;
  UINT_PTR driver = SetTimer(nullptr, 0, 100, DriveBox);
  UINT_PTR safety = SetTimer(nullptr, 0, 10000, Safety);
  run();
  KillTimer(nullptr, driver);
  KillTimer(nullptr, safety);
  g_seen = nullptr;
  return seen;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The icon drawn at 32 x 32 over grey, as rows of pixels.
std::vector<DWORD> IconPixels(HICON icon) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = -32;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<DWORD> pixels;
  if (bitmap) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    memset(bits, 0x80, 32 * 32 * 4);
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    GdiFlush();
    pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 32 * 32);
    SelectObject(dc, old);
    DeleteObject(bitmap);
  }
  DeleteDC(dc);
  return pixels;
}

std::vector<DWORD> ResourceIconPixels(int id) {
  HICON icon = (HICON)LoadImageA(g_hInstance, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0);
  std::vector<DWORD> pixels = IconPixels(icon);
  if (icon) DestroyIcon(icon);
  return pixels;
}

// DrawExAbout runs the box without a parent; the menu command with the chip window.
TEST(AboutBox, ClosesWithOkEscapeAndTheCloseBox) {
  HWND chipWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, g_hInstance,
                                    nullptr);
  ASSERT_NE(nullptr, chipWindow);
  for (CloseBy by : {kOkButton, kEscapeKey, kCloseBox}) {
    int result = -1;
    bool fromMenu = by == kCloseBox;
    SeenBox seen = ShowBox(by, [&] {
      result = fromMenu ? DoDrawExMenu(nullptr, chipWindow, IDM_ABOUT) : DrawExAbout(nullptr);
    });
    EXPECT_FALSE(seen.timedOut) << "closing by " << by << " did not end the box";
    ASSERT_NE(nullptr, seen.dialog) << "no box appeared, closing by " << by;
    EXPECT_EQ(fromMenu ? 0 : 1, result);
    EXPECT_EQ(fromMenu ? chipWindow : nullptr, seen.owner);
    EXPECT_FALSE(IsWindow(seen.dialog)) << "closing by " << by;
  }
  DestroyWindow(chipWindow);
}

TEST(AboutBox, EveryControlInItsPlace) {
  SeenBox seen = ShowBox(kOkButton, [] { RunAboutBox(nullptr); });
  ASSERT_NE(nullptr, seen.dialog);
  EXPECT_EQ("\x83\x5E\x83\x8B\x83\x6A\x83\x94\x83\x46\x83\x8B\x82\xC9\x82\xC2\x82\xA2\x82\xC4...", seen.caption);
  EXPECT_TRUE(seen.style & WS_SYSMENU);
  EXPECT_EQ((DWORD)WS_CAPTION, seen.style & WS_CAPTION);
  EXPECT_TRUE(seen.exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(IDOK, seen.focusId) << "the system puts the focus on OK";
  EXPECT_STREQ("\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E", seen.font.lfFaceName);
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), seen.font.lfHeight);
  ReleaseDC(nullptr, dc);

  const struct {
    const char* className;
    int id;
    DWORD type;  // the style's low bits that choose the kind of control
    int x, y, cx, cy;  // dialog units
  } expected[] = {
      {"Static", 0xFFFF, SS_CENTER, 21, 7, 160, 8},
      {"Static", 0xFFFF, SS_CENTER, 21, 20, 160, 24},
      {"Button", IDOK, BS_DEFPUSHBUTTON, 79, 114, 45, 14},
      {"Static", 0xFFFF, SS_ETCHEDHORZ, 7, 52, 188, 1},
      {"Static", 0xFFFF, SS_LEFT, 7, 60, 189, 24},
      {"Static", 0xFFFF, SS_LEFT, 7, 88, 142, 16},
      {"Static", 0xFFFF, SS_ICON, 155, 84, 20, 20},
      {"Static", 0xFFFF, SS_ICON, 177, 84, 20, 20},
  };
  ASSERT_EQ(8u, seen.controls.size());
  for (size_t i = 0; i < 8; ++i) {
    const Control& c = seen.controls[i];
    EXPECT_STREQ(expected[i].className, c.className.c_str()) << "control " << i;
    EXPECT_EQ(expected[i].id, c.id & 0xFFFF) << "control " << i;
    DWORD typeMask = !strcmp(expected[i].className, "Button") ? BS_TYPEMASK : SS_TYPEMASK;
    EXPECT_EQ(expected[i].type, c.style & typeMask) << "control " << i;
    RECT r;
    r.left = MulDiv(expected[i].x, seen.base.right, 4);
    r.top = MulDiv(expected[i].y, seen.base.bottom, 8);
    r.right = r.left + MulDiv(expected[i].cx, seen.base.right, 4);
    r.bottom = r.top + MulDiv(expected[i].cy, seen.base.bottom, 8);
    EXPECT_EQ(r.left, c.rect.left) << "control " << i;
    EXPECT_EQ(r.top, c.rect.top) << "control " << i;
    if (expected[i].type == SS_ETCHEDHORZ) {  // the system adds its edge to the line
      EXPECT_LE(r.right, c.rect.right) << "control " << i;
      EXPECT_GE(r.right + 2, c.rect.right) << "control " << i;
      EXPECT_LE(r.bottom, c.rect.bottom) << "control " << i;
      EXPECT_GE(r.bottom + 2, c.rect.bottom) << "control " << i;
    } else if (expected[i].type != SS_ICON) {  // an icon control takes the icon's size
      EXPECT_EQ(r.right, c.rect.right) << "control " << i;
      EXPECT_EQ(r.bottom, c.rect.bottom) << "control " << i;
    }
  }

  const char kLibraryWords[] = "\x95\x60\x89\xe6\x8a\x67\x92\xa3\x83\x89\x83\x43\x83\x75\x83\x89\x83\x8a\x83\x42";
  const char kChipName[] = "\x83\x5E\x83\x8B\x83\x6A\x83\x94\x83\x46\x83\x8B";
  EXPECT_TRUE(Contains(seen.controls[0].text, kLibraryWords)) << seen.controls[0].text;
  EXPECT_TRUE(Contains(seen.controls[0].text, kChipName)) << seen.controls[0].text;
  EXPECT_EQ(0u, seen.controls[1].text.find("Tarnivel.dxl Ver.2.0b\n")) << seen.controls[1].text;
  EXPECT_EQ("OK", seen.controls[2].text);
  EXPECT_TRUE(Contains(seen.controls[4].text, "TODAY")) << seen.controls[4].text;

  // Icon 11 (the picture) left, icon 10 (the calendar) right, both drawn at 32 x 32.
  const std::vector<DWORD> picture = ResourceIconPixels(IDI_PICTURE), calendar = ResourceIconPixels(IDI_CALENDAR);
  ASSERT_NE(picture, calendar);
  EXPECT_TRUE(IconPixels(seen.controls[6].icon) == picture) << "the left icon is not icon 11";
  EXPECT_TRUE(IconPixels(seen.controls[7].icon) == calendar) << "the right icon is not icon 10";
  for (int i : {6, 7}) {
    HICON icon = seen.controls[i].icon;
    ICONINFO info;
    ASSERT_TRUE(icon && GetIconInfo(icon, &info)) << "control " << i;
    BITMAP bm;
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(32, bm.bmWidth) << "control " << i;
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    RECT r = seen.controls[i].rect;
    EXPECT_EQ(32, r.right - r.left) << "control " << i;
  }
}

}  // namespace
