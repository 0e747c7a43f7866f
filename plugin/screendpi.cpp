#include "plugin/screendpi.h"

#include <stdint.h>

ScreenDpi SystemScaledDpi(int logPixels) { return ScreenDpi{logPixels > 0 ? logPixels : kDefaultDpi, 0}; }

ScreenDpi MonitorScaledDpi(int monitorDpi) {
  const int dpi = monitorDpi > 0 ? monitorDpi : kDefaultDpi;
  return ScreenDpi{dpi, dpi};
}

ScreenDpi WindowScreenDpi(int perMonitorDpi, int logPixels) {
  return perMonitorDpi > 0 ? MonitorScaledDpi(perMonitorDpi) : SystemScaledDpi(logPixels);
}

int RescaleForDpi(int value, int fromDpi, int toDpi) {
  if (fromDpi <= 0 || toDpi <= 0) return value;
  const int64_t scaled = (int64_t)value * toDpi;
  const int64_t half = fromDpi / 2;
  return (int)(scaled >= 0 ? (scaled + half) / fromDpi : (scaled - half) / fromDpi);
}

int ScaleToDpi(int pixels, const ScreenDpi& dpi) { return RescaleForDpi(pixels, kDefaultDpi, dpi.pixelDpi); }

int ScaleSystemMetric(int value, int systemDpi, const ScreenDpi& dpi) {
  return RescaleForDpi(value, dpi.pixelDpi > 0 ? systemDpi : 0, dpi.pixelDpi);
}

// Truncated toward zero: -12 at 96 dots per inch, -15 at 120, -18 at 144.
int TipFontHeight(const ScreenDpi& dpi) { return dpi.fontDpi * -9 / 72; }
