// Pictures of what is on the screen.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

// Copies a screen area (clipped to the screen) from the screen's device
// context; rgb gets 3 bytes a pixel, top row first.
bool CaptureScreen(RECT area, int* width, int* height, std::vector<uint8_t>* rgb);
// CaptureScreen written as PNG.
bool WriteScreenPng(const char* path, const RECT& area);
// The area covered by a window and the visible menus of the calling thread.
RECT WindowAndMenusArea(HWND window);
