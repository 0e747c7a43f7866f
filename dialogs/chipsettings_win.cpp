// The chip settings dialog: the chip's month in its memo text, colours,
// schedule style and view options in its saved-data payload.
#include "dialogs/chipsettings_win.h"

#include <string.h>

#include "dialogs/chipsettings.h"
#include "plugin/chipstate.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "plugin/savedata.h"
#include "plugin/screendpi_win.h"
#include "resources/resource.h"
#include "text/strbasic.h"

namespace {

const int kColorCombos[] = {IDC_CHIP_TODAYCOLOR, IDC_CHIP_SUNDAYCOLOR, IDC_CHIP_SATURDAYCOLOR,
                            IDC_CHIP_HOLIDAYCOLOR};

// A host block locked for the guard's life.
class LockedBlock {
 public:
  explicit LockedBlock(HGLOBAL handle)
      : handle_(handle), data_(handle ? static_cast<uint8_t*>(GlobalLock(handle)) : nullptr) {}
  ~LockedBlock() {
    if (data_) GlobalUnlock(handle_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  uint8_t* get() const { return data_; }

 private:
  HGLOBAL handle_;
  uint8_t* data_;
};

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The memo's first line, read no further than the host's block holds: the
// host may hand over a text without its terminator.
bool ReadMemoFirstLine(HGLOBAL memo, char* out, int size) {
  SIZE_T have = memo ? GlobalSize(memo) : 0;
  if (have == 0) return false;
  LockedBlock text(memo);
  if (!text.get()) return false;
  char start[64 + 1];
  SIZE_T n = have < sizeof start - 1 ? have : sizeof start - 1;
  memcpy(start, text.get(), n);
  start[n] = '\0';
  CopyFirstLine(start, out, size);
  return true;
}

void FillColorCombos(HWND dialog) {
  HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  WORD count = 0;
  if (!palette || GetObjectA(palette, sizeof count, &count) == 0) count = 0;
  PALETTEENTRY* entries =
      count ? static_cast<PALETTEENTRY*>(LocalAlloc(LPTR, count * sizeof(PALETTEENTRY))) : nullptr;
  UINT got = entries ? GetPaletteEntries(palette, 0, count, entries) : 0;
  for (UINT i = got; i-- > 0;) {
    COLORREF color = RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
    for (int id : kColorCombos) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, (LPARAM)color);
  }
  if (entries) LocalFree(entries);
}

// A stored colour the list lacks is offered as an item of its own, so that
// OK without a change keeps it.
void OfferColor(HWND combo, COLORREF color) {
  if (SelectColorItem(combo, color)) return;
  LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)color);
  if (index >= 0) SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
}

COLORREF SelectedColor(HWND dialog, int id, COLORREF fallback) {
  LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return fallback;
  return (COLORREF)SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, (WPARAM)index, 0);
}

void RefuseField(HWND dialog, int id, UINT message) {
  ShowError(dialog, message);
  HWND field = GetDlgItem(dialog, id);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
}

void WriteDefaultPayload(uint8_t* payload) {
  WriteLe32(payload + kSaveTodayColor, kDefaultTodayColor);
  WriteLe32(payload + kSaveSundayColor, kDefaultSundayColor);
  WriteLe32(payload + kSaveSaturdayColor, kDefaultSaturdayColor);
  WriteLe32(payload + kSaveHolidayColor, kDefaultHolidayColor);
  payload[kSaveScheduleStyle] = kDefaultScheduleStyle;
}

}  // namespace

int SelectColorItem(HWND combo, COLORREF color) {
  LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if ((COLORREF)SendMessageA(combo, CB_GETITEMDATA, (WPARAM)i, 0) == color) {
      SendMessageA(combo, CB_SETCURSEL, (WPARAM)i, 0);
      return 1;
    }
  }
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  return 0;
}

namespace {

// The base units are the system DPI's; a per-monitor aware dialog (dpi > 0)
// may be on a monitor of another.
int ColorItemHeight(int dpi) {
  const int height = HIWORD(GetDialogBaseUnits()) * 7 / 8;
  return dpi > 0 ? RescaleForDpi(height, SystemDpi(), dpi) : height;
}

// The system scales the dialog's controls and fonts for the new DPI, but not
// the heights the dialog gave its owner-drawn items.
void RescaleColorItems(HWND dialog, int dpi) {
  const int height = ColorItemHeight(dpi);
  for (int id : kColorCombos) {
    SendDlgItemMessageA(dialog, id, CB_SETITEMHEIGHT, (WPARAM)-1, height);
    SendDlgItemMessageA(dialog, id, CB_SETITEMHEIGHT, 0, height);
  }
}

}  // namespace

