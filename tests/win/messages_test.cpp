// The message box that users see for errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "plugin/globals.h"
#include "resources/resource.h"

namespace {

struct SeenBox {
  std::string caption;
  std::string text;
  bool hasOk = false;
  bool hasCancel = false;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  SeenBox* seen = reinterpret_cast<SeenBox*>(param);
  char cls[32], text[256];
  GetClassNameA(child, cls, sizeof cls);
  GetWindowTextA(child, text, sizeof text);
  int id = GetDlgCtrlID(child);
  if (!lstrcmpiA(cls, "Button")) {
    if (id == IDOK) seen->hasOk = true;
    if (id == IDCANCEL) seen->hasCancel = true;
  } else if (!lstrcmpiA(cls, "Static") && text[0]) {
    seen->text = text;
  }
  return TRUE;
}

// Waits for the message box of this thread's owner, records it and closes it.
DWORD WINAPI CloseBox(void* param) {
  SeenBox* seen = static_cast<SeenBox*>(param);
  for (int i = 0; i < 200; ++i) {
    HWND box = FindWindowA("#32770", nullptr);
    if (box && IsWindowVisible(box)) {
      char caption[64];
      GetWindowTextA(box, caption, sizeof caption);
      seen->caption = caption;
      EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(seen));
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return 1;
    }
    Sleep(25);
  }
  return 0;
}

TEST(Messages, ShowErrorUsesTheProductCaptionAndOneOkButton) {
  SeenBox seen;
  HANDLE closer = CreateThread(nullptr, 0, CloseBox, &seen, 0, nullptr);
  ShowError(nullptr, IDS_NO_MEMORY);
  WaitForSingleObject(closer, 5000);
  DWORD found = 0;
  GetExitCodeThread(closer, &found);
  CloseHandle(closer);
  ASSERT_EQ(1u, found) << "no message box appeared";
  EXPECT_EQ("\x83\x5E\x83\x8B\x83\x6A\x83\x94\x83\x46\x83\x8B", seen.caption);
  EXPECT_EQ("\x83\x81\x83\x82\x83\x8A\x82\xAA\x95\x73\x91\xAB\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42",
            seen.text);
  EXPECT_TRUE(seen.hasOk);
  EXPECT_FALSE(seen.hasCancel);
}

}  // namespace
