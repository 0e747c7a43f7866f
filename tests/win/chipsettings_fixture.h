// The host's side of the chip settings dialog: its record, blocks and payloads,
// and the dialog run from its own thread.
#pragma once

#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/chipsettings_win.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "tests/common/dialog_driver.h"

namespace chipsettingstest {

const COLORREF kCyan = 0xFFFF00, kRed = 0x0000FF, kBlue = 0xFF0000;
typedef std::vector<uint8_t> Bytes;

inline Bytes Payload(COLORREF today, COLORREF sunday, COLORREF saturday, COLORREF holiday, uint8_t style,
                     uint8_t view) {
  Bytes p(24, 0);
  memcpy(&p[4], &today, 4);
  memcpy(&p[8], &sunday, 4);
  memcpy(&p[12], &saturday, 4);
  memcpy(&p[16], &holiday, 4);
  p[20] = style;
  p[21] = view;
  return p;
}

const Bytes kDefaultPayload = Payload(kCyan, kRed, kBlue, kRed, 1, 0);

inline HGLOBAL Block(const void* data, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (h && size) {
    memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
  }
  return h;
}

inline Bytes Contents(HGLOBAL h) {
  Bytes b;
  if (!h) return b;
  const uint8_t* p = static_cast<const uint8_t*>(GlobalLock(h));
  if (p) b.assign(p, p + GlobalSize(h));
  GlobalUnlock(h);
  return b;
}

inline std::string MemoText(HGLOBAL h) {
  Bytes b = Contents(h);
  return std::string(b.begin(), std::find(b.begin(), b.end(), 0));
}

inline std::string Load(UINT id) {
  char buf[256];
  int n = LoadStringA(g_hInstance, id, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

inline COLORREF SelectedColor(HWND dialog, int id) {
  LRESULT i = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  return i == CB_ERR ? 0xDEADBEEF : (COLORREF)SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, i, 0);
}

inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

// The host's side of one EditHelper call: its record and blocks.
class ChipSettings : public testing::Test {
 protected:
  void TearDown() override { FreeBlocks(&params_); }

  void SetMemo(const std::string& text) { params_.memoHandle = Block(text.c_str(), text.size() + 1); }
  void SetPayload(const Bytes& payload, uint32_t length) {
    params_.saveHandle = Block(payload.data(), payload.size());
    params_.saveLength = length;
  }
  void SetPayload(const Bytes& payload) { SetPayload(payload, (uint32_t)payload.size()); }

  static int RunWith(DialogDriver* driver, EditHelperParams* params) {
    driver->Start();
    int result = EditHelper(nullptr, params);
    driver->Stop();
    EXPECT_FALSE(driver->timedOut()) << "the dialog had to be closed by the safety timer";
    return result;
  }
  int Run(EditHelperParams* params) { return RunWith(&driver_, params); }
  int Run() { return Run(&params_); }
  static void FreeBlocks(EditHelperParams* p) {
    if (p->memoHandle) GlobalFree(p->memoHandle);
    if (p->saveHandle) GlobalFree(p->saveHandle);
  }

  static void PressOk(HWND dialog) { DialogDriver::Click(dialog, IDOK); }
  static void PressCancel(HWND dialog) { DialogDriver::Click(dialog, IDCANCEL); }
  static void SetFields(HWND dialog, const char* year, const char* month) {
    DialogDriver::Click(dialog, IDC_CHIP_GIVENMONTH);
    SetDlgItemTextA(dialog, IDC_CHIP_YEAR, year);
    SetDlgItemTextA(dialog, IDC_CHIP_MONTH, month);
  }

  EditHelperParams params_ = {};
  DialogDriver driver_{IDC_CHIP_YEAR};
};

}  // namespace chipsettingstest
