// Library attach and detach.
#include <windows.h>

#include "plugin/chipstate.h"
#include "plugin/globals.h"
#include "plugin/lifecycle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      AttachLibrary(instance);
      break;
    case DLL_PROCESS_DETACH:
      DetachLibrary();
      break;
    default:
      break;
  }
  return TRUE;
}
