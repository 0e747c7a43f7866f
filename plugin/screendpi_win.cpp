#include "plugin/screendpi_win.h"

#include "month/gdiguard.h"

namespace {

typedef HANDLE(WINAPI* WindowContextProc)(HWND);
typedef int(WINAPI* AwarenessProc)(HANDLE);
typedef UINT(WINAPI* DpiForWindowProc)(HWND);
typedef int(WINAPI* MetricForDpiProc)(int, UINT);
typedef HRESULT(WINAPI* DpiForMonitorProc)(HMONITOR, int, UINT*, UINT*);
typedef HRESULT(WINAPI* ProcessAwarenessProc)(HANDLE, int*);

// DPI_AWARENESS_PER_MONITOR_AWARE and PROCESS_PER_MONITOR_DPI_AWARE.
const int kPerMonitorAware = 2;
const int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

void* User32Proc(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? reinterpret_cast<void*>(GetProcAddress(user32, name)) : nullptr;
}

// shcore.dll for the length of one question, loaded only if asked: this
// module keeps nothing of it, and a host without it never loads it.
class Shcore {
 public:
  Shcore() = default;
  ~Shcore() {
    if (module_) FreeLibrary(module_);
  }
  Shcore(const Shcore&) = delete;
  Shcore& operator=(const Shcore&) = delete;
  void* Proc(const char* name) {
    if (!module_) module_ = LoadLibraryA("shcore.dll");
    return module_ ? reinterpret_cast<void*>(GetProcAddress(module_, name)) : nullptr;
  }

 private:
  HMODULE module_ = nullptr;
};

// Newer systems tell a window's awareness; older ones only the process's.
bool IsPerMonitorAware(HWND window, Shcore* shcore) {
  const auto context = reinterpret_cast<WindowContextProc>(User32Proc("GetWindowDpiAwarenessContext"));
  const auto awareness = reinterpret_cast<AwarenessProc>(User32Proc("GetAwarenessFromDpiAwarenessContext"));
  if (context && awareness) return IsWindow(window) && awareness(context(window)) == kPerMonitorAware;
  const auto process = reinterpret_cast<ProcessAwarenessProc>(shcore->Proc("GetProcessDpiAwareness"));
  int value = 0;
  return process && SUCCEEDED(process(nullptr, &value)) && value == kPerMonitorAware;
}

int DpiOfMonitor(Shcore* shcore, POINT at) {
  const auto forMonitor = reinterpret_cast<DpiForMonitorProc>(shcore->Proc("GetDpiForMonitor"));
  HMONITOR monitor = MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
  UINT x = 0, y = 0;
  return forMonitor && monitor && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) ? (int)y : 0;
}

int DpiOfWindow(HWND window) {
  const auto forWindow = reinterpret_cast<DpiForWindowProc>(User32Proc("GetDpiForWindow"));
  return forWindow ? (int)forWindow(window) : 0;
}

int LogPixelsOf(HWND window) {
  WindowDC dc(window);
  return dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : kDefaultDpi;
}

}  // namespace

// The window is still where it was; the monitor at the point is where it goes.
ScreenDpi ScreenDpiAt(HWND window, POINT at) {
  Shcore shcore;
  int dpi = 0;
  if (IsPerMonitorAware(window, &shcore)) {
    dpi = DpiOfMonitor(&shcore, at);
    if (dpi <= 0) dpi = DpiOfWindow(window);
  }
  return dpi > 0 ? MonitorScaledDpi(dpi) : SystemScaledDpi(LogPixelsOf(window));
}

int SystemMetricForDpi(int index, const ScreenDpi& dpi) {
  const auto forDpi = reinterpret_cast<MetricForDpiProc>(User32Proc("GetSystemMetricsForDpi"));
  if (dpi.pixelDpi > 0 && forDpi) return forDpi(index, (UINT)dpi.pixelDpi);
  return ScaleSystemMetric(GetSystemMetrics(index), dpi.pixelDpi > 0 ? SystemDpi() : 0, dpi);
}

// The DPI the window was made for comes first: a dialog being created has
// no place yet.
int PerMonitorDpiOf(HWND window) {
  Shcore shcore;
  if (!IsPerMonitorAware(window, &shcore)) return 0;
  if (int dpi = DpiOfWindow(window)) return dpi;
  RECT rect;
  if (!GetWindowRect(window, &rect)) return 0;
  const POINT middle = {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
  return DpiOfMonitor(&shcore, middle);
}

int SystemDpi() { return LogPixelsOf(nullptr); }
