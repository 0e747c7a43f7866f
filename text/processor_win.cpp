#include <windows.h>

#include "text/bytescan.h"

int ProcessorHasSse2() { return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0; }
