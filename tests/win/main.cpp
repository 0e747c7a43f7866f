// Test program of the Win32 shell: the library's code runs with this
// program's resources and path, so the settings file lies beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include "plugin/globals.h"

int main(int argc, char** argv) {
  g_hInstance = GetModuleHandleA(nullptr);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
