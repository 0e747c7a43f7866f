// The DPI the library's own windows are made for, asked of the system at
// run time: the calls exist only on newer systems.
#pragma once

#include <windows.h>

#include "plugin/screendpi.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// For a window of this module that is to appear at a screen point: the
// DPI of the monitor there when the window is per-monitor aware, else what
// the system reports to the window (the system DPI, or 96 in a host the
// system scales as a bitmap).
ScreenDpi ScreenDpiAt(HWND window, POINT at);
// A system metric (SM_CXFRAME, ...) for that DPI.
int SystemMetricForDpi(int index, const ScreenDpi& dpi);
// The DPI of a per-monitor aware window's monitor; 0 for any other window.
int PerMonitorDpiOf(HWND window);
// The DPI the system's own metrics (GetSystemMetrics, GetDialogBaseUnits)
// are made for.
int SystemDpi();