void MeasureColorItem(HWND dialog, MEASUREITEMSTRUCT* item) {
  if (!item || item->CtlType != ODT_COMBOBOX) return;
  item->itemWidth = LOWORD(GetDialogBaseUnits()) * 38 / 4;
  item->itemHeight = ColorItemHeight(PerMonitorDpiOf(dialog));
}

void DrawColorItem(const DRAWITEMSTRUCT* item) {
  if (!item || item->CtlType != ODT_COMBOBOX) return;
  HBRUSH brush = CreateSolidBrush((COLORREF)item->itemData);
  if (!brush) return;
  FillRect(item->hDC, &item->rcItem, brush);
  DeleteObject(brush);
}

int InitChipSettingsDialog(HWND dialog, EditHelperParams* params) {
  if (!params) {
    MessageBeep(MB_ICONEXCLAMATION);
    EndDialog(dialog, IDCANCEL);
    return 0;
  }
  // Nothing is read or written past the host's block: one too small for the
  // current layout is replaced like a short payload.
  const bool replace = params->saveLength < kSaveCurrentLength || !params->saveHandle ||
                       GlobalSize(params->saveHandle) < kSaveCurrentLength;
  if (replace) {
    if (params->saveHandle) GlobalFree(params->saveHandle);
    params->saveHandle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kSaveCurrentLength);
  }
  COLORREF colors[4];
  uint8_t style, view;
  {
    LockedBlock block(params->saveHandle);
    uint8_t* payload = block.get();
    if (!payload) {
      MessageBeep(MB_ICONEXCLAMATION);
      EndDialog(dialog, IDCANCEL);
      return 0;
    }
    if (replace) {
      params->saveLength = kSaveCurrentLength;
      WriteDefaultPayload(payload);
    }
    colors[0] = ReadLe32(payload + kSaveTodayColor);
    colors[1] = ReadLe32(payload + kSaveSundayColor);
    colors[2] = ReadLe32(payload + kSaveSaturdayColor);
    colors[3] = ReadLe32(payload + kSaveHolidayColor);
    style = payload[kSaveScheduleStyle];
    view = payload[kSaveViewFlags];
  }

  uint16_t year = 0, month = 0;
  char firstLine[16];
  if (ReadMemoFirstLine(params->memoHandle, firstLine, sizeof firstLine))
    ParseDateText(firstLine, &year, &month, nullptr);
  const bool given = year != 0 && month != 0;
  CheckRadioButton(dialog, IDC_CHIP_THISMONTH, IDC_CHIP_GIVENMONTH, given ? IDC_CHIP_GIVENMONTH : IDC_CHIP_THISMONTH);
  if (given) {
    SetDlgItemInt(dialog, IDC_CHIP_YEAR, year, FALSE);
    SetDlgItemInt(dialog, IDC_CHIP_MONTH, month, FALSE);
  } else {
    EnableWindow(GetDlgItem(dialog, IDC_CHIP_YEAR), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_CHIP_MONTH), FALSE);
  }

  FillColorCombos(dialog);
  for (int i = 0; i < 4; ++i) OfferColor(GetDlgItem(dialog, kColorCombos[i]), colors[i]);

  for (UINT id = IDS_STYLE_NORMAL; id <= IDS_STYLE_UNDERLINE; ++id) {
    char name[16];
    if (LoadStringA(g_hInstance, id, name, sizeof name) <= 0) name[0] = '\0';
    SendDlgItemMessageA(dialog, IDC_CHIP_SCHEDULESTYLE, CB_ADDSTRING, 0, (LPARAM)name);
  }
  SendDlgItemMessageA(dialog, IDC_CHIP_SCHEDULESTYLE, CB_SETCURSEL, style, 0);

  CheckDlgButton(dialog, IDC_CHIP_TWOMONTHS, (view & kViewTwoMonths) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_CHIP_STACKED, (view & kViewStacked) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_CHIP_ENGLISH, (view & kViewEnglish) ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessageA(dialog, IDC_CHIP_YEAR, EM_LIMITTEXT, 4, 0);
  SendDlgItemMessageA(dialog, IDC_CHIP_MONTH, EM_LIMITTEXT, 2, 0);

  // Without its record OK could never close the dialog.
  SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)params);
  if (GetWindowLongPtrA(dialog, DWLP_USER) != (LONG_PTR)params) {
    MessageBeep(MB_ICONEXCLAMATION);
    EndDialog(dialog, IDCANCEL);
    return 0;
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CHIP_TWOMONTHS, 0), (LPARAM)GetDlgItem(dialog, IDC_CHIP_TWOMONTHS));
  return 1;
}

