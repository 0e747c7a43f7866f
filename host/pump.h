// Dispatching what arrives for the windows of this thread, as a host's
// message loop would, while a command or a test waits for the library.
#pragma once

#include <windows.h>

inline void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Dispatches what arrives for about ms milliseconds.
inline void PumpMessagesFor(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    PumpMessages();
    Sleep(5);
  } while (GetTickCount() - start < ms);
}
