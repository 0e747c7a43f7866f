// The library's about box as the host shows it.
#pragma once

// dxlhost about LIBRARY [--shot FILE.png]
int RunAboutCommand(int argc, char** argv);
