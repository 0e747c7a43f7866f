// Help in the two dialogs: WinHelp where a .hlp lies beside the library,
// otherwise the library's own popup beside the control, driven for real.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "dialogs/chipsettings_win.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"

namespace {

using Step = DialogDriver::Until;

const int kConfigControls[] = {1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108};
const int kChipControls[] = {1201, 1202, 1203, 1204, 1205, 1206, 1207, 1211, 1212, 1213, 1214, 1216};

std::string Sjis(const wchar_t* text) {
  char out[512];
  int n = WideCharToMultiByte(932, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}

HWND Popup() {
  HWND popup = FindWindowA("TarDxlHelpPopup", nullptr);
  return popup && IsWindowVisible(popup) ? popup : nullptr;
}

std::string WindowText(HWND window) {
  char text[600];
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// What the system sends when the user asks for a control's help.
void AskHelp(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  RECT r;
  GetWindowRect(item, &r);
  HELPINFO info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.iContextType = HELPINFO_WINDOW;
  info.iCtrlId = id;
  info.hItemHandle = item;
  info.MousePos = POINT{r.left + 2, r.top + 2};
  SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

void Key(WORD key) {
  INPUT keys[2];
  memset(keys, 0, sizeof keys);
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = key;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof keys[0]);
}

void Click(POINT at) {
  INPUT mouse[2];
  memset(mouse, 0, sizeof mouse);
  for (INPUT& m : mouse) {
    m.type = INPUT_MOUSE;
    m.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN));
    m.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN));
  }
  mouse[0].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN;
  mouse[1].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP;
  SendInput(2, mouse, sizeof mouse[0]);
}

struct Seen {
  std::string text;
  HWND owner = nullptr;
  bool beside = false;      // just below or just above the control, overlapping it sideways
  bool infoColour = false;  // painted in the tip's background colour
};

Seen Look(HWND dialog, int id, HWND popup) {
  Seen seen;
  seen.text = WindowText(popup);
  seen.owner = GetWindow(popup, GW_OWNER);
  RECT p, c;
  GetWindowRect(popup, &p);
  GetWindowRect(GetDlgItem(dialog, id), &c);
  seen.beside = (p.top == c.bottom + 2 || p.bottom == c.top - 2) && p.left < c.right && p.right > c.left;
  UpdateWindow(popup);
  HDC screen = GetDC(nullptr);
  seen.infoColour = GetPixel(screen, p.left + 3, p.top + 3) == GetSysColor(COLOR_INFOBK);
  ReleaseDC(nullptr, screen);
  return seen;
}

class HelpPopup : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    savedPath_ = SettingsFilePath();
    savedSection_ = SettingsUserSection();
    InitSettingsWith(folder_.File("Tarnivel.dxl").c_str(), "tester");
  }
  void TearDown() override {
    if (!savedPath_.empty()) InitSettingsWith(savedPath_.c_str(), savedSection_.c_str());
  }

  static bool RunConfig(std::vector<Step> steps) {
    return DialogDriver::Run(IDC_USE_TODAY, [] { DrawExConfigure(nullptr); }, std::move(steps));
  }
  static bool RunChip(std::vector<Step> steps) {
    EditHelperParams params;
    memset(&params, 0, sizeof params);
    bool ok = DialogDriver::Run(IDC_CHIP_TWOMONTHS, [&] { EditHelper(nullptr, &params); }, std::move(steps));
    if (params.memoHandle) GlobalFree(params.memoHandle);
    if (params.saveHandle) GlobalFree(params.saveHandle);
    return ok;
  }
  static Step Press(int id) {
    return [id](HWND d) {
      PostMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0);
      return true;
    };
  }

  TempFolder folder_{"tarnivel_help"};
  std::string savedPath_, savedSection_;
};

TEST_F(HelpPopup, EachControlOfBothDialogsShowsItsOwnTextBesideIt) {
  struct Dialog {
    const int* ids;
    size_t count;
    bool chip;
  } dialogs[] = {{kConfigControls, sizeof kConfigControls / sizeof *kConfigControls, false},
                 {kChipControls, sizeof kChipControls / sizeof *kChipControls, true}};
  std::set<std::string> texts;
  for (const Dialog& d : dialogs) {
    std::vector<Seen> seen(d.count);
    HWND dialog = nullptr, last = nullptr;
    bool quitClosed = false;
    std::vector<Step> steps = {
        [&](HWND dlg) {
          dialog = dlg;
          for (size_t i = 0; i < d.count; ++i) {
            AskHelp(dlg, d.ids[i]);
            if (HWND popup = Popup()) seen[i] = Look(dlg, d.ids[i], popup);
          }
          ShowHelp(dlg, HELP_QUIT, 0);
          quitClosed = Popup() == nullptr;
          AskHelp(dlg, d.ids[0]);
          last = Popup();
          return true;
        },
        Press(IDCANCEL),
    };
    ASSERT_TRUE(d.chip ? RunChip(steps) : RunConfig(steps));
    for (size_t i = 0; i < d.count; ++i) {
      const int id = d.ids[i];
      EXPECT_FALSE(seen[i].text.empty()) << "no help popup for control " << id;
      EXPECT_TRUE(texts.insert(seen[i].text).second) << "control " << id << " shares its text: " << seen[i].text;
      EXPECT_EQ(dialog, seen[i].owner) << "control " << id;
      EXPECT_TRUE(seen[i].beside) << "control " << id;
      EXPECT_TRUE(seen[i].infoColour) << "control " << id;
    }
    EXPECT_TRUE(quitClosed) << "HELP_QUIT leaves the popup open";
    ASSERT_NE(nullptr, last);
    EXPECT_FALSE(IsWindow(last)) << "the popup outlived its dialog";
  }
  EXPECT_EQ(1u, texts.count(Sjis(L"表示する月とその次の月の、2 か月を表示します。")));
}

