// Help without a WinHelp file: the command line of the HTML Help viewer and
// where a control's help popup goes.
#pragma once

#include "plugin/screendpi.h"

struct HelpRect {
  int left, top, right, bottom;
};

// "<windows folder>\hh.exe" into out; 0 when it does not fit or the folder is
// empty.
int BuildHelpViewerPath(const char* windowsFolder, char* out, int size);
// The viewer's path and the help file's, each in double quotes, into out; 0
// when it does not fit or a path is empty.
int BuildHelpViewerCommand(const char* windowsFolder, const char* helpFile, char* out, int size);

// The string holding a control's help: the string whose identifier is the
// control's, but for OK and Cancel, whose identifiers (1 and 2) other strings
// hold; theirs differ between the chip settings dialog and the other one.
int ControlHelpStringId(int controlId, int chipSettingsDialog);

// The popup's top left corner for a popup of width by height beside the
// control, 2 pixels (at 96 dots per inch) off it: below it, or above it where
// the work area has no room below, and inside the work area as far as the
// popup fits.
void PlaceHelpPopup(const HelpRect* control, const HelpRect* workArea, int width, int height, const ScreenDpi& dpi,
                    int* x, int* y);
