#include "plugin/help.h"

#include <string.h>

#include "resources/resource.h"
#include "text/strbasic.h"

namespace {

const char kViewer[] = "hh.exe";
const int kGap = 2;

// Appends text at *pos; 0 when it and a terminator do not fit.
int Append(char* out, int size, int* pos, const char* text) {
  const int length = (int)strlen(text);
  if (length >= size - *pos) return 0;
  memcpy(out + *pos, text, (size_t)length + 1);
  *pos += length;
  return 1;
}

}  // namespace

int BuildHelpViewerPath(const char* windowsFolder, char* out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = '\0';
  if (!windowsFolder || !windowsFolder[0]) return 0;
  // The root folder comes with its backslash, others without; a trail byte
  // of a double-byte character is no backslash.
  const char* back = FindLastChar(windowsFolder, '\\');
  const char* slash = FindLastChar(windowsFolder, '/');
  const char* separator = (back && !back[1]) || (slash && !slash[1]) ? "" : "\\";
  int pos = 0;
  if (Append(out, size, &pos, windowsFolder) && Append(out, size, &pos, separator) && Append(out, size, &pos, kViewer))
    return 1;
  out[0] = '\0';
  return 0;
}

int BuildHelpViewerCommand(const char* windowsFolder, const char* helpFile, char* out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = '\0';
  if (!helpFile || !helpFile[0]) return 0;
  int pos = 0;
  if (Append(out, size, &pos, "\"") && BuildHelpViewerPath(windowsFolder, out + pos, size - pos)) {
    pos += (int)strlen(out + pos);
    if (Append(out, size, &pos, "\" \"") && Append(out, size, &pos, helpFile) && Append(out, size, &pos, "\""))
      return 1;
  }
  out[0] = '\0';
  return 0;
}

int ControlHelpStringId(int controlId, int chipSettingsDialog) {
  if (controlId == 1) return chipSettingsDialog ? IDS_HELP_CHIP_OK : IDS_HELP_CONFIG_OK;
  if (controlId == 2) return chipSettingsDialog ? IDS_HELP_CHIP_CANCEL : IDS_HELP_CONFIG_CANCEL;
  return controlId;
}

void PlaceHelpPopup(const HelpRect* control, const HelpRect* workArea, int width, int height, const ScreenDpi& dpi,
                    int* x, int* y) {
  const int gap = ScaleToDpi(kGap, dpi);
  int left = control->left;
  int top = control->bottom + gap;
  if (top + height > workArea->bottom && control->top - gap - height >= workArea->top)
    top = control->top - gap - height;
  if (left + width > workArea->right) left = workArea->right - width;
  if (left < workArea->left) left = workArea->left;
  if (top + height > workArea->bottom) top = workArea->bottom - height;
  if (top < workArea->top) top = workArea->top;
  *x = left;
  *y = top;
}
