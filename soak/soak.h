// dxlhost soak: resource accounting and fault injection over host scenarios.
#pragma once

// dxlhost soak LIBRARY [options]
int RunSoakCommand(int argc, char** argv);