TEST_F(HelpPopup, ClosesOnAKeyAClickOrWhenTheDialogLosesActivation) {
  const std::string twoMonths = Sjis(L"表示する月とその次の月の、2 か月を表示します。");
  std::string byF1;
  bool afterKey = false, dialogKeptAfterKey = false, afterClickOnIt = false, afterClickOnDialog = false,
       afterOtherWindow = false;
  HWND other = nullptr;
  ASSERT_TRUE(RunChip({
      [](HWND d) {
        SetForegroundWindow(d);
        SetFocus(GetDlgItem(d, IDC_CHIP_TWOMONTHS));
        Key(VK_F1);
        return true;
      },
      [&](HWND) {
        if (!Popup()) return false;
        byF1 = WindowText(Popup());
        Key(VK_ESCAPE);
        return true;
      },
      [&](HWND d) {
        if (Popup()) return false;
        afterKey = true;
        dialogKeptAfterKey = IsWindowVisible(d) != 0;
        AskHelp(d, IDC_CHIP_ENGLISH);
        RECT r;
        GetWindowRect(Popup(), &r);
        Click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        return true;
      },
      [&](HWND d) {
        if (Popup()) return false;
        afterClickOnIt = true;
        AskHelp(d, IDC_CHIP_SCHEDULESTYLE);
        RECT r;
        GetWindowRect(d, &r);
        Click(POINT{r.left + 8, r.bottom - 8});
        return true;
      },
      [&](HWND d) {
        if (Popup()) return false;
        afterClickOnDialog = true;
        AskHelp(d, IDC_CHIP_TODAYCOLOR);
        other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
        SetForegroundWindow(other);
        SetActiveWindow(other);
        return true;
      },
      [&](HWND) {
        if (Popup()) return false;
        afterOtherWindow = true;
        DestroyWindow(other);
        return true;
      },
      Press(IDCANCEL),
  })) << "a popup stayed open";
  EXPECT_EQ(twoMonths, byF1);
  EXPECT_TRUE(afterKey);
  EXPECT_TRUE(dialogKeptAfterKey) << "the key that closed the popup reached the dialog";
  EXPECT_TRUE(afterClickOnIt);
  EXPECT_TRUE(afterClickOnDialog);
  EXPECT_TRUE(afterOtherWindow);
  if (other) DestroyWindow(other);
}

// Stands in for the WinHelp viewer: WinHelpA hands its requests to the
// window of this class.
struct HelpRequest {
  int count = 0;
  UINT command = 0;
  LONG data = 0;
  std::string file;
};
HelpRequest g_help;

LRESULT CALLBACK HelpViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const BYTE* p = static_cast<const BYTE*>(cds->lpData);
    if (cds->cbData >= 16) {
      WORD command, ofsFile;
      memcpy(&command, p + 2, 2);
      memcpy(&g_help.data, p + 4, 4);
      memcpy(&ofsFile, p + 12, 2);
      g_help.command = command;
      g_help.file = ofsFile && ofsFile < cds->cbData ? std::string((const char*)p + ofsFile) : "";
      ++g_help.count;
    }
    return 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Help, AHelpFileBesideTheLibraryGoesToWinHelp) {
  TempFolder folder("tarnivel_winhelp");
  ASSERT_TRUE(folder.Write("Tarnivel.hlp", "?_\x03\x00") && folder.Write("Tarnivel.chm", "ITSF"));
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = HelpViewerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MS_WINHELP";
  RegisterClassA(&wc);
  HWND viewer = CreateWindowA("MS_WINHELP", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(nullptr, viewer);
  struct {
    UINT command;
    ULONG_PTR data;
  } cases[] = {{HELP_CONTENTS, 0}, {HELP_CONTEXTPOPUP, 1105}, {HELP_CONTEXTPOPUP, 1216}};
  for (auto& c : cases) {
    g_help = HelpRequest();
    ShowHelpFor(folder.File("Tarnivel.dxl").c_str(), viewer, c.command, c.data);
    EXPECT_EQ(1, g_help.count) << "command " << c.command;
    EXPECT_EQ(c.command, g_help.command);
    EXPECT_EQ((LONG)c.data, g_help.data);
    EXPECT_EQ(0, lstrcmpiA(folder.File("Tarnivel.hlp").c_str(), g_help.file.c_str())) << g_help.file;
    EXPECT_EQ(nullptr, Popup()) << "command " << c.command;
  }
  DestroyWindow(viewer);
  UnregisterClassA("MS_WINHELP", wc.hInstance);
}

}  // namespace
