// The font and colour dialogs of a chip.
#include "desk/fontcolor.h"

#include <commdlg.h>
#include <string.h>

#include "desk/deskchips.h"
#include "desk/deskgeometry.h"

namespace {

// The dialogs' own titles say only 「フォント」 and 「色」.
// The dialog's first control keeps the focus (TRUE from WM_INITDIALOG).
UINT_PTR CALLBACK FontDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  SetWindowTextW(dialog, L"文字の色とフォント");
  return TRUE;
}

UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  SetWindowTextW(dialog, L"背景の色");
  return TRUE;
}

void Refresh(DeskChip* c) {
  HostUpdate(&g_desk.api, &c->host);
  FitDefaultSize(c);
}

}  // namespace

bool ChooseChipFont(HWND window) {
  DeskChip* c = ChipOfWindow(window);
  if (!c) return false;
  // The dialog works at the system's DPI, whatever the chip's monitor has.
  const int dpi = (int)SystemDpi();
  LOGFONTA font = c->host.font;
  font.lfHeight = ScaleForDpi(c->fontHeight96, dpi);
  CHOOSEFONTA cf;
  memset(&cf, 0, sizeof cf);
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = window;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_LIMITSIZE | CF_NOVERTFONTS | CF_ENABLEHOOK;
  cf.lpfnHook = FontDialogHook;
  cf.nSizeMin = 4;
  cf.nSizeMax = 192;  // points: the 256 pixels at 96 DPI that the file keeps
  cf.rgbColors = c->host.textColor;
  BOOL chosen;
  {
    ModalScope modal;
    chosen = ChooseFontA(&cf);
  }
  if (!chosen || !(c = ChipOfWindow(window))) return false;
  font.lfQuality = c->host.font.lfQuality;
  c->fontHeight96 = UnscaleForDpi(font.lfHeight, dpi);
  c->host.font = font;
  ScaleChipFont(c, WindowDpi(window));
  c->host.textColor = cf.rgbColors;
  Refresh(c);
  return true;
}

bool ChooseChipBackground(HWND window) {
  DeskChip* c = ChipOfWindow(window);
  if (!c) return false;
  static COLORREF custom[16];
  CHOOSECOLORA cc;
  memset(&cc, 0, sizeof cc);
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = window;
  cc.rgbResult = c->host.backColor;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
  cc.lpfnHook = ColorDialogHook;
  BOOL chosen;
  {
    ModalScope modal;
    chosen = ChooseColorA(&cc);
  }
  if (!chosen || !(c = ChipOfWindow(window))) return false;
  c->host.backColor = cc.rgbResult;
  Refresh(c);
  return true;
}
