// Help in the two dialogs: the library's own popup beside the control, or
// WinHelp where a .hlp lies beside the library.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "dialogs/chipsettings_win.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"

namespace {

using Step = DialogDriver::Until;

HWND Popup() {
  HWND popup = FindWindowA("TarDxlHelpPopup", nullptr);
  return popup && IsWindowVisible(popup) ? popup : nullptr;
}

std::string Text(HWND window) {
  char text[600] = "";
  if (window) GetWindowTextA(window, text, sizeof text);
  return text;
}

// What the system sends the dialog when the user asks for a control's help.
void AskHelp(HWND dialog, int id) {
  HELPINFO info = {sizeof info, HELPINFO_WINDOW, id, GetDlgItem(dialog, id), 0, {0, 0}};
  SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

void Key(BYTE key) {
  keybd_event(key, 0, 0, 0);
  keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
}

void Click(int x, int y) {
  SetCursorPos(x, y);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// Runs dialog 102 (chip) or 101 with the steps, then cancels it.
bool RunDialog(bool chip, std::vector<Step> steps) {
  steps.push_back([](HWND d) { return PostMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0) != 0; });
  EditHelperParams params = {};
  bool ok = DialogDriver::Run(chip ? 1205 : 1101, [&] { chip ? EditHelper(nullptr, &params) : DrawExConfigure(nullptr); },
                              std::move(steps));
  GlobalFree(params.memoHandle);
  GlobalFree(params.saveHandle);
  return ok;
}

TEST(HelpPopup, EachControlOfBothDialogsShowsItsOwnTextBesideIt) {
  std::set<std::string> texts;
  const std::vector<int> dialogs[] = {{1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, IDOK, IDCANCEL},
                                      {1201, 1202, 1203, 1204, 1205, 1206, 1207, 1211, 1212, 1213, 1214, 1216, IDOK,
                                       IDCANCEL}};
  // OK's identifier is that of the product name, "タルニヴェル".
  texts.insert("\x83\x5E\x83\x8B\x83\x6A\x83\x94\x83\x46\x83\x8B");
  for (const std::vector<int>& ids : dialogs) {
    HWND last = nullptr;
    bool quitCloses = false;
    ASSERT_TRUE(RunDialog(ids[0] > 1200, {[&](HWND d) {
      for (int id : ids) {
        AskHelp(d, id);
        HWND popup = Popup();
        RECT p = {}, c;
        GetWindowRect(popup, &p);
        GetWindowRect(GetDlgItem(d, id), &c);
        UpdateWindow(popup);
        HDC screen = GetDC(nullptr);
        COLORREF back = GetPixel(screen, p.left + 3, p.top + 3);
        ReleaseDC(nullptr, screen);
        const std::string text = Text(popup);
        EXPECT_TRUE(texts.insert(text).second) << "control " << id << " has no text of its own";
        EXPECT_EQ(0, std::count(text.begin(), text.end(), '"') % 2) << "control " << id << ": a lone quote";
        EXPECT_EQ(d, GetWindow(popup, GW_OWNER)) << "control " << id;
        EXPECT_TRUE((p.top == c.bottom + 2 || p.bottom == c.top - 2) && p.left < c.right && p.right > c.left)
            << "control " << id << " popup at " << p.left << "," << p.top;
        EXPECT_EQ(GetSysColor(COLOR_INFOBK), back) << "control " << id;
      }
      ShowHelp(d, HELP_QUIT, 0);
      quitCloses = !Popup();
      AskHelp(d, ids[0]);
      last = Popup();
      return true;
    }}));
    EXPECT_TRUE(quitCloses);
    EXPECT_TRUE(last && !IsWindow(last)) << "the popup outlived its dialog";
  }
  EXPECT_EQ(25u, texts.size());
  EXPECT_EQ(0u, texts.count(""));
}

TEST(HelpPopup, ClosesOnAKeyAClickOrWhenTheDialogLosesActivation) {
  std::string byF1;
  HWND other = nullptr;
  std::vector<const char*> closed;
  auto closedBy = [&](const char* how) {
    return [&closed, how](HWND d) {
      if (Popup()) return false;
      if (IsWindowVisible(d)) closed.push_back(how);
      return true;
    };
  };
  ASSERT_TRUE(RunDialog(true, {
      [](HWND d) {
        SetForegroundWindow(d);
        SetFocus(GetDlgItem(d, 1205));
        Key(VK_F1);
        return true;
      },
      [&](HWND) {
        byF1 = Text(Popup());
        if (byF1.empty()) return false;
        Key(VK_ESCAPE);  // would cancel the dialog if the popup let it through
        return true;
      },
      closedBy("key"),
      [](HWND d) {
        AskHelp(d, 1216);
        RECT r;
        GetWindowRect(d, &r);
        Click(r.left + 8, r.bottom - 8);
        return true;
      },
      closedBy("click"),
      [&](HWND d) {
        AskHelp(d, 1211);
        other = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        return true;
      },
      closedBy("other window"),
  })) << "a popup stayed open";
  DestroyWindow(other);
  // "表示する月とその次の月の、2 か月を表示します。", the help of 1205.
  EXPECT_EQ("\x95\x5C\x8E\xA6\x82\xB7\x82\xE9\x8C\x8E\x82\xC6\x82\xBB\x82\xCC\x8E\x9F\x82\xCC\x8C\x8E\x82\xCC\x81\x41"
            "\x32\x20\x82\xA9\x8C\x8E\x82\xF0\x95\x5C\x8E\xA6\x82\xB5\x82\xDC\x82\xB7\x81\x42",
            byF1);
  EXPECT_EQ((std::vector<const char*>{"key", "click", "other window"}), closed);
}

// Stands in for the WinHelp viewer: WinHelpA hands its requests to the
// window of this class.
std::vector<std::string> g_requests;

LRESULT CALLBACK HelpViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (message != WM_COPYDATA || cds->cbData < 16) return DefWindowProcA(window, message, wParam, lParam);
  const BYTE* p = static_cast<const BYTE*>(cds->lpData);
  WORD command, file;
  LONG data;
  memcpy(&command, p + 2, 2);
  memcpy(&data, p + 4, 4);
  memcpy(&file, p + 12, 2);
  char line[400];
  wsprintfA(line, "%u %ld %s", command, data, file && file < cds->cbData ? (const char*)p + file : "");
  g_requests.push_back(line);
  return 1;
}

TEST(Help, AHelpFileBesideTheLibraryGoesToWinHelp) {
  TempFolder folder("tarnivel_winhelp");
  ASSERT_TRUE(folder.Write("Tarnivel.hlp", "?_") && folder.Write("Tarnivel.chm", "ITSF"));
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HelpViewerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MS_WINHELP";
  RegisterClassA(&wc);
  HWND viewer = CreateWindowA("MS_WINHELP", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  g_requests.clear();
  ShowHelpFor(folder.File("Tarnivel.dxl").c_str(), viewer, HELP_CONTENTS, 0);
  ShowHelpFor(folder.File("Tarnivel.dxl").c_str(), viewer, HELP_CONTEXTPOPUP, 1105);
  EXPECT_EQ(nullptr, Popup());
  DestroyWindow(viewer);
  UnregisterClassA("MS_WINHELP", wc.hInstance);
  const std::string hlp = folder.File("Tarnivel.hlp");
  EXPECT_EQ((std::vector<std::string>{"3 0 " + hlp, "8 1105 " + hlp}), g_requests);
}

}  // namespace
