// dxlhost edit: the chip settings dialog on a memo text and a saved-data
// block, and what it changed.
#pragma once

#include "host/edit.h"

// dxlhost edit LIBRARY [options]
int RunEditCommand(int argc, char** argv);
