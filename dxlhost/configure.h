// dxlhost configure: the configuration dialog as a host runs it, driven and
// captured.
#pragma once

#include "host/configure.h"

// dxlhost configure LIBRARY [--shot FILE.png] [--close ok|cancel]
int RunConfigureCommand(int argc, char** argv);
