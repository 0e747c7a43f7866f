#include "plugin/globals.h"

HINSTANCE g_hInstance = nullptr;
