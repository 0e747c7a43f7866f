// Sizes of the library's own windows (the tip, the help popup) for the dots
// per inch of the screen they appear on.
#pragma once

// What a window's sizes are made for. In a host that is not per-monitor
// aware the system scales the window: its font follows the DPI the system
// reports and its fixed pixel distances stay as they are (pixelDpi 0). In a
// per-monitor aware host both follow the DPI of the window's monitor.
struct ScreenDpi {
  int fontDpi;
  int pixelDpi;
};

const int kDefaultDpi = 96;

// A window the system scales; logPixels is the DPI it reports (96 if none).
ScreenDpi SystemScaledDpi(int logPixels);
// A window on a monitor of monitorDpi, in a per-monitor aware host.
ScreenDpi MonitorScaledDpi(int monitorDpi);
// Either of the two: a perMonitorDpi of 0 is a window the system scales.
ScreenDpi WindowScreenDpi(int perMonitorDpi, int logPixels);

inline bool SameDpi(const ScreenDpi& a, const ScreenDpi& b) {
  return a.fontDpi == b.fontDpi && a.pixelDpi == b.pixelDpi;
}

// A length made for fromDpi, at toDpi, to the nearest pixel; unchanged
// when either DPI is not positive.
int RescaleForDpi(int value, int fromDpi, int toDpi);
// Pixels given at 96 dots per inch, for the window's pixel DPI.
int ScaleToDpi(int pixels, const ScreenDpi& dpi);
// A system metric the system gives at systemDpi, for the window's pixel
// DPI; as given for a window the system scales.
int ScaleSystemMetric(int value, int systemDpi, const ScreenDpi& dpi);
// The 9-point height (negative, a character height) of the tip's and the
// help popup's font.
int TipFontHeight(const ScreenDpi& dpi);
