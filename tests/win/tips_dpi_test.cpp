// The library's own windows in a per-monitor aware host; scripts/test.sh runs
// this on a desktop of 144 dots per inch too, where dxlhost, not aware, shows
// them as at 96.
#include <stdlib.h>

#include "dialogs/chipsettings_win.h"
#include "plugin/exports.h"
#include "plugin/helppopup.h"
#include "tests/common/dialog_driver.h"
#include "tips_fixture.h"

using namespace tipstest;

namespace {

int FontHeight(HWND window) {
  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  return handle && GetObjectA(handle, sizeof font, &font) ? font.lfHeight : 0;
}

// The tip and help popup follow the desktop's DPI (TARNIVEL_DPI) and stay
// inside the monitor. The test program is per-monitor aware, as Wine makes
// every program that does not say otherwise.
TEST_F(Tips, TipAndHelpFollowTheMonitorInAnAwareHost) {
  const int desktop = getenv("TARNIVEL_DPI") ? atoi(getenv("TARNIVEL_DPI")) : 96;
  ASSERT_TRUE(desktop == 96 || desktop == 144) << "no expectations for " << desktop << " dpi";
  const int font = desktop == 144 ? -18 : -12, tipGap = desktop == 144 ? 12 : 8, helpGap = desktop == 144 ? 3 : 2;
  MONITORINFO info = {sizeof info};
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info));
  const RECT work = info.rcWork;
  SetWindowPos(window_, nullptr, work.right - size_.cx, work.bottom - size_.cy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  POINT p = Day(1, 27);
  Hover(p);
  RECT r = TipRect();
  SIZE size = TipSizeFor(MeasureLines({"A long text for the right edge of the work area"}));
  EXPECT_TRUE(FontHeight(tipWindow) == font && TipShown() && r.right == work.right - tipGap &&
              r.right - r.left == size.cx && r.top >= work.top && r.bottom <= info.rcMonitor.bottom &&
              (r.top == p.y + tipGap || r.bottom == p.y + tipGap))
      << FontHeight(tipWindow) << " " << Show(r) << " in " << Show(work);

  RECT popup = {}, control = {};
  EditHelperParams params = {};
  EXPECT_TRUE(DialogDriver::Run(IDC_CHIP_YEAR, [&] { EditHelper(nullptr, &params); }, {[&](HWND d) {
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, IDC_CHIP_YEAR, GetDlgItem(d, IDC_CHIP_YEAR), 0, {0, 0}};
    SendMessageA(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(font, FontHeight(ControlHelpPopup()));
    GetWindowRect(ControlHelpPopup(), &popup);
    GetWindowRect(GetDlgItem(d, IDC_CHIP_YEAR), &control);
    return PostMessageA(d, WM_COMMAND, IDCANCEL, 0) != 0;
  }}));
  GlobalFree(params.memoHandle);
  GlobalFree(params.saveHandle);
  EXPECT_TRUE((popup.top == control.bottom + helpGap || popup.bottom == control.top - helpGap) &&
              popup.left >= work.left && popup.right <= work.right && popup.bottom <= work.bottom)
      << Show(popup) << " beside " << Show(control) << " in " << Show(work);
}

}  // namespace
