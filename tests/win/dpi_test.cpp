// The library's own windows in a per-monitor aware host and in an unaware
// one, on the desktop's DPI: scripts/test.sh runs these on a desktop of 144
// dots per inch too (TARNIVEL_DPI=144).
#include <stdlib.h>

#include "dialogs/chipsettings_win.h"
#include "plugin/exports.h"
#include "plugin/helppopup.h"
#include "plugin/screendpi_win.h"
#include "resources/resource.h"
#include "tests/common/dialog_driver.h"
#include "tips_fixture.h"

using namespace tipstest;

namespace {

const HANDLE kUnaware = reinterpret_cast<HANDLE>(-1), kPerMonitor = reinterpret_cast<HANDLE>(-3),
             kPerMonitorV2 = reinterpret_cast<HANDLE>(-4);

HANDLE SetThreadDpiContext(HANDLE context) {
  typedef HANDLE(WINAPI * Proc)(HANDLE);
  const auto set = reinterpret_cast<Proc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
  if (!set) return nullptr;
  // Some systems know no second version of per-monitor awareness for a thread.
  HANDLE old = set(context);
  return old || context != kPerMonitorV2 ? old : set(kPerMonitor);
}

struct Look {
  int font, tipGap, helpGap;
};

// An aware host's windows follow the desktop's DPI; an unaware host's stay
// as at 96 dots per inch, which the system then scales.
Look Expected(bool aware) {
  const char* named = getenv("TARNIVEL_DPI");
  const int desktop = named ? atoi(named) : 96;
  HANDLE old = SetThreadDpiContext(kPerMonitorV2);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(desktop, GetDeviceCaps(screen, LOGPIXELSY)) << "the desktop is not at the DPI TARNIVEL_DPI names";
  ReleaseDC(nullptr, screen);
  SetThreadDpiContext(old);
  EXPECT_TRUE(desktop == 96 || desktop == 144) << "no expectations for " << desktop << " dpi";
  return aware && desktop == 144 ? Look{-18, 12, 3} : Look{-12, 8, 2};
}

int FontHeight(HWND window) {
  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
  return handle && GetObjectA(handle, sizeof font, &font) ? font.lfHeight : 0;
}

// The thread's windows made as those of an aware (true) or unaware host.
class HostAwareness {
 public:
  explicit HostAwareness(bool aware) : old_(SetThreadDpiContext(aware ? kPerMonitorV2 : kUnaware)) {}
  ~HostAwareness() { SetThreadDpiContext(old_); }
  bool set() const { return old_ != nullptr; }

 private:
  HANDLE old_;
};

class TipsAtDpi : public Tips, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(awareness_.set());
    Tips::SetUp();
  }
  // The cursor put there for real, and the move the system sends: Wine
  // sends none to an unaware window on a scaled desktop.
  void Reach(POINT p) {
    SetCursorPos(p.x, p.y);
    POINT client = p;
    ScreenToClient(window_, &client);
    SendMessageA(window_, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    Pump(30);
  }
  HostAwareness awareness_{GetParam()};
};

TEST_P(TipsAtDpi, FontAndGapsFollowTheMonitorOnlyInAnAwareHost) {
  const Look want = Expected(GetParam());
  POINT p = Day(0, 20);
  Reach(p);
  ExpectAtCursor(p, TipSizeFor(MeasureLines({"R&&D meeting"})), "20 May", want.tipGap);
  EXPECT_EQ(want.font, FontHeight(tipWindow));

  MONITORINFO info = {sizeof info};
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info));
  const RECT work = info.rcWork;
  SetWindowPos(window_, nullptr, work.right - size_.cx, work.bottom - size_.cy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Reach(p = Day(1, 27));
  RECT r = TipRect();
  EXPECT_TRUE(TipShown() && r.right == work.right - want.tipGap && r.left >= work.left && r.top >= work.top &&
              r.bottom <= info.rcMonitor.bottom && (r.top == p.y + want.tipGap || r.bottom == p.y + want.tipGap))
      << Show(work) << Show(r);
}

INSTANTIATE_TEST_SUITE_P(Host, TipsAtDpi, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Aware" : "Unaware"; });

using Step = DialogDriver::Until;

// Dialog 102 of an aware or unaware host with the steps, then cancelled.
bool RunChipSettings(bool aware, std::vector<Step> steps) {
  HostAwareness awareness(aware);
  steps.push_back([](HWND d) { return PostMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0) != 0; });
  EditHelperParams params = {};
  bool ok = awareness.set() && DialogDriver::Run(IDC_CHIP_TODAYCOLOR, [&] { EditHelper(nullptr, &params); },
                                                 std::move(steps));
  GlobalFree(params.memoHandle);
  GlobalFree(params.saveHandle);
  return ok;
}

class HelpAtDpi : public testing::TestWithParam<bool> {};

TEST_P(HelpAtDpi, PopupFontAndGapFollowTheMonitorOnlyInAnAwareHost) {
  const Look want = Expected(GetParam());
  int font = 0;
  RECT popup = {}, control = {}, work = {};
  ASSERT_TRUE(RunChipSettings(GetParam(), {[&](HWND d) {
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, IDC_CHIP_YEAR, GetDlgItem(d, IDC_CHIP_YEAR), 0, {0, 0}};
    SendMessageA(d, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    font = FontHeight(ControlHelpPopup());
    GetWindowRect(ControlHelpPopup(), &popup);
    GetWindowRect(GetDlgItem(d, IDC_CHIP_YEAR), &control);
    MONITORINFO info = {sizeof info};
    GetMonitorInfoA(MonitorFromWindow(d, MONITOR_DEFAULTTONEAREST), &info);
    work = info.rcWork;
    return true;
  }}));
  EXPECT_EQ(want.font, font);
  EXPECT_TRUE((popup.top == control.bottom + want.helpGap || popup.bottom == control.top - want.helpGap) &&
              popup.left >= work.left && popup.right <= work.right && popup.top >= work.top &&
              popup.bottom <= work.bottom)
      << Show(popup) << " beside " << Show(control) << " in " << Show(work);
}

INSTANTIATE_TEST_SUITE_P(Host, HelpAtDpi, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Aware" : "Unaware"; });

// Moved to a monitor of twice the DPI, the dialog's colour lists keep their
// items as high as its text.
TEST(ChipSettingsAtDpi, ColourListsFollowTheDialogToAnotherMonitor) {
  LRESULT before = 0, field = 0, item = 0;
  ASSERT_TRUE(RunChipSettings(true, {[&](HWND d) {
    before = SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETITEMHEIGHT, 0, 0);
    HDC screen = GetDC(nullptr);
    const int dpi = 2 * GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT place;
    GetWindowRect(d, &place);
    SendMessageA(d, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    field = SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETITEMHEIGHT, (WPARAM)-1, 0);
    item = SendDlgItemMessageA(d, IDC_CHIP_SUNDAYCOLOR, CB_GETITEMHEIGHT, 0, 0);
    return true;
  }}));
  EXPECT_GT(before, 0);
  EXPECT_EQ(2 * before, item);
  EXPECT_GE(field, item) << "the selection field stays as high as the items";
}

}  // namespace
