// dxlhost desk-shot: the desktop program started on a data folder, its
// chips on the screen with a chip's menu open, captured.
#pragma once

// dxlhost desk-shot PROGRAM APPDATA OUT.png
int RunDeskShotCommand(int argc, char** argv);
