// The library's own windows in a per-monitor aware host and in an unaware
// one; scripts/dpi.sh runs these on a desktop of 144 dots per inch too.
#include <stdlib.h>

#include "dialogs/chipsettings_win.h"
#include "plugin/exports.h"
#include "plugin/helppopup.h"
#include "plugin/screendpi_win.h"
#include "tests/common/dialog_driver.h"
#include "tips_fixture.h"

using namespace tipstest;

namespace {

// Makes the thread's windows those of an aware or unaware host; the old
// awareness, or null. Some systems have no per-monitor version 2 for threads.
HANDLE SetHostAwareness(intptr_t context) {
  typedef HANDLE(WINAPI * Proc)(HANDLE);
  const auto set = reinterpret_cast<Proc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
  HANDLE old = set ? set(reinterpret_cast<HANDLE>(context)) : nullptr;
  return old || context != -4 ? old : set(reinterpret_cast<HANDLE>(-3));
}

int FontHeight(HWND window) {
  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  return handle && GetObjectA(handle, sizeof font, &font) ? font.lfHeight : 0;
}

// Dialog 102 with a step, then cancelled.
bool RunChipSettings(DialogDriver::Until step) {
  EditHelperParams params = {};
  bool ok = DialogDriver::Run(IDC_CHIP_TODAYCOLOR, [&] { EditHelper(nullptr, &params); },
                              {step, [](HWND d) { return PostMessageA(d, WM_COMMAND, IDCANCEL, 0) != 0; }});
  GlobalFree(params.memoHandle);
  GlobalFree(params.saveHandle);
  return ok;
}

class TipsAtDpi : public Tips, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, old_);
    Tips::SetUp();
  }
  ~TipsAtDpi() override { SetHostAwareness(reinterpret_cast<intptr_t>(old_)); }
  HANDLE old_ = SetHostAwareness(GetParam() ? -4 : -1);
};

// An aware host's tip and help popup follow the desktop's DPI (TARNIVEL_DPI);
// an unaware host's stay as at 96 dots per inch, which the system scales.
TEST_P(TipsAtDpi, TipAndHelpFollowTheMonitorOnlyInAnAwareHost) {
  const int desktop = getenv("TARNIVEL_DPI") ? atoi(getenv("TARNIVEL_DPI")) : 96;
  ASSERT_TRUE(desktop == 96 || desktop == 144) << "no expectations for " << desktop << " dpi";
  const bool scaled = GetParam() && desktop == 144;
  const int font = scaled ? -18 : -12, tipGap = scaled ? 12 : 8, helpGap = scaled ? 3 : 2;
  MONITORINFO info = {sizeof info};
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info));
  const RECT work = info.rcWork;
  SetWindowPos(window_, nullptr, work.right - size_.cx, work.bottom - size_.cy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The cursor put there for real, and the move sent: Wine sends none to an
  // unaware window on a scaled desktop.
  POINT p = Day(1, 27), client = p;
  SetCursorPos(p.x, p.y);
  ScreenToClient(window_, &client);
  SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
  RECT r = TipRect();
  SIZE size = TipSizeFor(MeasureLines({"A long text for the right edge of the work area"}));
  EXPECT_EQ(font, FontHeight(tipWindow));
  EXPECT_TRUE(TipShown() && r.right == work.right - tipGap && r.right - r.left == size.cx && r.top >= work.top &&
              r.bottom <= info.rcMonitor.bottom && (r.top == p.y + tipGap || r.bottom == p.y + tipGap))
      << Show(work) << Show(r);

  RECT popup = {}, control = {};
  ASSERT_TRUE(RunChipSettings([&](HWND d) {
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, IDC_CHIP_YEAR, GetDlgItem(d, IDC_CHIP_YEAR), 0, {0, 0}};
    SendMessageA(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(font, FontHeight(ControlHelpPopup()));
    return GetWindowRect(ControlHelpPopup(), &popup) && GetWindowRect(GetDlgItem(d, IDC_CHIP_YEAR), &control);
  }));
  EXPECT_TRUE((popup.top == control.bottom + helpGap || popup.bottom == control.top - helpGap) &&
              popup.left >= work.left && popup.right <= work.right && popup.bottom <= work.bottom)
      << Show(popup) << " beside " << Show(control) << " in " << Show(work);
}

INSTANTIATE_TEST_SUITE_P(Host, TipsAtDpi, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Aware" : "Unaware"; });

// Moved to a monitor of twice the DPI, the dialog's colour lists keep their
// items as high as its text.
TEST(ChipSettingsAtDpi, ColourListsFollowTheDialogToAnotherMonitor) {
  HANDLE old = SetHostAwareness(-4);
  LRESULT before = 0, after = 0;
  EXPECT_TRUE(old && RunChipSettings([&](HWND d) {
    before = SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETITEMHEIGHT, 0, 0);
    const int dpi = 2 * PerMonitorDpiOf(d);
    RECT place;
    GetWindowRect(d, &place);
    SendMessageA(d, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    after = SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETITEMHEIGHT, 0, 0);
    return true;
  }));
  SetHostAwareness(reinterpret_cast<intptr_t>(old));
  EXPECT_TRUE(before > 0 && after == 2 * before) << before << " then " << after;
}

}  // namespace
