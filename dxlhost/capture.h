// Pictures of what is drawn: into a bitmap, or on the screen.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

// Runs draw on a memory device context holding a 32-bit bitmap of width x
// height, then turns the bitmap into rgb, 3 bytes a pixel, top row first.
// The result is draw's.
bool DrawIntoPixels(int width, int height, bool (*draw)(HDC dc, void* context), void* context,
                    std::vector<uint8_t>* rgb);

// Copies a screen area (clipped to the screen) from the screen's device
// context; rgb gets 3 bytes a pixel, top row first.
bool CaptureScreen(RECT area, int* width, int* height, std::vector<uint8_t>* rgb);
// CaptureScreen written as PNG.
bool WriteScreenPng(const char* path, const RECT& area);
// The area covered by a window and the visible menus of the calling thread.
RECT WindowAndMenusArea(HWND window);
// The topmost visible dialog box of the calling thread, or null.
HWND ShownThreadDialog();
