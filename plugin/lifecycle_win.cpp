#include "plugin/lifecycle.h"

#include "plugin/chiplist.h"
#include "plugin/chipstate.h"
#include "plugin/globals.h"
#include "plugin/helppopup.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tips/tips.h"
#include "today/todayconfig.h"

void AttachLibrary(HINSTANCE instance) {
  g_hInstance = instance;
  InitSettings();
  int flags = ReadSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault);
  if (flags & kFlagUseToday) {
    LoadTodayConfig();
    if (flags & kFlagPopupTips) CreateTipWindow();
  }
}

void DetachLibrary() {
  ForgetEveryChip();
  CloseControlHelpPopup();
  DestroyTipWindow();
  ClearSettingSection(IDS_SECTION_TODAYTEMP);
}