int SaveChipSettingsDialog(HWND dialog) {
  EditHelperParams* params = reinterpret_cast<EditHelperParams*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!params) return 0;

  // Both fields are checked before anything is written.
  const int thisMonth = IsChecked(dialog, IDC_CHIP_THISMONTH);
  uint32_t year = 0, month = 0;
  if (!thisMonth) {
    year = GetDlgItemInt(dialog, IDC_CHIP_YEAR, nullptr, FALSE);
    month = GetDlgItemInt(dialog, IDC_CHIP_MONTH, nullptr, FALSE);
    switch (CheckGivenMonth(year, month)) {
      case kGivenMonthBadYear:
        RefuseField(dialog, IDC_CHIP_YEAR, IDS_BAD_YEAR);
        return 0;
      case kGivenMonthBadMonth:
        RefuseField(dialog, IDC_CHIP_MONTH, IDS_BAD_MONTH);
        return 0;
    }
  }
  char text[16];
  const int needed = FormatMemoMonth(thisMonth, year, month, text, sizeof text);
  if (!needed) return 0;

  SIZE_T have = params->memoHandle ? GlobalSize(params->memoHandle) : 0;
  if (have < (SIZE_T)needed) {
    HGLOBAL grown = params->memoHandle ? GlobalReAlloc(params->memoHandle, needed,
                                                       GMEM_MOVEABLE | GMEM_NOCOMPACT | GMEM_ZEROINIT)
                                       : GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, needed);
    if (!grown) {
      ShowError(dialog, IDS_NO_MEMORY);
      return 0;
    }
    params->memoHandle = grown;
  }
  {
    LockedBlock memo(params->memoHandle);
    if (!memo.get()) {
      ShowError(dialog, IDS_NO_MEMORY);
      return 0;
    }
    memcpy(memo.get(), text, (size_t)needed);
  }

  // Opening made the block hold the whole payload; a host that swapped it
  // since gets nothing written past its end.
  HGLOBAL save = params->saveHandle;
  LockedBlock block(save && GlobalSize(save) >= kSaveCurrentLength ? save : nullptr);
  uint8_t* payload = block.get();
  if (!payload) {
    ShowError(dialog, IDS_NO_MEMORY);
    return 0;
  }
  const COLORREF sunday = SelectedColor(dialog, IDC_CHIP_SUNDAYCOLOR, kDefaultSundayColor);
  WriteLe32(payload + kSaveTodayColor, SelectedColor(dialog, IDC_CHIP_TODAYCOLOR, kDefaultTodayColor));
  WriteLe32(payload + kSaveSundayColor, sunday);
  WriteLe32(payload + kSaveSaturdayColor, SelectedColor(dialog, IDC_CHIP_SATURDAYCOLOR, kDefaultSaturdayColor));
  WriteLe32(payload + kSaveHolidayColor, SelectedColor(dialog, IDC_CHIP_HOLIDAYCOLOR, sunday));
  LRESULT style = SendDlgItemMessageA(dialog, IDC_CHIP_SCHEDULESTYLE, CB_GETCURSEL, 0, 0);
  payload[kSaveScheduleStyle] = style == CB_ERR ? kDefaultScheduleStyle : (uint8_t)style;
  payload[kSaveViewFlags] =
      MergeViewFlags(payload[kSaveViewFlags], IsChecked(dialog, IDC_CHIP_TWOMONTHS),
                     IsChecked(dialog, IDC_CHIP_STACKED), IsChecked(dialog, IDC_CHIP_ENGLISH));
  return 1;
}

INT_PTR CALLBACK ChipSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return InitChipSettingsDialog(dialog, reinterpret_cast<EditHelperParams*>(lParam));
    case WM_MEASUREITEM:
      MeasureColorItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return 0;
    case WM_DPICHANGED:
      RescaleColorItems(dialog, HIWORD(wParam));
      return 0;
    case WM_DRAWITEM:
      DrawColorItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (SaveChipSettingsDialog(dialog)) EndDialog(dialog, IDOK);
          break;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          break;
        case IDC_CHIP_THISMONTH:
        case IDC_CHIP_GIVENMONTH: {
          BOOL given = IsChecked(dialog, IDC_CHIP_GIVENMONTH);
          EnableWindow(GetDlgItem(dialog, IDC_CHIP_YEAR), given);
          EnableWindow(GetDlgItem(dialog, IDC_CHIP_MONTH), given);
          break;
        }
        case IDC_CHIP_TWOMONTHS:
          EnableWindow(GetDlgItem(dialog, IDC_CHIP_STACKED), IsChecked(dialog, IDC_CHIP_TWOMONTHS));
          break;
      }
      return 0;
    case WM_HELP:
      ShowControlHelp(dialog, reinterpret_cast<const HELPINFO*>(lParam));
      return 1;
  }
  return 0;
}

extern "C" int __cdecl EditHelper(HWND owner, EditHelperParams* params) {
  return (int)DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CHIPSETTINGS), owner, ChipSettingsDialogProc,
                              (LPARAM)params);
}
